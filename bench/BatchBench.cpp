// batchbench: whether the time per file of a long silent run stays flat as
// the output window fills. Starts the real tallywave.exe in silent mode over
// as many wave files as its invocation line holds, watches it from this
// process, checks the window text and the exit, and prints one table.
//
//   batchbench [--opens LOG] [--repeat N] [--poll-ms N] [--timeout S] [--trace FILE]
//              [--exe PATH] [--names FILE] [--rows TABLE] DIR
//
// DIR holds the wave files and results.txt: the result line of each file, in
// order, as the engine gives it (bench/run makes it with the native build,
// `enginebench --results`). A file's name is the part of its line before
// " : ". As many names are taken, in order, as fit an invocation line of
// BatchLineMax characters (the program path, the switch, h, w and the names,
// each followed by a blank); the program runs `tallywave.exe -s 50 10
// NAME...` in DIR.
//
// Watching the window: once the output window exists, EM_GETLINECOUNT is
// asked with SendMessageTimeoutA every N ms (1 by default, 0: no pause) and
// the time of each new count is kept (QueryPerformanceCounter). The text is
// an empty first line and then one line per file, so the count is two more
// than the result lines shown. The program writes the whole batch in one
// pass without retrieving messages; the window answers an ask only when it
// is sent what is new (a few times a second): the report says how long the
// longest ask waited and how many lines it found.
//
// The time of each file therefore comes from LOG, written by openwatch
// (bench/OpenWatch.cpp, run natively beside Wine by bench/run): when each
// file was opened and closed. A file's time runs from its open to the next
// file's open: reading it twice, writing its result line to the window (just
// before the close) and the close. The last file has no next one and is not
// timed.
//
// Checks: every name opened and closed, each after the one before it was
// closed; the whole window text the empty first line and the expected lines
// in order, nothing else but progress dots (the engine puts one after the
// text every few seconds of a long pass, so one can stand before a result);
// the program still running after the batch; its close box, Yes to the
// quit question, exit code 0. Exit 1 when a check fails or the run hangs
// (an ask not answered within --timeout, 120 s by default).
//
// After the runs the same job is done once per run in this process, by the
// engine alone (ValidateAll over the same names, an output window without a
// control), timed, and its text checked against the expected lines: what the
// files cost without the window.
//
// The whole run is done N times (3 by default), each with a fresh program;
// the table has a column per run: files, total time, mean time per file over
// the first and the last 100 files and their ratio, the median, 95th
// percentile and maximum, the mean while the text still fits the window and
// once every new line scrolls it with its trend (the least-squares slope),
// the mean per hundred files, and the engine alone. Other work on a shared
// machine moves whole stretches of a run, so the runs are shown side by side.
// The time per file counts as growing with the files done when, once every
// line scrolls, its trend adds at least 25 percent from the first of those
// files to the last (the median of the runs); the one step up when the text
// first fills the window is reported apart. --trace writes one row per file
// of the last run (number, open and close times from the first open, time
// for the file; milliseconds). --names writes the names of the run, one a
// line, before it starts (bench/run runs the engine against the
// straightforward implementation over the same names). --rows appends the
// fastest run (the least total time) to TABLE as a row of bench/run's
// summary table: its total time and median time per file.
//
// The parts: bench/BatchDrive.* drives the program, bench/BatchMeasure.*
// reads the log and times the engine alone, bench/BatchReport.* prints the
// runs and the table and writes the files; this file reads the command line
// and the expected lines and runs them in turn.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/Batch.h"
#include "bench/BatchDrive.h"
#include "bench/BatchMeasure.h"
#include "bench/BatchReport.h"
#include "bench/BenchCommon.h"
#include "bench/QpcTimer.h"
#include "windriver/WinDriver.h"

namespace {

using bench::Fail;
using namespace batch;

const std::size_t BatchLineMax = 10000;  // characters of the invocation line

bool parseArgs(int argc, char** argv, ArgsS& args) {
    std::vector<const char*> operands;
    bench::OptionsC options;
    options.text("--opens", &args.Opens)
        .count("--repeat", &args.Repeat, 1)
        .count("--poll-ms", &args.PollMs, 0)
        .count("--timeout", &args.TimeoutS, 1)
        .text("--trace", &args.Trace)
        .text("--exe", &args.Exe)
        .text("--names", &args.Names)
        .text("--rows", &args.Rows);
    if (!options.read(argc, argv, &operands) || operands.size() != 1) return false;
    args.Dir = operands[0];
    return true;
}

// The expected result lines, one per file; CR LF or LF line ends.
std::vector<std::string> readExpected(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Fail{"cannot read " + path};
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(" : ") == std::string::npos)
            throw Fail{"not a result line in " + path + ": " + line};
        lines.push_back(line);
    }
    if (lines.empty()) throw Fail{path + " holds no result line"};
    return lines;
}

// The first of the files that fit an invocation line of BatchLineMax
// characters: every argument and a blank after it, the names included. The
// program takes longer lines; the batch keeps this size so that its figures
// compare from run to run. *lineLength gets the line's length.
BatchS batchThatFits(const std::string& exe, const std::vector<std::string>& lines,
                     std::size_t* lineLength) {
    BatchS batch;
    batch.Command = Params;
    std::size_t length = exe.size() + 1 + std::strlen(Params) + 1;
    for (const std::string& line : lines) {
        const std::size_t next = length + nameOf(line).size() + 1;
        if (next > BatchLineMax) break;
        length = next;
        batch.Expected.push_back(line);
        batch.Command += " " + nameOf(line);
    }
    *lineLength = length;
    if (batch.files() < 2) throw Fail{"fewer than two names fit the invocation line"};
    return batch;
}

// One run of the program over the batch, checked and, with the log, timed.
RunS runBatch(const ArgsS& args, const BatchS& batch, const Timer& timer) {
    RunS run;
    const std::size_t logFrom = args.Opens.empty() ? 0 : fileSize(args.Opens);
    run.Program = runProgram(args, batch, timer);
    if (args.Opens.empty()) return run;
    run.Events = readFileEvents(args.Opens, logFrom, batch);
    run.PerFile = timesPerFile(run.Events);
    return run;
}

void benchBatch(const ArgsS& args, const Timer& timer) {
    std::size_t lineLength = 0;
    const BatchS batch =
        batchThatFits(args.Exe, readExpected(args.Dir + "\\results.txt"), &lineLength);
    const std::size_t files = batch.files();
    std::printf(
        "batchbench: tallywave.exe %s %s ... %s: %zu files, the invocation line %zu "
        "of %d characters; %d runs\n",
        Params, batch.name(0).c_str(), batch.name(files - 1).c_str(), files, lineLength,
        int(BatchLineMax), args.Repeat);
    std::fflush(stdout);
    if (!args.Names.empty()) writeNames(args.Names, batch);

    std::vector<RunS> runs;
    for (int i = 0; i < args.Repeat; ++i) {
        runs.push_back(runBatch(args, batch, timer));
        printRun(i + 1, runs.back(), args, batch, timer);
    }
    if (args.Opens.empty()) {
        std::printf("no time per file without --opens (openwatch's log; bench/run --batch)\n");
        return;
    }
    // After all runs, so that these opens are not taken for the program's.
    for (RunS& run : runs) run.EngineAlone = engineAlone(args.Dir, batch, timer);
    if (!args.Trace.empty()) writeTrace(args.Trace, runs.back());
    printTimes(runs, files);
    std::fflush(stdout);
    if (!args.Rows.empty()) writeFastestRow(args.Rows, runs, files);
}

int usage() {
    std::fprintf(stderr,
                 "usage: batchbench [--opens LOG] [--repeat N] [--poll-ms N] [--timeout S] "
                 "[--trace FILE] [--exe PATH] [--names FILE] [--rows TABLE] DIR\n"
                 "  DIR holds the wave files and results.txt, their result lines in order;\n"
                 "  LOG is written by openwatch while the program runs (bench/run --batch)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ArgsS args;
    if (!parseArgs(argc, argv, args)) return usage();
    if (args.Exe.empty()) args.Exe = e2e::exeDir() + "\\tallywave.exe";
    try {
        const Timer timer;
        benchBatch(args, timer);
    } catch (const Fail& fail) {
        std::fflush(stdout);
        std::fprintf(stderr, "batchbench: FAILED: %s\n", fail.what.c_str());
        return 1;
    }
    return 0;
}
