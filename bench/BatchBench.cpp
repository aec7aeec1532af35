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
// the program still running after the batch; WM_CLOSE to the frame, Yes to
// the quit question, exit code 0. Exit 1 when a check fails or the run hangs
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
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "bench/QpcTimer.h"
#include "core/RunModeC.h"
#include "engine/GoodBadListC.h"
#include "engine/ValidateC.h"
#include "tests/common/ProgressDots.h"
#include "textui/TextWinC.h"
#include "windriver/WinDriver.h"

namespace {

const char Caption[] = " Tallywave Release v. 1.0 of 2003-05-22";
const char WindowClass[] = "TallywaveWindow";
const char Params[] = "-s 50 10";
const std::size_t BatchLineMax = 10000;  // characters of the invocation line
const DWORD WindowPatienceMs = 30000;    // start-up, quit question, exit
const DWORD LogPatienceMs = 5000;        // for openwatch to log the last events
constexpr int GrowthPercent = 25;        // added by the trend over the scrolled files
constexpr std::size_t Block = 100;

struct Fail {
    std::string what;
};

struct ArgsS {
    std::string Opens;
    int Repeat = 3;
    int PollMs = 1;
    int TimeoutS = 120;
    std::string Trace;
    std::string Exe;
    std::string Names;
    std::string Rows;
    std::string Dir;
};

bool parseArgs(int argc, char** argv, ArgsS& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--opens" && i + 1 < argc) {
            args.Opens = argv[++i];
        } else if (arg == "--repeat" && i + 1 < argc) {
            args.Repeat = std::atoi(argv[++i]);
            if (args.Repeat < 1) return false;
        } else if (arg == "--poll-ms" && i + 1 < argc) {
            args.PollMs = std::atoi(argv[++i]);
            if (args.PollMs < 0) return false;
        } else if (arg == "--timeout" && i + 1 < argc) {
            args.TimeoutS = std::atoi(argv[++i]);
            if (args.TimeoutS < 1) return false;
        } else if (arg == "--trace" && i + 1 < argc) {
            args.Trace = argv[++i];
        } else if (arg == "--exe" && i + 1 < argc) {
            args.Exe = argv[++i];
        } else if (arg == "--names" && i + 1 < argc) {
            args.Names = argv[++i];
        } else if (arg == "--rows" && i + 1 < argc) {
            args.Rows = argv[++i];
        } else if (arg[0] == '-' || !args.Dir.empty()) {
            return false;
        } else {
            args.Dir = arg;
        }
    }
    return !args.Dir.empty();
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

std::string nameOf(const std::string& line) {
    return line.substr(0, line.find(" : "));
}

// How many of the files fit an invocation line of BatchLineMax characters:
// every argument and a blank after it, the names included. The program takes
// longer lines; the batch keeps this size so that its figures compare from
// run to run.
std::size_t namesThatFit(const std::string& exe, const std::vector<std::string>& lines,
                         std::size_t& lineLength) {
    std::size_t length = exe.size() + 1 + std::strlen(Params) + 1;
    std::size_t count = 0;
    for (const std::string& line : lines) {
        const std::size_t next = length + nameOf(line).size() + 1;
        if (next > BatchLineMax) break;
        length = next;
        ++count;
    }
    lineLength = length;
    return count;
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const std::size_t below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

double mean(const std::vector<double>& values, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += values[i];
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

// The least-squares slope of values[i] over i, from index from on.
double slope(const std::vector<double>& values, std::size_t from) {
    const std::size_t n = values.size() > from ? values.size() - from : 0;
    if (n < 2) return 0;
    const double meanX = static_cast<double>(from) + static_cast<double>(n - 1) / 2;
    const double meanY = mean(values, from, values.size());
    double sxy = 0, sxx = 0;
    for (std::size_t i = from; i < values.size(); ++i) {
        const double dx = static_cast<double>(i) - meanX;
        sxy += dx * (values[i] - meanY);
        sxx += dx * dx;
    }
    return sxy / sxx;
}

double largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

struct Window {
    HWND Frame = nullptr;
    HWND Edit = nullptr;
};

// Finds the output window and its edit control, looking without pause so
// that as little of the run as possible passes before the first ask. The
// caption is read with GetWindowTextA, which needs no answer from the
// program.
Window findOutputWindow(e2e::LaunchedProcess& program, const Timer& timer) {
    const double deadline = timer.now() + WindowPatienceMs / 1000.0;
    while (timer.now() < deadline) {
        if (!program.running()) throw Fail{"the program ended before showing its output window"};
        for (HWND frame : e2e::topWindows(program.pid(), WindowClass)) {
            char caption[64] = "";
            GetWindowTextA(frame, caption, sizeof caption);
            if (std::strcmp(caption, Caption) != 0) continue;
            HWND client = FindWindowExA(frame, nullptr, WindowClass, nullptr);
            HWND edit =
                client != nullptr ? FindWindowExA(client, nullptr, "Edit", nullptr) : nullptr;
            if (edit != nullptr) return Window{frame, edit};
        }
        Sleep(0);
    }
    throw Fail{"no output window within " + std::to_string(WindowPatienceMs / 1000) + " s"};
}

struct Watch {
    double FoundAt = 0;          // when the output window was found, from the launch
    std::vector<double> LineAt;  // when each result line was first counted
    std::size_t Asks = 0;
    std::size_t Counts = 0;        // different line counts seen
    double Slowest = 0;            // the longest wait for an answer, s
    std::size_t SlowestFound = 0;  // new result lines that answer showed
};

// Asks the edit control for its line count until every file's line is
// there, the program ends or an ask is not answered within the timeout.
Watch watchLines(const Window& window, e2e::LaunchedProcess& program, std::size_t files,
                 const ArgsS& args, const Timer& timer) {
    Watch watch;
    const double found = timer.now();
    std::size_t lastCount = 0;
    for (;;) {
        const double asked = timer.now();
        DWORD_PTR count = 0;
        const bool answered =
            SendMessageTimeoutA(window.Edit, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL,
                                static_cast<UINT>(args.TimeoutS) * 1000, &count) != 0;
        const double seen = timer.now();
        ++watch.Asks;
        if (!answered) {
            if (!program.running()) throw Fail{"the program ended during the run"};
            throw Fail{"the output window did not answer within " + std::to_string(args.TimeoutS) +
                       " s, after " + std::to_string(watch.LineAt.size()) + " of " +
                       std::to_string(files) + " lines: hung"};
        }
        if (count != lastCount) ++watch.Counts;
        lastCount = count;
        if (count > files + 2)
            throw Fail{"the window holds " + std::to_string(count) + " lines, more than the " +
                       std::to_string(files + 2) + " expected"};
        const std::size_t shown = count >= 2 ? count - 2 : 0;
        if (seen - asked > watch.Slowest) {
            watch.Slowest = seen - asked;
            watch.SlowestFound = shown > watch.LineAt.size() ? shown - watch.LineAt.size() : 0;
        }
        while (watch.LineAt.size() < shown) watch.LineAt.push_back(seen);
        if (shown == files) return watch;
        if (seen - found > args.TimeoutS)
            throw Fail{"only " + std::to_string(shown) + " of " + std::to_string(files) +
                       " lines after " + std::to_string(args.TimeoutS) + " s: hung"};
        if (args.PollMs > 0) Sleep(static_cast<DWORD>(args.PollMs));
    }
}

// Lines of text the edit control shows at once: its client height over the
// distance between two lines, measured at the end of the text (it answers
// again once the batch is done).
int visibleLines(const Window& window) {
    RECT client;
    if (!GetClientRect(window.Edit, &client)) return 0;
    DWORD_PTR lines = 0, first = 0, second = 0, top = 0, next = 0;
    auto ask = [&](UINT msg, WPARAM w, DWORD_PTR* out) {
        return SendMessageTimeoutA(window.Edit, msg, w, 0, SMTO_NORMAL, 5000, out) != 0;
    };
    // The last two result lines (the empty line after them has no
    // character to ask the position of).
    if (!ask(EM_GETLINECOUNT, 0, &lines) || lines < 3 || !ask(EM_LINEINDEX, lines - 3, &first) ||
        !ask(EM_LINEINDEX, lines - 2, &second) || !ask(EM_POSFROMCHAR, first, &top) ||
        !ask(EM_POSFROMCHAR, second, &next))
        return 0;
    const int height = static_cast<short>(HIWORD(next)) - static_cast<short>(HIWORD(top));
    return height > 0 ? (client.bottom - client.top) / height : 0;
}

// Every file's first open and last close, seconds on openwatch's clock, and
// their places in the log.
struct FileEvents {
    std::vector<double> Opened, Closed;
    std::vector<std::size_t> OpenedAt, ClosedAt;
    std::vector<int> Opens;
    std::size_t Events = 0;  // of the files timed
    std::size_t Shared = 0;  // events read together with the one before
};

// The size of a file, 0 when it cannot be read.
std::size_t fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::size_t>(in.tellg()) : 0;
}

// Reads openwatch's log from byte offset from (where the run began); waits a
// little for events it has not written yet.
FileEvents readOpens(const std::string& path, std::size_t from,
                     const std::vector<std::string>& expected, std::size_t files) {
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < files; ++i) index[nameOf(expected[i])] = i;
    const DWORD start = GetTickCount();
    for (;;) {
        FileEvents events;
        events.Opened.assign(files, -1);
        events.Closed.assign(files, -1);
        events.OpenedAt.assign(files, 0);
        events.ClosedAt.assign(files, 0);
        events.Opens.assign(files, 0);
        std::ifstream in(path, std::ios::binary);
        if (!in || !in.seekg(static_cast<std::streamoff>(from))) throw Fail{"cannot read " + path};
        std::string line;
        long long previous = -1;
        for (std::size_t seq = 0; std::getline(in, line); ++seq) {
            std::istringstream fields(line);
            long long ns = 0;
            std::string kind, name;
            if (!(fields >> ns >> kind >> name)) continue;  // a line still being written
            const auto found = index.find(name);
            if (found == index.end()) continue;
            const std::size_t i = found->second;
            const double at = static_cast<double>(ns) * 1e-9;
            ++events.Events;
            if (ns == previous) ++events.Shared;
            previous = ns;
            if (kind == "open") {
                if (events.Opens[i]++ == 0) {
                    events.Opened[i] = at;
                    events.OpenedAt[i] = seq;
                }
            } else if (kind == "close") {
                events.Closed[i] = at;
                events.ClosedAt[i] = seq;
            }
        }
        std::size_t missing = files;
        for (std::size_t i = 0; i < files && missing == files; ++i)
            if (events.Opened[i] < 0 || events.Closed[i] < 0) missing = i;
        if (missing == files) return events;
        if (GetTickCount() - start > LogPatienceMs)
            throw Fail{path + " shows no open and close of " + nameOf(expected[missing]) +
                       ": the program did not read it, or openwatch was not watching " +
                       "(run batchbench through bench/run --batch)"};
        Sleep(50);
    }
}

// Files are read in the order they were named, each after the one before
// it was closed.
void checkOrder(const FileEvents& events, const std::vector<std::string>& expected) {
    for (std::size_t i = 1; i < events.Opened.size(); ++i)
        if (events.OpenedAt[i] < events.ClosedAt[i - 1])
            throw Fail{nameOf(expected[i]) + " was opened before " + nameOf(expected[i - 1]) +
                       " was closed"};
}

// The full text once every line is counted: the empty first line, then the
// expected lines in order, nothing else but progress dots at the start of a
// line. Returns the number of dots.
std::size_t checkText(const Window& window, const std::vector<std::string>& expected,
                      std::size_t files) {
    std::string wanted = "\r\n";
    for (std::size_t i = 0; i < files; ++i) wanted += expected[i] + "\r\n";
    std::size_t dots = 0;
    const std::string got = testcheck::withoutDots(e2e::windowText(window.Edit), &dots);
    if (got == wanted) return dots;
    std::size_t line = 0, from = 0;
    for (std::size_t at = 0; at < got.size() && at < wanted.size() && got[at] == wanted[at]; ++at)
        if (got[at] == '\n') {
            ++line;
            from = at + 1;
        }
    auto lineAt = [from](const std::string& text) {
        return from >= text.size() ? std::string("(end of text)")
                                   : text.substr(from, text.find('\r', from) - from);
    };
    throw Fail{"the window text (" + std::to_string(got.size()) +
               " characters without progress dots) differs from the expected (" +
               std::to_string(wanted.size()) + ") on line " + std::to_string(line + 1) +
               ":\n  shown:  " + lineAt(got) + "\n  wanted: " + lineAt(wanted)};
}

// WM_CLOSE to the frame, Yes to the quit question, exit code 0.
void closeProgram(const Window& window, e2e::LaunchedProcess& program) {
    if (!program.running()) throw Fail{"the program ended before it was closed"};
    PostMessageA(window.Frame, WM_CLOSE, 0, 0);
    e2e::MessageBoxInfo box;
    if (!e2e::waitForMessageBox(program.pid(), nullptr, WindowPatienceMs, &box))
        throw Fail{"no quit question after WM_CLOSE"};
    if (box.text.find("QUIT Tallywave?") == std::string::npos)
        throw Fail{"unexpected message box: " + box.text};
    e2e::answerBox(box.hwnd, IDYES);
    int32_t code = 12345;
    if (!program.waitExit(WindowPatienceMs, &code)) throw Fail{"the program did not end after Yes"};
    if (code != 0) throw Fail{"exit code " + std::to_string(code) + ", wanted 0"};
}

void writeTrace(const std::string& path, const FileEvents& events,
                const std::vector<double>& perFile) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) throw Fail{"cannot write " + path};
    std::fprintf(out, "file\topen_ms\tclose_ms\tfile_ms\n");
    const double zero = events.Opened[0];
    for (std::size_t i = 0; i < events.Opened.size(); ++i) {
        std::fprintf(out, "%zu\t%.3f\t%.3f\t", i + 1, (events.Opened[i] - zero) * 1e3,
                     (events.Closed[i] - zero) * 1e3);
        if (i < perFile.size())
            std::fprintf(out, "%.3f\n", perFile[i] * 1e3);
        else
            std::fprintf(out, "-\n");
    }
    std::fclose(out);
}

void writeNames(const std::string& path, const std::vector<std::string>& expected,
                std::size_t files) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) throw Fail{"cannot write " + path};
    for (std::size_t i = 0; i < files; ++i) std::fprintf(out, "%s\n", nameOf(expected[i]).c_str());
    if (std::fclose(out) != 0) throw Fail{"cannot write " + path};
}

// One run of the program over the batch, checked and timed.
struct RunS {
    Watch Asked;
    std::size_t Dots = 0;
    int Visible = 0;  // lines of text the window shows at once
    FileEvents Events;
    std::vector<double> PerFile;  // s, from a file's open to the next one's
    double EngineAlone = 0;       // s, the same files by the engine in this process
};

// The engine as silent mode drives it, without a window. Kept off the stack
// (its read block alone is 64 KiB).
struct EngineRunS {
    EngineRunS() : Engine(Params, Quitter) {
        Params.Mode = ModeSilent;
        Params.Height = 50.0;
        Params.Width = 10.0;
        Engine.OutWin = &Window;
    }
    GoodBadListC Params;
    QuitterS Quitter;
    TextWinC Window;
    ValidateC Engine;
};

// ValidateAll over the batch's names in DIR: its time. Its text, progress
// dots aside, must be the expected lines.
double engineAlone(const ArgsS& args, const std::vector<std::string>& expected, std::size_t files,
                   const Timer& timer) {
    if (!SetCurrentDirectoryA(args.Dir.c_str())) throw Fail{"cannot change to " + args.Dir};
    std::unique_ptr<EngineRunS> run(new EngineRunS());
    for (std::size_t i = 0; i < files; ++i)
        if (run->Params.appendNew(GoodBadListC::GOOD, nameOf(expected[i]).c_str()) !=
            static_cast<int>(i + 1))
            throw Fail{"engine alone: cannot put " + nameOf(expected[i]) + " into GOOD"};
    const double start = timer.now();
    const int status = run->Engine.ValidateAll();
    const double seconds = timer.now() - start;
    std::string wanted;
    for (std::size_t i = 0; i < files; ++i) wanted += expected[i] + "\r\n";
    const std::string got = testcheck::withoutDots(run->Window.Text);
    if (status != 0 || got != wanted)
        throw Fail{"engine alone: ValidateAll returned " + std::to_string(status) +
                   " and a text other than the expected lines"};
    return seconds;
}

RunS runBatch(const ArgsS& args, const std::string& command,
              const std::vector<std::string>& expected, std::size_t files, const Timer& timer) {
    RunS run;
    const std::size_t logFrom = args.Opens.empty() ? 0 : fileSize(args.Opens);
    e2e::LaunchedProcess program;
    const double launched = timer.now();
    if (!program.launch(args.Exe, command, args.Dir))
        throw Fail{"cannot start " + args.Exe + " (error " + std::to_string(GetLastError()) + ")"};
    const Window window = findOutputWindow(program, timer);
    const double found = timer.now() - launched;
    run.Asked = watchLines(window, program, files, args, timer);
    run.Asked.FoundAt = found;
    run.Dots = checkText(window, expected, files);
    run.Visible = visibleLines(window);
    closeProgram(window, program);
    if (args.Opens.empty()) return run;
    run.Events = readOpens(args.Opens, logFrom, expected, files);
    checkOrder(run.Events, expected);
    run.PerFile.resize(files - 1);
    for (std::size_t i = 0; i + 1 < files; ++i)
        run.PerFile[i] = run.Events.Opened[i + 1] - run.Events.Opened[i];
    return run;
}

std::string range(std::size_t from, std::size_t to) {
    return std::to_string(from + 1) + "-" + std::to_string(to);
}

// One row of the table: a label and a value per run.
template <typename Value>
void printRow(const std::string& label, const std::vector<RunS>& runs, const char* format,
              Value value) {
    std::printf("  %-42s", label.c_str());
    for (const RunS& run : runs) std::printf(format, value(run));
    std::printf("\n");
}

// The table of the times per file, a column per run.
void printTimes(const std::vector<RunS>& runs, std::size_t files) {
    const std::size_t timed = files - 1;
    const std::size_t block = std::min(Block, timed);
    auto first = [&](const RunS& r) { return mean(r.PerFile, 0, block); };
    auto last = [&](const RunS& r) { return mean(r.PerFile, timed - block, timed); };
    std::printf("\n  %-42s", (std::string(bench::BuildName) + " (Wine)").c_str());
    for (std::size_t i = 0; i < runs.size(); ++i) std::printf(" %8s %zu", "run", i + 1);
    std::printf("\n");
    printRow("files", runs, " %10.0f", [&](const RunS&) { return static_cast<double>(files); });
    printRow("total s (first open to last close)", runs, " %10.3f",
             [&](const RunS& r) { return r.Events.Closed[files - 1] - r.Events.Opened[0]; });
    printRow("ms/file, first " + std::to_string(block), runs, " %10.3f",
             [&](const RunS& r) { return first(r) * 1e3; });
    printRow("ms/file, last " + std::to_string(block), runs, " %10.3f",
             [&](const RunS& r) { return last(r) * 1e3; });
    printRow("last / first", runs, " %9.2fx", [&](const RunS& r) { return last(r) / first(r); });
    printRow("ms/file, median", runs, " %10.3f",
             [&](const RunS& r) { return quantile(r.PerFile, 0.5) * 1e3; });
    printRow("ms/file, 95th percentile", runs, " %10.3f",
             [&](const RunS& r) { return quantile(r.PerFile, 0.95) * 1e3; });
    printRow("ms/file, max", runs, " %10.3f",
             [&](const RunS& r) { return largest(r.PerFile) * 1e3; });
    // Result line k is text line k + 1 after the empty first one, and the
    // caret's empty line follows the last: the text fits while k + 2 lines do.
    const int visible = runs.front().Visible;
    const std::size_t fits = visible > 2 ? static_cast<std::size_t>(visible - 2) : 0;
    if (fits > 0 && fits < timed) {
        printRow("ms/file, files " + range(0, fits) + " (text fits the window)", runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, 0, fits) * 1e3; });
        printRow("ms/file, files " + range(fits, timed) + " (each line scrolls)", runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, fits, timed) * 1e3; });
        printRow("  its trend, ms/file more per 1000 files", runs, " %+10.3f",
                 [&](const RunS& r) { return slope(r.PerFile, fits) * 1e6; });
    }
    for (std::size_t from = 0; from < timed; from += Block) {
        const std::size_t to = std::min(timed, from + Block);
        printRow("ms/file, files " + range(from, to), runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, from, to) * 1e3; });
    }
    printRow("ms/file, engine alone (no window)", runs, " %10.3f",
             [&](const RunS& r) { return r.EngineAlone * 1e3 / static_cast<double>(files); });
    // Growth with the files done: the trend once every line scrolls, over
    // that whole stretch, against its mean. The first 100 files hold the
    // cheaper ones written before the text fills the window, so their ratio
    // to the last 100 also shows that one step.
    const std::size_t from = fits < timed ? fits : 0;
    std::vector<double> ratios, changes, steps;
    for (const RunS& run : runs) {
        ratios.push_back(last(run) / first(run));
        changes.push_back(slope(run.PerFile, from) * static_cast<double>(timed - from) /
                          mean(run.PerFile, from, timed));
        if (from > 0) steps.push_back(mean(run.PerFile, from, timed) / mean(run.PerFile, 0, from));
    }
    const double change = quantile(changes, 0.5);
    std::printf(
        "time per file grows with the files done: %s (files %s: %+.0f%% from the first to the "
        "last by the trend, the median of the runs; YES from %+d%%)\n",
        change >= GrowthPercent / 100.0 ? "YES" : "no", range(from, timed).c_str(), change * 100,
        GrowthPercent);
    if (from > 0)
        std::printf(
            "once the text fills the window (file %zu) the time per file steps up %.2fx, as "
            "every new line then scrolls it; last %zu / first %zu: %.2fx (the medians of the "
            "runs)\n",
            from + 1, quantile(steps, 0.5), block, block, quantile(ratios, 0.5));
    std::printf(
        "(a file's time: from its open to the next file's open, %zu files timed per run; "
        "%d lines of text fit the window)\n",
        timed, visible);
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
        const std::vector<std::string> expected = readExpected(args.Dir + "\\results.txt");
        std::size_t lineLength = 0;
        const std::size_t files = namesThatFit(args.Exe, expected, lineLength);
        if (files < 2) throw Fail{"fewer than two names fit the invocation line"};
        std::string command = Params;
        for (std::size_t i = 0; i < files; ++i) command += " " + nameOf(expected[i]);
        std::printf(
            "batchbench: tallywave.exe %s %s ... %s: %zu files, the invocation line %zu "
            "of %d characters; %d runs\n",
            Params, nameOf(expected[0]).c_str(), nameOf(expected[files - 1]).c_str(), files,
            lineLength, int(BatchLineMax), args.Repeat);
        std::fflush(stdout);
        if (!args.Names.empty()) writeNames(args.Names, expected, files);

        std::vector<RunS> runs;
        for (int i = 0; i < args.Repeat; ++i) {
            runs.push_back(runBatch(args, command, expected, files, timer));
            const RunS& run = runs.back();
            const std::string poll =
                args.PollMs == 0 ? "without pause" : "every " + std::to_string(args.PollMs) + " ms";
            std::printf(
                "run %d: checked: the window shows the empty first line and the %zu "
                "expected lines in order (and %zu progress dots); WM_CLOSE, Yes to the "
                "quit question, exit code 0\n",
                i + 1, files, run.Dots);
            std::printf(
                "run %d: window found %.3f s after the launch; EM_GETLINECOUNT asked %s: "
                "%zu asks, %zu different counts; the longest ask waited %.3f s for its "
                "answer and found %zu new result lines (clock %.0f ns)\n",
                i + 1, run.Asked.FoundAt, poll.c_str(), run.Asked.Asks, run.Asked.Counts,
                run.Asked.Slowest, run.Asked.SlowestFound, timer.resolution() * 1e9);
            if (!args.Opens.empty()) {
                const auto fewest =
                    std::min_element(run.Events.Opens.begin(), run.Events.Opens.end());
                const auto most =
                    std::max_element(run.Events.Opens.begin(), run.Events.Opens.end());
                const std::string opens =
                    *fewest == *most ? std::to_string(*most)
                                     : std::to_string(*fewest) + " to " + std::to_string(*most);
                std::printf(
                    "run %d: openwatch (inotify) saw %zu opens and closes of these files, "
                    "in order, each file opened %s time(s); %zu events were read together "
                    "with the one before\n",
                    i + 1, run.Events.Events, opens.c_str(), run.Events.Shared);
            }
            std::fflush(stdout);
        }
        if (args.Opens.empty()) {
            std::printf("no time per file without --opens (openwatch's log; bench/run --batch)\n");
            return 0;
        }
        // After all runs, so that these opens are not taken for the program's.
        for (RunS& run : runs) run.EngineAlone = engineAlone(args, expected, files, timer);
        if (!args.Trace.empty()) writeTrace(args.Trace, runs.back().Events, runs.back().PerFile);
        printTimes(runs, files);
        std::fflush(stdout);
        if (!args.Rows.empty()) {
            auto total = [files](const RunS& r) {
                return r.Events.Closed[files - 1] - r.Events.Opened[0];
            };
            const RunS& fastest = *std::min_element(
                runs.begin(), runs.end(),
                [&](const RunS& a, const RunS& b) { return total(a) < total(b); });
            bench::writeRow(args.Rows.c_str(),
                            {"silent", bench::BuildName, std::to_string(files), "ms/file",
                             total(fastest), quantile(fastest.PerFile, 0.5) * 1e3});
        }
    } catch (const Fail& fail) {
        std::fflush(stdout);
        std::fprintf(stderr, "batchbench: FAILED: %s\n", fail.what.c_str());
        return 1;
    } catch (const bench::Fail& fail) {
        std::fflush(stdout);
        std::fprintf(stderr, "batchbench: FAILED: %s\n", fail.what.c_str());
        return 1;
    }
    return 0;
}
