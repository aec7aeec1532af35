#pragma once
// A private temporary folder for one test, removed with everything in it.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/common/Files.h"

namespace testfiles {

class TempFilesC {
  public:
    TempFilesC() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tallywave-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        Dir = pattern;
    }
    ~TempFilesC() {
        std::error_code ignored;
        std::filesystem::remove_all(Dir, ignored);
    }
    TempFilesC(const TempFilesC&) = delete;
    TempFilesC& operator=(const TempFilesC&) = delete;

    const std::string& dir() const { return Dir; }

    // Writes bytes exactly (binary) into a new file of the folder; returns its path.
    std::string write(const std::string& bytes, const std::string& name = "") {
        std::string path =
            Dir + "/" + (name.empty() ? "f" + std::to_string(++Count) + ".txt" : name);
        if (!writeFile(path, bytes)) throw std::runtime_error("cannot write " + path);
        return path;
    }

  private:
    std::string Dir;
    int Count = 0;
};

}  // namespace testfiles
