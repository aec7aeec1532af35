// editprobe: what appending one result line to the output window's edit
// control costs, step by step, as its text grows. It builds a window like
// the silent run's (a 645 x 524 frame at 10, 200, a 640 x 500 multi-line edit
// control with both scroll bars, Courier New 14 x 9) and appends LINES lines
// of result length the way the program's output window does, without
// retrieving messages in between (the program writes a whole batch in one
// pass):
//
//   GetWindowTextLengthA, EM_GETLIMITTEXT (EM_SETLIMITTEXT when the text
//   would not fit), EM_SETSEL to the end, EM_REPLACESEL, EM_SETMODIFY, and
//   UpdateWindow at most every 100 ms.
//
//   editprobe [--lines N] [--work-us N] [--hidden] [--no-scrollbars] [--no-redraw]
//             [--every MS] [--trace FILE]
//
// --work-us spins N microseconds before each line, standing in for the
// engine's work on one file (about 350 on the batch benchmark's files), so
// that a run of lines lasts as long as a batch would.
//
// The variants show where the time goes and what would save it:
// --hidden leaves the frame hidden (nothing is drawn); --no-scrollbars
// leaves out WS_HSCROLL and WS_VSCROLL (the control still scrolls its text);
// --no-redraw turns the control's drawing off (WM_SETREDRAW) for the whole
// run and draws once at the end; --every MS keeps the lines and appends
// what has gathered at most every MS milliseconds, and at the end. Prints,
// per block of lines, the mean time of each step; --trace writes one row per
// line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/QpcTimer.h"

namespace {

enum Step { Length, Limit, Select, Replace, Modify, Paint, Steps };
const char* const StepNames[Steps] = {"textlen",    "limit",     "setsel",
                                      "replacesel", "setmodify", "paint"};

LRESULT CALLBACK frameProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, msg, wParam, lParam);
}

// Processor time this process used so far (user and kernel), s.
double cpuSeconds() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

// Lets the window appear and settle before anything is timed.
void pump(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: editprobe [--lines N] [--work-us N] [--hidden] [--no-scrollbars] "
                 "[--no-redraw] [--every MS] [--trace FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int lines = 1000;
    bool hidden = false, scrollbars = true, redraw = true;
    int everyMs = 0, workUs = 0;
    const char* tracePath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) {
            lines = std::atoi(argv[++i]);
            if (lines < 1) return usage();
        } else if (std::strcmp(argv[i], "--work-us") == 0 && i + 1 < argc) {
            workUs = std::atoi(argv[++i]);
            if (workUs < 0) return usage();
        } else if (std::strcmp(argv[i], "--hidden") == 0) {
            hidden = true;
        } else if (std::strcmp(argv[i], "--no-scrollbars") == 0) {
            scrollbars = false;
        } else if (std::strcmp(argv[i], "--no-redraw") == 0) {
            redraw = false;
        } else if (std::strcmp(argv[i], "--every") == 0 && i + 1 < argc) {
            everyMs = std::atoi(argv[++i]);
            if (everyMs < 1) return usage();
        } else if (std::strcmp(argv[i], "--trace") == 0 && i + 1 < argc) {
            tracePath = argv[++i];
        } else {
            return usage();
        }
    }

    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = frameProc;
    frameClass.hInstance = module;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = "EditProbeFrame";
    RegisterClassA(&frameClass);
    HWND frame =
        CreateWindowA("EditProbeFrame", " editprobe", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 10,
                      200, 645, 524, nullptr, nullptr, module, nullptr);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL |
                  ES_AUTOVSCROLL;
    if (scrollbars) style |= WS_HSCROLL | WS_VSCROLL;
    HWND edit = CreateWindowA("EDIT", "", style, 0, 0, 640, 500, frame, nullptr, module, nullptr);
    HFONT font = CreateFontA(14, 9, 0, 0, 500, FALSE, FALSE, FALSE, 1, 0, 0, 0, 0, "Courier New");
    if (frame == nullptr || edit == nullptr || font == nullptr) {
        std::fprintf(stderr, "editprobe: cannot create the window\n");
        return 1;
    }
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (!hidden) ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    pump(500);

    const Timer timer;
    const double cpuStart = cpuSeconds(), wallStart = timer.now();
    std::vector<double> cost(static_cast<std::size_t>(lines) * Steps, 0.0);
    double lastPaint = -1, lastAppend = -1;
    std::string pending;
    char line[128];
    if (!redraw) SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
    for (int k = 0; k < lines; ++k) {
        std::snprintf(line, sizeof line,
                      "f%04d.txt : 0.45 s (449.8 ms) | %d spikes => %d.%d/sec.\r\n", k + 1, k % 7,
                      k % 13, k % 10);
        pending += line;
        double* at = &cost[static_cast<std::size_t>(k) * Steps];
        for (const double until = timer.now() + workUs * 1e-6; timer.now() < until;) {
        }
        double t0 = timer.now();
        if (everyMs > 0 && k + 1 < lines && lastAppend >= 0 && (t0 - lastAppend) * 1e3 < everyMs)
            continue;
        lastAppend = t0;
        const std::size_t shown = static_cast<std::size_t>(GetWindowTextLengthA(edit));
        double t1 = timer.now();
        at[Length] = t1 - t0;
        const std::size_t limit =
            static_cast<std::size_t>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
        if (shown + pending.size() > limit)
            SendMessageA(edit, EM_SETLIMITTEXT, 2 * (shown + pending.size()), 0);
        t0 = timer.now();
        at[Limit] = t0 - t1;
        SendMessageA(edit, EM_SETSEL, shown, shown);
        t1 = timer.now();
        at[Select] = t1 - t0;
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pending.c_str()));
        pending.clear();
        t0 = timer.now();
        at[Replace] = t0 - t1;
        SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
        t1 = timer.now();
        at[Modify] = t1 - t0;
        if (lastPaint < 0 || t1 - lastPaint >= 0.1) {
            lastPaint = t1;
            UpdateWindow(edit);
        }
        at[Paint] = timer.now() - t1;
    }
    double finalDraw = 0;
    if (!redraw) {
        const double t0 = timer.now();
        SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(edit, nullptr, TRUE);
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        UpdateWindow(edit);
        finalDraw = timer.now() - t0;
    }
    const double cpu = cpuSeconds() - cpuStart, wall = timer.now() - wallStart;
    const int count = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));

    std::printf(
        "editprobe: %d lines appended (%d in the control), %d us of work per line, frame "
        "%s, scroll bars %s, drawing %s, appended %s\n",
        lines, count - 1, workUs, hidden ? "hidden" : "shown", scrollbars ? "on" : "off",
        redraw ? "on" : "off at the end only",
        everyMs > 0 ? ("every " + std::to_string(everyMs) + " ms").c_str() : "line by line");
    std::printf("%-12s", "lines");
    for (const char* name : StepNames) std::printf(" %11s", name);
    std::printf(" %11s\n", "ms/line");
    auto block = [&](int from, int to) {
        char label[32];
        std::snprintf(label, sizeof label, "%d-%d", from + 1, to);
        std::printf("%-12s", label);
        double all = 0;
        for (int s = 0; s < Steps; ++s) {
            double sum = 0;
            for (int k = from; k < to; ++k) sum += cost[static_cast<std::size_t>(k) * Steps + s];
            all += sum;
            std::printf(" %11.3f", sum * 1e3 / (to - from));
        }
        std::printf(" %11.3f\n", all * 1e3 / (to - from));
    };
    block(0, std::min(lines, 30));
    if (lines > 30) block(30, std::min(lines, 100));
    for (int from = 100; from < lines; from += 100) block(from, std::min(lines, from + 100));
    std::printf("(ms per line, mean of each step, the work aside)\n");
    if (!redraw) std::printf("drawing at the end: %.3f ms\n", finalDraw * 1e3);
    std::printf(
        "all lines: %.3f s, %.3f ms per line with the work; this process used the "
        "processor for %.3f s\n",
        wall, wall * 1e3 / lines, cpu);

    if (tracePath != nullptr) {
        std::FILE* trace = std::fopen(tracePath, "w");
        if (trace == nullptr) {
            std::fprintf(stderr, "editprobe: cannot write %s\n", tracePath);
            return 1;
        }
        std::fprintf(trace, "line");
        for (const char* name : StepNames) std::fprintf(trace, "\t%s", name);
        std::fprintf(trace, "\n");
        for (int k = 0; k < lines; ++k) {
            std::fprintf(trace, "%d", k + 1);
            for (int s = 0; s < Steps; ++s)
                std::fprintf(trace, "\t%.4f", cost[static_cast<std::size_t>(k) * Steps + s] * 1e3);
            std::fprintf(trace, "\n");
        }
        std::fclose(trace);
    }
    DestroyWindow(frame);
    DeleteObject(font);
    return 0;
}
