#pragma once
// The reads the engine's reader must deliver, made the plain way: fgets(Line,
// 48) on a text-mode stream, one byte at a time. The oracle of the reader's
// tests and the default reader of the reference pass.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/FileReadC.h"

namespace testcheck {

// A stream that is closed with its owner (when it was opened).
struct CloseFileS {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileP = std::unique_ptr<std::FILE, CloseFileS>;

class ReferenceReader {
  public:
    explicit ReferenceReader(const std::string& path) : File(std::fopen(path.c_str(), "rb")) {}

    bool opened() const { return File != nullptr; }

    int readLine() {
        std::string read;
        while (read.size() < FileReadC::ReadMax && !Ended) {
            int c = std::fgetc(File.get());
            if (c == EOF || c == 26) {
                Ended = true;
            } else if (c != '\r') {
                read += static_cast<char>(c);
                if (c == '\n') break;
            }
        }
        if (read.empty()) return -4;
        Line = read;
        ++LineNo;
        return 0;
    }

    int seekLine(uint32_t n) {
        std::rewind(File.get());
        Ended = false;
        for (uint32_t i = 1; i < n; ++i) readLine();
        LineNo = n;
        Line.clear();
        return 0;
    }

    // The last read as a C string: a NUL byte in it ends it.
    const char* text() const { return Line.c_str(); }

    std::string Line;
    uint32_t LineNo = 0;

  private:
    FileP File;
    bool Ended = false;
};

}  // namespace testcheck
