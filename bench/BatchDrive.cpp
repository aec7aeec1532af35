#include "bench/BatchDrive.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "bench/BenchCommon.h"
#include "tests/common/ProgressDots.h"
#include "windriver/OutputWindow.h"
#include "windriver/WinDriver.h"

namespace batch {
namespace {

using bench::Fail;

const DWORD WindowPatienceMs = 30000;  // start-up, quit question, exit

struct WindowS {
    HWND Frame = nullptr;
    HWND Edit = nullptr;
};

// Finds the output window and its edit control, looking without pause so
// that as little of the run as possible passes before the first ask. The
// caption is read with GetWindowTextA, which needs no answer from the
// program.
WindowS findOutputWindow(e2e::LaunchedProcess& program, const Timer& timer) {
    const double deadline = timer.now() + WindowPatienceMs / 1000.0;
    while (timer.now() < deadline) {
        if (!program.running()) throw Fail{"the program ended before showing its output window"};
        for (HWND frame : e2e::topWindows(program.pid(), OurWindowClass)) {
            char caption[64] = "";
            GetWindowTextA(frame, caption, sizeof caption);
            if (std::strcmp(caption, names::OutputCaption) != 0) continue;
            if (HWND edit = e2e::outputEdit(frame)) return WindowS{frame, edit};
        }
        Sleep(0);
    }
    throw Fail{"no output window within " + std::to_string(WindowPatienceMs / 1000) + " s"};
}

// Asks the edit control for its line count until every file's line is
// there, the program ends or an ask is not answered within the timeout.
WatchS watchLines(const WindowS& window, e2e::LaunchedProcess& program, std::size_t files,
                  const ArgsS& args, const Timer& timer) {
    WatchS watch;
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
int visibleLines(const WindowS& window) {
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

// The full text once every line is counted: the empty first line, then the
// expected lines in order, nothing else but progress dots at the start of a
// line. Returns the number of dots.
std::size_t checkText(const WindowS& window, const BatchS& batch) {
    std::string wanted = "\r\n";
    for (const std::string& line : batch.Expected) wanted += line + "\r\n";
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

// The close box, Yes to the quit question, exit code 0.
void closeProgram(const WindowS& window, e2e::LaunchedProcess& program) {
    if (!program.running()) throw Fail{"the program ended before it was closed"};
    const std::string answered =
        e2e::closeAnswering(program.pid(), window.Frame, IDYES, WindowPatienceMs);
    if (!answered.empty()) throw Fail{"closing the output window: " + answered};
    int32_t code = 12345;
    if (!program.waitExit(WindowPatienceMs, &code)) throw Fail{"the program did not end after Yes"};
    if (code != 0) throw Fail{"exit code " + std::to_string(code) + ", wanted 0"};
}

}  // namespace

ProgramRunS runProgram(const ArgsS& args, const BatchS& batch, const Timer& timer) {
    ProgramRunS run;
    e2e::LaunchedProcess program;
    const double launched = timer.now();
    if (!program.launch(args.Exe, batch.Command, args.Dir))
        throw Fail{"cannot start " + args.Exe + " (error " + std::to_string(GetLastError()) + ")"};
    const WindowS window = findOutputWindow(program, timer);
    const double found = timer.now() - launched;
    run.Asked = watchLines(window, program, batch.files(), args, timer);
    run.Asked.FoundAt = found;
    run.Dots = checkText(window, batch);
    run.Visible = visibleLines(window);
    closeProgram(window, program);
    return run;
}

}  // namespace batch
