#pragma once
// What the benchmarks share: the build's name, the failure they stop on, the
// clock, file names in rows, the command line, and the rows of the summary
// table that bench/run assembles.
#include <chrono>
#include <cstdio>
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

// The ratio of the straightforward time to ours, with whether it meets the
// goal when there is one (goal > 0).
inline std::string ratioText(double ratio, double goal) {
    char text[40];
    if (goal > 0)
        std::snprintf(text, sizeof text, "%.2fx %s", ratio, ratio >= goal ? "met" : "MISSED");
    else
        std::snprintf(text, sizeof text, "%.2fx", ratio);
    return text;
}

inline const char* baseName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    return base;
}

// One row of the summary table, appended to path (bench/run gathers the rows
// of all benchmarks in one file and prints the table from it): tab-separated
// kind, build, subject (a file's name or a number of files), the unit of the
// per-unit figures, then our seconds and per-unit figure and the
// straightforward method's. A negative plain time writes "-" for both (no
// straightforward method to compare with). Nothing without a path.
inline void writeRow(const char* path, const char* kind, const char* build,
                     const std::string& subject, const char* unit, double seconds, double perUnit,
                     double plainSeconds, double plainPerUnit) {
    if (path == nullptr) return;
    std::FILE* out = std::fopen(path, "a");
    if (out == nullptr) throw Fail{std::string("cannot append to ") + path};
    std::fprintf(out, "%s\t%s\t%s\t%s\t%.6f\t%.6f\t", kind, build, subject.c_str(), unit, seconds,
                 perUnit);
    if (plainSeconds < 0)
        std::fprintf(out, "-\t-\n");
    else
        std::fprintf(out, "%.6f\t%.6f\n", plainSeconds, plainPerUnit);
    if (std::fclose(out) != 0) throw Fail{std::string("cannot write ") + path};
}

// --repeat N, --goal X, --header, --rows FILE (where writeRow appends), and
// with engineModes --memory and --list; the rest are files. False on
// anything else or without a file.
struct ArgsS {
    int Repeat = 5;
    double Goal = 0;
    bool Header = false;
    bool Memory = false;
    bool List = false;
    const char* Rows = nullptr;
    std::vector<const char*> Files;

    bool parse(int argc, char** argv, bool engineModes) {
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
                Repeat = std::atoi(argv[++i]);
                if (Repeat < 1) return false;
            } else if (std::strcmp(argv[i], "--goal") == 0 && i + 1 < argc) {
                Goal = std::atof(argv[++i]);
            } else if (std::strcmp(argv[i], "--header") == 0) {
                Header = true;
            } else if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) {
                Rows = argv[++i];
            } else if (engineModes && std::strcmp(argv[i], "--memory") == 0) {
                Memory = true;
            } else if (engineModes && std::strcmp(argv[i], "--list") == 0) {
                List = true;
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
