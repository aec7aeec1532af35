// tools/screenshots' hands on tallywave.exe: a Win32 console program run
// under Wine. It starts tallywave.exe (found beside this program) in graphic
// mode and, as a user would with the mouse, saves three pictures:
//   1. the main window (banner, fields and buttons) as it comes up;
//   2. the output window after Select has chosen the given files and Count
//      has counted them, once the summary is there;
//   3. the Overview topic chosen from the Help menu.
// Then it closes the program answering the quit question Yes. Last it runs
// tallywave.exe in silent mode over the same files, saves the results as a
// table with Ctrl+S through the Save As dialog, beside TABLE.bmp with the
// extension .csv, and saves a fourth picture:
//   4. the table opened as text, in the text editor that comes with the
//      system (notepad.exe).
// It returns the graphic run's exit code. Anything that goes wrong is said on
// stderr and ends it with 1.
//
// Usage: screenshotdriver WORKDIR MAIN.bmp OUTPUT.bmp HELP.bmp TABLE.bmp fname1 [fname2 ...]
//   WORKDIR  the folder tallywave.exe runs in; the file dialog opens there,
//            so the names are relative to it
//   *.bmp    where the pictures go (24-bit .bmp)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "windriver/GraphicWindows.h"
#include "windriver/SaveDialog.h"

namespace {

// The last words of the summary Count writes.
const char SummaryEnd[] = "before closing this window.";

const DWORD WindowPatience = 20000;  // start-up under a cold Wine takes seconds
const DWORD StepPatience = 20000;
const DWORD RunPatience = 60000;      // for the count of all files
const DWORD ActivatePatience = 2000;  // a picture with an inactive caption beats none
const int DriverFailed = 1;

int fail(const std::string& why) {
    std::fprintf(stderr, "screenshotdriver: %s\n", why.c_str());
    return DriverFailed;
}

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Returns once the thread of window answers again, that is has handled what
// was sent to it before (or after a second when it does not answer).
void settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
}

// Moves window, without resizing it, so that it lies whole on the screen
// when part of it is off the bottom or right edge (a shot holds only what
// the screen shows).
void keepOnScreen(HWND window) {
    RECT place;
    if (!GetWindowRect(window, &place)) return;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int left = place.left, top = place.top;
    if (place.right > screenW) left = screenW - (place.right - place.left);
    if (place.bottom > screenH) top = screenH - (place.bottom - place.top);
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left == place.left && top == place.top) return;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    settle(window);
}

// Whether window is the foreground window and its own thread has taken the
// activation in: the foreground changes at once, the thread's active window
// only once the thread has handled the activation.
bool isActive(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == window &&
           GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
           info.hwndActive == window;
}

// Saves what the screen shows of window, frame and caption included. The
// window is first brought whole onto the screen, to the top and made the
// active one (asked again until that holds, as the program may activate
// another of its windows meanwhile) and told to draw its caption so: under
// Wine a frame that stayed active while the program's other thread showed
// its window may still show an inactive caption. Then it is repainted whole,
// so the picture shows it and nothing that lay over it.
bool saveWindowShot(HWND window, const std::string& bmpPath) {
    keepOnScreen(window);
    const bool active = e2e::waitUntil(
        [&] {
            if (isActive(window)) return true;
            SetForegroundWindow(window);
            return false;
        },
        ActivatePatience);
    if (!active)
        std::fprintf(stderr, "screenshotdriver: note: \"%s\" is shot with an inactive caption\n",
                     e2e::windowText(window).c_str());
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NCACTIVATE, active, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    settle(window);
    return e2e::saveScreenshot(bmpPath, window);
}

// Captions of the program's visible top-level windows, for a run that went wrong.
std::string topWindowList(DWORD pid) {
    std::string said;
    for (HWND window : e2e::topWindows(pid, nullptr))
        said += "\n  " + className(window) + " \"" + e2e::windowText(window) + "\"";
    return said;
}

// Opens the Overview topic from the Help menu: the item below its grayed
// title, which the arrow keys stop at too, so two Downs then Enter. Empty
// when *topic got the topic's window, else what went wrong.
std::string openOverview(DWORD pid, HWND dialog, HWND* topic) {
    e2e::clickControl(dialog, IDC_HELP_BUTTON);
    std::vector<HWND> menus;
    if (!e2e::waitUntil([&] { return !(menus = e2e::topWindows(pid, e2e::MenuClass)).empty(); },
                        StepPatience))
        return "Help showed no menu; the windows are:" + topWindowList(pid);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) e2e::pressKey(menus.front(), key);
    *topic = e2e::waitForWindow(pid, OurWindowClass, names::HelpTopicCaptions[0], StepPatience);
    if (!*topic)
        return "the Help menu did not open the Overview topic; the windows are:" +
               topWindowList(pid);
    return "";
}

// Closes the program as a user would and answers the quit question Yes.
// Empty when the program ended, else what went wrong.
std::string quit(e2e::LaunchedProcess& run, HWND frame, int32_t* code) {
    const std::string answered = e2e::closeAnswering(run.pid(), frame, IDYES, StepPatience);
    if (!answered.empty()) return "closing the window: " + answered;
    if (!run.waitExit(StepPatience, code))
        return "tallywave.exe did not end after Yes to the quit question";
    return "";
}

// The place and size of the editor's window: the widest row of the samples'
// table (110 characters) fits, as do its seven lines.
const int EditorLeft = 10, EditorTop = 10, EditorWidth = 860, EditorHeight = 190;

// A silent run over names in workDir; its results saved with Ctrl+S as the
// table csv (a full path); the run then closed answering Yes. Empty when
// the table is there, else what went wrong.
std::string saveTable(const std::string& program, const std::string& workDir,
                      const std::vector<std::string>& names, const std::string& csv) {
    std::string args = "-s 50 10";
    for (const std::string& name : names) args += " " + name;
    e2e::LaunchedProcess run;
    if (!run.launch(program, args, workDir)) return "cannot start a silent run of " + program;
    HWND frame = e2e::waitForOutputWindow(run.pid(), WindowPatience);
    HWND edit = frame ? e2e::outputEdit(frame) : nullptr;
    if (!edit) return "the silent run showed no output window" + e2e::boxesShown(run.pid());
    const auto lines = [&] {
        const std::string text = e2e::windowText(edit);
        std::size_t count = 0;
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
            ++count;
        return count;
    };
    if (!e2e::waitUntil([&] { return lines() == names.size() + 1; }, RunPatience))
        return "the silent run did not write a line per file" + e2e::boxesShown(run.pid());
    const std::string saved = e2e::saveResultsAs(run.pid(), frame, false, csv, StepPatience);
    if (!saved.empty()) return "saving the table: " + saved + e2e::boxesShown(run.pid());
    if (!e2e::waitUntil([&] { return GetFileAttributesA(csv.c_str()) != INVALID_FILE_ATTRIBUTES; },
                        StepPatience))
        return "no table was saved as " + csv + e2e::boxesShown(run.pid());
    int32_t code = 0;
    const std::string quitted = quit(run, frame, &code);
    if (!quitted.empty()) return "the silent run: " + quitted;
    return code == 0 ? "" : "the silent run ended with exit code " + std::to_string(code);
}

// Opens csv in the system's text editor and saves its window as bmpPath.
// Empty when saved, else what went wrong.
std::string saveTextShot(const std::string& csv, const std::string& bmpPath) {
    char windowsDir[MAX_PATH] = "";
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    const std::string editor = std::string(windowsDir) + "\\notepad.exe";
    e2e::LaunchedProcess run;  // killed when this ends while it still runs
    if (!run.launch(editor, "\"" + csv + "\"")) return "cannot start " + editor;
    HWND window = e2e::waitForWindow(run.pid(), nullptr, nullptr, WindowPatience);
    if (!window) return editor + " showed no window";
    SetWindowPos(window, nullptr, EditorLeft, EditorTop, EditorWidth, EditorHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    settle(window);
    if (!saveWindowShot(window, bmpPath)) return "could not save " + bmpPath;
    PostMessageA(window, WM_CLOSE, 0, 0);
    int32_t code = 0;
    run.waitExit(StepPatience, &code);
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        return fail(
            "usage: screenshotdriver WORKDIR MAIN.bmp OUTPUT.bmp HELP.bmp TABLE.bmp fname1 [...]");
    }
    const std::string workDir = argv[1];
    const std::string mainShot = argv[2], outputShot = argv[3], helpShot = argv[4];
    const std::string tableShot = argv[5];
    const std::vector<std::string> names(argv + 6, argv + argc);

    const std::string program = e2e::exeDir() + "\\tallywave.exe";
    e2e::LaunchedProcess run;  // killed when this ends while it still runs
    if (!run.launch(program, "", workDir)) {
        return fail("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    const DWORD pid = run.pid();

    // Up when the dialog shows its parameters and the output window its first line.
    e2e::GraphicWindows windows;
    HWND edit = nullptr;
    const bool up = e2e::waitForGraphicWindows(pid, WindowPatience, &windows) &&
                    e2e::waitUntil(
                        [&] {
                            edit = e2e::outputEdit(windows.Output);
                            return edit &&
                                   !e2e::childText(windows.Dialog, IDC_HEIGHT_FIELD).empty() &&
                                   e2e::windowText(edit) == e2e::StartLine;
                        },
                        WindowPatience);
    if (!up) {
        int32_t code = 0;
        if (run.waitExit(0, &code))
            return fail("tallywave.exe ended before its windows were up, exit code " +
                        std::to_string(code));
        return fail("the main and output windows were not up after " +
                    std::to_string(WindowPatience / 1000) + " s" + e2e::boxesShown(pid));
    }

    if (!saveWindowShot(windows.Main, mainShot)) return fail("could not save " + mainShot);

    std::string typed;
    for (const std::string& name : names) typed += (typed.empty() ? "\"" : " \"") + name + "\"";
    const std::string selected =
        e2e::selectFiles(pid, windows.Dialog, workDir, typed, StepPatience);
    if (!selected.empty()) return fail("selecting the files: " + selected + e2e::boxesShown(pid));

    e2e::clickControl(windows.Dialog, IDC_COUNT_BUTTON);
    std::string text;
    if (!e2e::waitUntil(
            [&] { return (text = e2e::windowText(edit)).find(SummaryEnd) != std::string::npos; },
            RunPatience)) {
        return fail("the output window had no summary after " + std::to_string(RunPatience / 1000) +
                    " s; it holds:\n" + text + e2e::boxesShown(pid));
    }
    if (!saveWindowShot(windows.Output, outputShot)) return fail("could not save " + outputShot);

    HWND overview = nullptr;
    const std::string opened = openOverview(pid, windows.Dialog, &overview);
    if (!opened.empty()) return fail(opened);
    if (!saveWindowShot(overview, helpShot)) return fail("could not save " + helpShot);

    int32_t code = 0;
    const std::string quitted = quit(run, windows.Main, &code);
    if (!quitted.empty()) return fail(quitted);
    if (code != 0) {
        std::fprintf(stderr, "screenshotdriver: tallywave.exe ended with exit code %d\n",
                     static_cast<int>(code));
        return code;
    }

    std::string csv = tableShot.substr(0, tableShot.rfind('.')) + ".csv";
    for (char& c : csv)
        if (c == '/') c = '\\';  // the Save As dialog takes backslashes only
    const std::string table = saveTable(program, workDir, names, csv);
    if (!table.empty()) return fail(table);
    const std::string shot = saveTextShot(csv, tableShot);
    if (!shot.empty()) return fail(shot);
    return 0;
}
