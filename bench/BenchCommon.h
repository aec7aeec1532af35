#pragma once
// What the benchmarks share: the build's name, the failure they stop on, the
// clock, file names in rows, and the command line.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

#ifdef _WIN32
constexpr const char* BuildName = "win32";
constexpr bool StreamKeepsCR = false;  // "r" is text mode: CR LF arrives as LF
#else
constexpr const char* BuildName = "native";
constexpr bool StreamKeepsCR = true;
#endif

struct Fail {
    std::string what;
};

using Clock = std::chrono::steady_clock;

inline double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline const char* baseName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    return base;
}

// --repeat N, --goal X, --header, and with allowMemory --memory; the rest
// are files. False on anything else or without a file.
struct ArgsS {
    int Repeat = 5;
    double Goal = 0;
    bool Header = false;
    bool Memory = false;
    std::vector<const char*> Files;

    bool parse(int argc, char** argv, bool allowMemory) {
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
                Repeat = std::atoi(argv[++i]);
                if (Repeat < 1) return false;
            } else if (std::strcmp(argv[i], "--goal") == 0 && i + 1 < argc) {
                Goal = std::atof(argv[++i]);
            } else if (std::strcmp(argv[i], "--header") == 0) {
                Header = true;
            } else if (allowMemory && std::strcmp(argv[i], "--memory") == 0) {
                Memory = true;
            } else if (argv[i][0] == '-') {
                return false;
            } else {
                Files.push_back(argv[i]);
            }
        }
        return !Files.empty();
    }
};

}  // namespace bench
