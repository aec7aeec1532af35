#include "startup/FileMatchC.h"

#include <cstdlib>
#include <cstring>

#include "engine/GoodBadListC.h"
#include "framework/PlatformSeams.h"

namespace {

int byName(const void* left, const void* right) {
    return std::strcmp(*static_cast<char* const*>(left), *static_cast<char* const*>(right));
}

}  // namespace

FileMatchC::~FileMatchC() {
    for (int i = 0; i < Count; ++i) std::free(Names[i]);
    std::free(Names);
}

bool FileMatchC::holdsWildcard(const char* name, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (name[i] == '*' || name[i] == '?') return true;
    return false;
}

// The system lists matches in its own order (directory order under Wine):
// they are sorted once all are in.
bool FileMatchC::find(const char* pattern) {
    Failed = false;
    seam::findFiles(pattern, keep, this);
    if (Count > 1) std::qsort(Names, Count, sizeof *Names, byName);
    return !Failed;
}

bool FileMatchC::keep(void* context, const char* name) {
    FileMatchC* matches = static_cast<FileMatchC*>(context);
    matches->Failed = !matches->add(name);
    return !matches->Failed;
}

// Memory comes through the lists' seam, where tests make it run out.
bool FileMatchC::add(const char* name) {
    if (Count == Room) {
        const int room = Room > 0 ? Room * 2 : 64;
        void* bigger = GoodBadListC::Realloc(Names, room * sizeof *Names);
        if (bigger == nullptr) return false;
        Names = static_cast<char**>(bigger);
        Room = room;
    }
    const std::size_t size = std::strlen(name) + 1;
    char* copy = static_cast<char*>(GoodBadListC::Realloc(nullptr, size));
    if (copy == nullptr) return false;
    std::memcpy(copy, name, size);
    Names[Count++] = copy;
    return true;
}
