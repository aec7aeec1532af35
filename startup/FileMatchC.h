#pragma once
// The files that a file name with wildcards (* and ?) matches, as the
// program expands such names itself: on Windows no shell does it for it.
#include <cstddef>

class FileMatchC {
  public:
    FileMatchC() = default;
    ~FileMatchC();
    FileMatchC(const FileMatchC&) = delete;
    FileMatchC& operator=(const FileMatchC&) = delete;

    // Whether the name holds a * or a ?.
    static bool holdsWildcard(const char* name, std::size_t length);
    // Looks for the files that pattern matches and keeps their names (without
    // the folder) in name order. False when memory for them ran out; the
    // names found before are kept.
    bool find(const char* pattern);
    int count() const { return Count; }
    // The name at index (0 to count() - 1), in name order.
    const char* name(int index) const { return Names[index]; }

  private:
    static bool keep(void* context, const char* name);
    bool add(const char* name);

    char** Names = nullptr;  // each allocated on its own
    int Count = 0;
    int Room = 0;
    bool Failed = false;  // memory ran out during the last find
};
