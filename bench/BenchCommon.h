#pragma once
// What the benchmarks share: the build's name, the failure they stop on, the
// clock, the floor (what reading a file costs at least), file names in rows,
// the rows of the summary table that bench/run assembles, and the reading of
// their command lines.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <emmintrin.h>

namespace bench {

#if defined(_WIN64)
constexpr const char* BuildName = "win64";  // the x86-64 build, for hosts without 32-bit code
constexpr bool StreamKeepsCR = false;
#elif defined(_WIN32)
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

// The floor: one plain pass over a file that reads it in 64 KiB blocks
// (natively read(2), in the Win32 build ReadFile) and counts its line feeds
// with SSE2, 16 bytes at a step. Returns the line feeds; what a pass over a
// file's lines cannot go below.
class FloorPassC {
  public:
    static uint64_t run(const char* path) {
        FloorPassC pass(path);
        uint64_t lineFeeds = 0;
        std::size_t got;
        while ((got = pass.fetch()) > 0) lineFeeds += countLineFeeds(pass.Block, got);
        return lineFeeds;
    }

  private:
    enum { BlockSize = 1 << 16 };
#ifdef _WIN32
    explicit FloorPassC(const char* path)
        : File(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (File == INVALID_HANDLE_VALUE) throw Fail{std::string("floor: cannot open ") + path};
    }
    ~FloorPassC() {
        CloseHandle(File);
    }
    std::size_t fetch() {
        DWORD got = 0;
        if (!ReadFile(File, Block, BlockSize, &got, nullptr)) throw Fail{"floor: ReadFile failed"};
        return got;
    }
    HANDLE File;
#else
    explicit FloorPassC(const char* path) : File(open(path, O_RDONLY)) {
        if (File < 0) throw Fail{std::string("floor: cannot open ") + path};
    }
    ~FloorPassC() {
        close(File);
    }
    std::size_t fetch() {
        const ssize_t got = read(File, Block, BlockSize);
        if (got < 0) throw Fail{"floor: read failed"};
        return static_cast<std::size_t>(got);
    }
    int File;
#endif
    FloorPassC(const FloorPassC&) = delete;
    FloorPassC& operator=(const FloorPassC&) = delete;

    // Line feeds of bytes[0, size): each 16-byte step subtracts its compare
    // mask (-1 per line feed) from byte counters, summed every 255 steps.
    static uint64_t countLineFeeds(const unsigned char* bytes, std::size_t size) {
        const __m128i lineFeed = _mm_set1_epi8('\n');
        uint64_t total = 0;
        std::size_t at = 0;
        while (size - at >= 16) {
            __m128i counts = _mm_setzero_si128();
            for (int step = 0; step < 255 && size - at >= 16; ++step, at += 16) {
                const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
                counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(group, lineFeed));
            }
            const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
            total += static_cast<uint64_t>(_mm_cvtsi128_si32(sums)) +
                     static_cast<uint64_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
        }
        for (; at < size; ++at) total += bytes[at] == '\n';
        return total;
    }

    unsigned char Block[BlockSize];
};

// The seconds of passes floor passes over each of the files, in turn.
inline double floorSeconds(const std::vector<const char*>& paths, int passes) {
    const Clock::time_point start = Clock::now();
    for (const char* path : paths)
        for (int pass = 0; pass < passes; ++pass) FloorPassC::run(path);
    return since(start);
}

// The floor beside a method that may read its files twice: turn by turn,
// two passes over the files, each timed. One is the best single pass (what
// reading the files once costs), Two the best turn of two passes in a row.
struct FloorBestS {
    double One = 1e300;
    double Two = 1e300;
    int Turns = 0;

    void turn(const std::vector<const char*>& paths) {
        const double first = floorSeconds(paths, 1);
        const double second = floorSeconds(paths, 1);
        One = std::min(One, std::min(first, second));
        Two = std::min(Two, first + second);
        ++Turns;
    }
};

// The ratio of the straightforward time to ours, with whether it meets the
// goal when there is one (goal > 0): at least goal.
inline std::string ratioText(double ratio, double goal) {
    char text[40];
    if (goal > 0)
        std::snprintf(text, sizeof text, "%.2fx %s", ratio, ratio >= goal ? "met" : "MISSED");
    else
        std::snprintf(text, sizeof text, "%.2fx", ratio);
    return text;
}

// A ratio with its bound, when there is one (bound > 0): at most bound, or
// at least it, and whether it keeps it.
inline std::string boundText(double ratio, double bound, bool atMost) {
    char text[48];
    const bool kept = atMost ? ratio <= bound : ratio >= bound;
    if (bound > 0)
        std::snprintf(text, sizeof text, "%.2fx (at %s %gx: %s)", ratio, atMost ? "most" : "least",
                      bound, kept ? "met" : "MISSED");
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

// One row of the summary table (bench/run gathers the rows of all
// benchmarks in one file and prints the table from it): what was measured
// (kind, build, subject: a file's name or a number of files, the unit of the
// per-unit figures), our seconds and per-unit figure, the floor's seconds
// for the same files (one pass over each, and two in a row), the
// straightforward method's seconds and per-unit figure, and the bounds the
// row is held to: ours at most FloorGoal times one floor pass, the
// straightforward method at least PlainGoal times ours. A negative number
// means there is none.
struct RowS {
    const char* Kind;
    const char* Build;
    std::string Subject;
    const char* Unit;
    double Seconds;
    double PerUnit;
    double FloorSeconds = -1;
    double PlainSeconds = -1;
    double PlainPerUnit = -1;
    double FloorTwoSeconds = -1;
    double FloorGoal = -1;
    double PlainGoal = -1;
};

// The row appended to path, tab-separated: kind, build, subject, unit, our
// seconds and per-unit figure, the floor's seconds of one and of two passes,
// the straightforward method's seconds and per-unit figure, the floor's and
// the straightforward method's bound; "-" for a number there is none of.
// Nothing without a path.
inline void writeRow(const char* path, const RowS& row) {
    if (path == nullptr) return;
    std::FILE* out = std::fopen(path, "a");
    if (out == nullptr) throw Fail{std::string("cannot append to ") + path};
    std::fprintf(out, "%s\t%s\t%s\t%s\t%.6f\t%.6f", row.Kind, row.Build, row.Subject.c_str(),
                 row.Unit, row.Seconds, row.PerUnit);
    for (double number : {row.FloorSeconds, row.FloorTwoSeconds, row.PlainSeconds, row.PlainPerUnit,
                          row.FloorGoal, row.PlainGoal}) {
        if (number < 0)
            std::fprintf(out, "\t-");
        else
            std::fprintf(out, "\t%.6f", number);
    }
    std::fprintf(out, "\n");
    if (std::fclose(out) != 0) throw Fail{std::string("cannot write ") + path};
}

// A benchmark's command line: the options it takes, each named with its
// value (or alone, a flag), and the operands (files, a folder) among them.
// Each benchmark lists its options; read() fills them in.
class OptionsC {
  public:
    // --NAME alone sets *to.
    OptionsC& flag(const char* name, bool* to) {
        return add(name, false, [to](const char*) { return *to = true; });
    }
    // --NAME N: a whole number of at least least.
    OptionsC& count(const char* name, int* to, int least) {
        return add(name, true, [to, least](const char* value) {
            *to = std::atoi(value);
            return *to >= least;
        });
    }
    // --NAME X: a decimal number.
    OptionsC& number(const char* name, double* to) {
        return add(name, true, [to](const char* value) {
            *to = std::atof(value);
            return true;
        });
    }
    // --NAME TEXT.
    OptionsC& text(const char* name, const char** to) {
        return add(name, true, [to](const char* value) {
            *to = value;
            return true;
        });
    }
    OptionsC& text(const char* name, std::string* to) {
        return add(name, true, [to](const char* value) {
            *to = value;
            return true;
        });
    }

    // Reads argv[1] to argv[argc - 1]: the options listed, and the rest,
    // which must not begin with '-', into *operands. False on an option not
    // listed, one without its value, or a value it does not take.
    bool read(int argc, char** argv, std::vector<const char*>* operands) const {
        for (int i = 1; i < argc; ++i) {
            const OptionS* option = find(argv[i]);
            if (option == nullptr) {
                if (argv[i][0] == '-') return false;
                operands->push_back(argv[i]);
            } else if (!option->TakesValue) {
                option->Take(nullptr);
            } else if (i + 1 >= argc || !option->Take(argv[++i])) {
                return false;
            }
        }
        return true;
    }

  private:
    struct OptionS {
        const char* Name;
        bool TakesValue;
        std::function<bool(const char*)> Take;  // false: the value is not one it takes
    };

    OptionsC& add(const char* name, bool takesValue, std::function<bool(const char*)> take) {
        Options.push_back({name, takesValue, std::move(take)});
        return *this;
    }
    const OptionS* find(const char* arg) const {
        for (const OptionS& option : Options)
            if (std::strcmp(option.Name, arg) == 0) return &option;
        return nullptr;
    }

    std::vector<OptionS> Options;
};

// The reader and engine benchmarks' command line: --repeat N, --goal X,
// --header, --rows FILE (where writeRow appends), and with engineModes
// --memory, --list, --floor-goal X and --plain-repeat N; the rest are files.
// False on anything else or without a file.
struct ArgsS {
    int Repeat = 5;
    int PlainRepeat = 0;  // 0: as many as Repeat
    double Goal = 0;
    double FloorGoal = 0;
    bool Header = false;
    bool Memory = false;
    bool List = false;
    const char* Rows = nullptr;
    std::vector<const char*> Files;

    bool parse(int argc, char** argv, bool engineModes) {
        OptionsC options;
        options.count("--repeat", &Repeat, 1)
            .number("--goal", &Goal)
            .flag("--header", &Header)
            .text("--rows", &Rows);
        if (engineModes)
            options.flag("--memory", &Memory)
                .flag("--list", &List)
                .number("--floor-goal", &FloorGoal)
                .count("--plain-repeat", &PlainRepeat, 1);
        return options.read(argc, argv, &Files) && !Files.empty();
    }
};

}  // namespace bench
