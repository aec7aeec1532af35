#pragma once
// Running out of the lists' memory on purpose: while a ListMemoryLimitC
// lives, every request through GoodBadListC::Realloc for more than its limit
// fails (a limit of 0 fails them all), and the seam is given back after.
#include <cstddef>
#include <cstdlib>

#include "engine/GoodBadListC.h"

class ListMemoryLimitC {
  public:
    explicit ListMemoryLimitC(std::size_t limit) : Saved(GoodBadListC::Realloc) {
        Limit = limit;
        GoodBadListC::Realloc = limited;
    }
    ~ListMemoryLimitC() { GoodBadListC::Realloc = Saved; }
    ListMemoryLimitC(const ListMemoryLimitC&) = delete;
    ListMemoryLimitC& operator=(const ListMemoryLimitC&) = delete;

  private:
    static void* limited(void* old, std::size_t size) {
        return size > Limit ? nullptr : std::realloc(old, size);
    }

    static inline std::size_t Limit = 0;
    GoodBadListC::ReallocFn Saved;
};
