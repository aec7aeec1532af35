// enginebench: how fast the engine validates and counts one wave file (what
// silent mode does for each file), against a straightforward implementation
// of the same job: the tests' reference pass (tests/common/ReferencePass.h,
// the checks, thresholds and spike rules spelled out in order, strtod per
// datum) reading through fopen(path, "r") and fgets(buf, 48, f) per line;
// and against the floor: plain passes over the file that only read it in
// blocks and count its line feeds (bench::FloorPassC), one pass (what
// reading the file once costs) and two in a row (the engine may read a file
// twice).
//
//   enginebench [--repeat N] [--plain-repeat N] [--goal X] [--floor-goal X]
//               [--header] [--rows TABLE] FILE...
//   enginebench --list [--repeat N] [--goal X] [--rows TABLE] FILE...
//   enginebench --memory [--header] FILE
//   enginebench --results FILE...
//
// For each file the engine and the floor run N times (5 by default), the
// straightforward method in as many of the first of those turns as
// --plain-repeat says (all by default; a pass over a large file takes
// seconds);
// the best pass of each counts. Every pass must yield a result line, and all
// of them the same one: both lines are printed, and the run fails (exit 1)
// when they differ or a method rejects the file. One row per method follows
// (samples, passes, best seconds, nanoseconds per sample), then the floor's
// rows (one pass, two passes), then the engine against both: the engine time
// over one floor pass with, given --floor-goal, whether it stays within X,
// and the straightforward time over the engine time (above 1: the engine is
// faster) with, given --goal, whether it reaches X. A missed goal is
// reported, not failed. With --rows, each file's comparison is also
// appended to TABLE as a row of bench/run's summary table.
//
// --list does the job of a silent run over all the files at once: the engine
// with every name in GOOD and one ValidateAll, against the straightforward
// implementation over the same names, the two taking turns for N
// passes in this process. The engine's text (progress dots aside) must be
// the straightforward implementation's result lines, one per file in order,
// in every pass; the run fails otherwise. Prints one row per method with
// milliseconds per file and, with --rows, appends one row to TABLE.
//
// --memory runs only the engine, once, and prints the peak resident memory of
// the process (natively ru_maxrss; in the Win32 build PeakWorkingSetSize).
// Run it in a fresh process per file: the engine's memory does not depend on
// the file's size, so a small and a large file must show the same peak.
//
// --results prints only each file's result line, one per file, once both
// methods agree on it (exit 1 when they do not or a method rejects the file):
// the lines a silent run over the same names must show.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h builds on its types.
#include <psapi.h>
#else
#include <sys/resource.h>

#include "framework/native/StandIns.h"
#endif

#include "bench/BenchCommon.h"
#include "core/RunModeC.h"
#include "engine/ExtendedPrecision.h"
#include "engine/GoodBadListC.h"
#include "engine/ValidateC.h"
#include "tests/common/ProgressDots.h"
#include "tests/common/ReferencePass.h"
#include "textui/TextWinC.h"

namespace {

using bench::baseName;
using bench::BuildName;
using bench::Clock;
using bench::Fail;
using bench::since;
using bench::StreamKeepsCR;

// The run's spike parameters: the program's defaults.
constexpr double HeightPercent = 50.0;
constexpr double WidthPercent = 10.0;

struct Outcome {
    std::string result;  // the result line
    uint32_t samples = 0;
    double seconds = 0;
};

// The engine as silent mode drives it: the names in GOOD, the output window
// without a control, one ValidateAll. Kept off the stack (its read block
// alone is 64 KiB).
struct EngineRunS {
    explicit EngineRunS(const std::vector<const char*>& paths) : Engine(Params, Quitter) {
        Params.Mode = ModeSilent;
        Params.Height = HeightPercent;
        Params.Width = WidthPercent;
        for (std::size_t i = 0; i < paths.size(); ++i)
            if (Params.appendNew(GoodBadListC::GOOD, paths[i]) != static_cast<int>(i + 1))
                throw Fail{std::string("engine: cannot put ") + paths[i] + " into GOOD"};
        Engine.OutWin = &Window;
    }
    GoodBadListC Params;
    QuitterS Quitter;
    TextWinC Window;
    ValidateC Engine;
};

// One validate-and-count of path by the engine: its result line. The file
// must stay in GOOD and the window must end with the result line; anything
// before it can only be progress dots.
std::string engineResult(const char* path, uint32_t& samples) {
    std::unique_ptr<EngineRunS> run(new EngineRunS({path}));
    const int status = run->Engine.ValidateAll();
    const std::string text = run->Window.Text;
    const std::string line = run->Engine.ResultStr;
    const std::size_t lineStart = text.size() - std::min(text.size(), line.size() + 2);
    if (status != 0 || run->Params.getTotal(GoodBadListC::GOOD) != 1 ||
        run->Params.getTotal(GoodBadListC::BAD) != 0 || line.empty() ||
        text.compare(lineStart, std::string::npos, line + "\r\n") != 0 ||
        text.find_first_not_of('.') < lineStart)
        throw Fail{"engine: ValidateAll returned " + std::to_string(status) + " for " + path +
                   "; the output window holds [" + text + "]"};
#ifndef _WIN32
    if (!standin::shownBoxes().empty())
        throw Fail{"engine: reported a problem: " + standin::shownBoxes().front().text};
#endif
    samples = run->Params.FileState.Samples;
    return line;
}

// Silent mode's job over all the names at once: the window's text after one
// ValidateAll. Checked by the caller, outside the time.
struct ListRunS {
    std::string text;
    int status = 0;
    int good = 0;
    int bad = 0;
};

ListRunS engineList(const std::vector<const char*>& paths) {
    std::unique_ptr<EngineRunS> run(new EngineRunS(paths));
    ListRunS out;
    out.status = run->Engine.ValidateAll();
    out.text = run->Window.Text;
    out.good = run->Params.getTotal(GoodBadListC::GOOD);
    out.bad = run->Params.getTotal(GoodBadListC::BAD);
    return out;
}

// ---- The straightforward implementation --------------------------------

// fgets(Line, 48) on a stream opened "r", in the shape the reference pass
// reads through. In the Win32 build "r" is text mode (every CR dropped,
// Ctrl-Z ends the file); natively it keeps the CRs, which each read then
// drops, as text mode would for any line that fits one read.
class FgetsReader {
  public:
    explicit FgetsReader(const std::string& path) : File(std::fopen(path.c_str(), "r")) {}

    bool opened() const { return File != nullptr; }
    int readLine() {
        if (std::fgets(Line, sizeof Line, File.get()) == nullptr) return -4;
        if (StreamKeepsCR) dropCRs();
        ++LineNo;
        return 0;
    }
    int seekLine(uint32_t n) {
        std::rewind(File.get());
        for (uint32_t i = 1; i < n; ++i) readLine();
        LineNo = n;
        return 0;
    }
    const char* text() const { return Line; }

    uint32_t LineNo = 0;

  private:
    void dropCRs() {
        char* kept = Line;
        for (const char* p = Line; *p != '\0'; ++p)
            if (*p != '\r') *kept++ = *p;
        *kept = '\0';
    }

    testcheck::FileP File;
    char Line[FileReadC::ReadMax + 1] = "";
};

// The straightforward method over the names in turn: the window's text and
// the SAMPLES of the files counted. Every file must pass.
testcheck::PassOutcome plainPass(const std::vector<std::string>& paths) {
    ExtendedPrecisionC extended;  // as the engine forms its thresholds
    testcheck::PassOutcome out =
        testcheck::ReferencePassC<FgetsReader>(HeightPercent, WidthPercent, ModeSilent, false, "")
            .run(paths);
    if (!out.Bad.empty()) throw Fail{"fgets+strtod: " + out.Text.substr(0, 2000)};
    return out;
}

// One file by the straightforward method: its result line.
std::string plainResult(const char* path, uint32_t& samples) {
    const testcheck::PassOutcome out = plainPass({path});
    samples = static_cast<uint32_t>(out.Samples);
    return out.Text.substr(0, out.Text.size() - 2);  // without its CR LF
}

// The same job over a list of names: each file's result line and CR LF, as
// the output window would show them.
std::string plainList(const std::vector<const char*>& paths, uint64_t& samples) {
    const testcheck::PassOutcome out = plainPass({paths.begin(), paths.end()});
    samples = out.Samples;
    return out.Text;
}

// ---- Measuring -----------------------------------------------------------

using JobFn = std::string (*)(const char*, uint32_t&);

// One timed run of a method, from the first allocation to the last release.
Outcome timed(JobFn job, const char* path) {
    Outcome out;
    const Clock::time_point start = Clock::now();
    out.result = job(path, out.samples);
    out.seconds = since(start);
    return out;
}

void printHeader() {
    std::printf("%-7s %-28s %-12s %9s %6s %9s %10s\n", "build", "file", "method", "samples",
                "passes", "best s", "ns/sample");
}

void printRow(const char* file, const char* method, uint32_t samples, int passes, double seconds) {
    std::printf("%-7s %-28s %-12s %9lu %6d %9.4f %10.1f\n", BuildName, file, method,
                static_cast<unsigned long>(samples), passes, seconds, seconds * 1e9 / samples);
}

// Keeps the faster pass; each must give the result line of the first.
void keepBest(Outcome& best, const Outcome& pass, const char* method) {
    if (pass.result != best.result)
        throw Fail{std::string(method) + ": two passes gave different result lines:\n  " +
                   best.result + "\n  " + pass.result};
    if (pass.seconds < best.seconds) best.seconds = pass.seconds;
}

// The best passes over one file of each method and of the floor.
struct FileBestS {
    Outcome Engine;
    Outcome Plain;
    int EnginePasses = 1;
    int PlainPasses = 1;
    bench::FloorBestS Floor;
};

// The engine and the floor take repeat turns, the straightforward method the
// first plainRepeat of them; the first turn's result lines are printed and
// must agree.
FileBestS measureFile(const char* path, int repeat, int plainRepeat) {
    FileBestS best;
    best.Engine = timed(engineResult, path);
    best.Plain = timed(plainResult, path);
    best.Floor.turn({path});
    std::printf("%-7s engine:       %s\n", BuildName, best.Engine.result.c_str());
    std::printf("%-7s fgets+strtod: %s\n", BuildName, best.Plain.result.c_str());
    std::fflush(stdout);
    if (best.Engine.result != best.Plain.result || best.Engine.samples != best.Plain.samples)
        throw Fail{std::string("the engine and fgets+strtod give different results for ") + path};
    for (int i = 1; i < repeat; ++i) {
        keepBest(best.Engine, timed(engineResult, path), "engine");
        ++best.EnginePasses;
        if (i < plainRepeat) {
            keepBest(best.Plain, timed(plainResult, path), "fgets+strtod");
            ++best.PlainPasses;
        }
        best.Floor.turn({path});
    }
    return best;
}

void benchFile(const char* path, const bench::ArgsS& args) {
    const FileBestS best =
        measureFile(path, args.Repeat, args.PlainRepeat > 0 ? args.PlainRepeat : args.Repeat);
    const char* file = baseName(path);
    const uint32_t samples = best.Engine.samples;
    printRow(file, "engine", samples, best.EnginePasses, best.Engine.seconds);
    printRow(file, "fgets+strtod", samples, best.PlainPasses, best.Plain.seconds);
    printRow(file, "floor x1", samples, 2 * best.Floor.Turns, best.Floor.One);
    printRow(file, "floor x2", samples, best.Floor.Turns, best.Floor.Two);
    std::printf(
        "%-7s %-28s engine / one floor pass %s, fgets+strtod / engine %s\n", BuildName, file,
        bench::boundText(best.Engine.seconds / best.Floor.One, args.FloorGoal, true).c_str(),
        bench::boundText(best.Plain.seconds / best.Engine.seconds, args.Goal, false).c_str());
    std::fflush(stdout);
    bench::RowS row{"engine",       BuildName,           file,
                    "ns/sample",    best.Engine.seconds, best.Engine.seconds * 1e9 / samples,
                    best.Floor.One, best.Plain.seconds,  best.Plain.seconds * 1e9 / samples};
    row.FloorTwoSeconds = best.Floor.Two;
    if (args.FloorGoal > 0) row.FloorGoal = args.FloorGoal;
    if (args.Goal > 0) row.PlainGoal = args.Goal;
    bench::writeRow(args.Rows, row);
}

// One engine pass over the list, timed from the first allocation to the last
// release, then checked: every file accepted and its text that of fgets+strtod.
double timedEngineList(const std::vector<const char*>& paths, const std::string& wanted) {
    const Clock::time_point start = Clock::now();
    const ListRunS run = engineList(paths);
    const double seconds = since(start);
    const bool same = testcheck::withoutDots(run.text) == wanted;
    if (run.status != 0 || run.good != static_cast<int>(paths.size()) || run.bad != 0 || !same) {
        const std::string text = run.text.substr(0, 2000);
        throw Fail{"engine: ValidateAll over " + std::to_string(paths.size()) + " files returned " +
                   std::to_string(run.status) + " with " + std::to_string(run.good) +
                   " in GOOD and " + std::to_string(run.bad) + " in BAD" +
                   (same ? std::string() : "; its text differs from fgets+strtod's") +
                   "; the output window begins [" + text + "]"};
    }
#ifndef _WIN32
    if (!standin::shownBoxes().empty())
        throw Fail{"engine: reported a problem: " + standin::shownBoxes().front().text};
#endif
    return seconds;
}

double timedPlainList(const std::vector<const char*>& paths, const std::string& wanted) {
    const Clock::time_point start = Clock::now();
    uint64_t samples = 0;
    const std::string text = plainList(paths, samples);
    const double seconds = since(start);
    if (text != wanted) throw Fail{"fgets+strtod: two passes over the list gave different texts"};
    return seconds;
}

// The engine over all the files in one ValidateAll against fgets+strtod over
// the same names and the floor's passes over them, in turns; the best pass
// of each counts.
void benchList(const std::vector<const char*>& paths, int repeat, double goal, const char* rows) {
    uint64_t samples = 0;
    const std::string wanted = plainList(paths, samples);  // also warms the file cache
    double engineBest = timedEngineList(paths, wanted);
    double plainBest = timedPlainList(paths, wanted);
    bench::FloorBestS floor;
    floor.turn(paths);
    std::printf("%-7s engine and fgets+strtod: the same %zu result lines (%s ... %s)\n", BuildName,
                paths.size(), baseName(paths.front()), baseName(paths.back()));
    std::fflush(stdout);
    for (int i = 1; i < repeat; ++i) {
        engineBest = std::min(engineBest, timedEngineList(paths, wanted));
        plainBest = std::min(plainBest, timedPlainList(paths, wanted));
        floor.turn(paths);
    }

    const double files = static_cast<double>(paths.size());
    const double ratio = plainBest / engineBest;
    const std::string ratioShown = bench::ratioText(ratio, goal);
    const std::string what = std::to_string(paths.size()) + " files";
    std::printf("%-7s %-12s %-12s %10s %9s %9s %10s  %s\n", "build", "files", "method", "samples",
                "best s", "ms/file", "ns/sample", "strtod/engine");
    auto row = [&](const char* method, double seconds, const char* ratioCell) {
        std::printf("%-7s %-12s %-12s %10llu %9.3f %9.3f %10.1f  %s\n", BuildName, what.c_str(),
                    method, static_cast<unsigned long long>(samples), seconds,
                    seconds * 1e3 / files, seconds * 1e9 / static_cast<double>(samples), ratioCell);
    };
    row("engine", engineBest, ratioShown.c_str());
    row("fgets+strtod", plainBest, "");
    row("floor x1", floor.One, "");
    row("floor x2", floor.Two, "");
    std::fflush(stdout);
    bench::RowS tableRow{"batch",   BuildName,  std::to_string(paths.size()),
                         "ms/file", engineBest, engineBest * 1e3 / files,
                         floor.One, plainBest,  plainBest * 1e3 / files};
    tableRow.FloorTwoSeconds = floor.Two;
    bench::writeRow(rows, tableRow);
}

// The process's peak resident memory so far, KiB.
unsigned long peakKiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        throw Fail{"GetProcessMemoryInfo failed"};
    return static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024);
#else
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0) throw Fail{"getrusage failed"};
    return static_cast<unsigned long>(usage.ru_maxrss);  // KiB on Linux
#endif
}

void measureMemory(const char* path, bool header) {
    uint32_t samples = 0;
    engineResult(path, samples);
    const unsigned long peak = peakKiB();
    if (header) std::printf("%-7s %-24s %9s %10s\n", "build", "file", "samples", "peak KiB");
    std::printf("%-7s %-24s %9lu %10lu\n", BuildName, baseName(path),
                static_cast<unsigned long>(samples), peak);
    std::fflush(stdout);
}

// The result line of each file, both methods agreeing.
void printResults(const std::vector<const char*>& files) {
    for (const char* path : files) {
        uint32_t engineSamples = 0, plainSamples = 0;
        const std::string line = engineResult(path, engineSamples);
        if (plainResult(path, plainSamples) != line || plainSamples != engineSamples)
            throw Fail{std::string("the engine and fgets+strtod give different results for ") +
                       path};
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
}

int usage() {
    std::fprintf(stderr,
                 "usage: enginebench [--repeat N] [--plain-repeat N] [--goal X] [--floor-goal X]\n"
                 "                   [--header] [--rows TABLE] FILE...\n"
                 "       enginebench --list [--repeat N] [--goal X] [--rows TABLE] FILE...\n"
                 "       enginebench --memory [--header] FILE\n"
                 "       enginebench --results FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const bool results = argc > 1 && std::strcmp(argv[1], "--results") == 0;
    bench::ArgsS args;
    if (results) {
        args.Files.assign(argv + 2, argv + argc);
        if (args.Files.empty()) return usage();
    } else if (!args.parse(argc, argv, true) || (args.Memory && args.Files.size() != 1) ||
               (args.Memory && args.List)) {
        return usage();
    }
#ifndef _WIN32
    standin::echoBoxesToStderr(true);  // a problem the engine reports shows at once
#endif
    try {
        if (results) {
            printResults(args.Files);
            return 0;
        }
        if (args.Memory) {
            measureMemory(args.Files[0], args.Header);
            return 0;
        }
        if (args.List) {
            benchList(args.Files, args.Repeat, args.Goal, args.Rows);
            return 0;
        }
        if (args.Header) printHeader();
        for (const char* path : args.Files) benchFile(path, args);
    } catch (const Fail& fail) {
        std::fflush(stdout);
        std::fprintf(stderr, "enginebench: FAILED: %s\n", fail.what.c_str());
        return 1;
    }
    return 0;
}
