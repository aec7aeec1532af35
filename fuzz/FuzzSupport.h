#pragma once
// What the fuzz targets share: a file in memory that the program opens by
// name like any other, the stop on a failed check (an abort, which libFuzzer
// keeps as a crash input), and texts with their odd bytes made visible.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzsupport {

// Bytes as a C string literal would spell them, cut after limit characters.
inline std::string visible(const std::string& bytes, std::size_t limit = 400) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    if (bytes.size() > limit) text += "...";
    return text;
}

// A failed check: says what differs and aborts.
[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "\n==== fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzzsupport

// A check whose message is composed only when it fails: the checks run for
// every read of every input.
#define FUZZ_CHECK(condition, message)                  \
    do {                                                \
        if (!(condition)) ::fuzzsupport::fail(message); \
    } while (0)

namespace fuzzsupport {

// A file held in memory (memfd): written anew for each input and opened by
// the program through its /proc/self/fd name, so no disk is touched.
class MemFileC {
  public:
    explicit MemFileC(const char* label) : Fd(memfd_create(label, 0)) {
        if (Fd < 0) fail("memfd_create failed");
        Path = "/proc/self/fd/" + std::to_string(Fd);
    }
    ~MemFileC() { close(Fd); }
    MemFileC(const MemFileC&) = delete;
    MemFileC& operator=(const MemFileC&) = delete;

    const std::string& path() const { return Path; }

    // The file's bytes become exactly these.
    void write(const void* bytes, std::size_t size) {
        if (ftruncate(Fd, 0) != 0) fail("ftruncate failed");
        const char* at = static_cast<const char*>(bytes);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t put = pwrite(Fd, at + done, size - done, static_cast<off_t>(done));
            if (put <= 0) fail("pwrite failed");
            done += static_cast<std::size_t>(put);
        }
    }
    void write(const std::string& bytes) { write(bytes.data(), bytes.size()); }

  private:
    int Fd;
    std::string Path;
};

}  // namespace fuzzsupport
