#pragma once
// Whole files read and written as bytes (binary, no line-end translation).
#include <fstream>
#include <iterator>
#include <string>

namespace testfiles {

// The file's bytes; "" when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the file's bytes with these; false when they could not all be written.
inline bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace testfiles
