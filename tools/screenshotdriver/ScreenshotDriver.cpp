// tools/screenshots' hands on tallywave.exe: a Win32 console program run
// under Wine. It starts tallywave.exe (found beside this program) in graphic
// mode and, as a user would with the mouse, saves three pictures:
//   1. the main window (banner, fields and buttons) as it comes up;
//   2. the output window after Select has chosen the given files and Count
//      has counted them, once the summary is there;
//   3. the Overview topic chosen from the Help menu.
// Then it closes the program answering the quit question Yes and returns the
// program's exit code. Anything that goes wrong is said on stderr and ends it
// with 1.
//
// Usage: screenshotdriver WORKDIR MAIN.bmp OUTPUT.bmp HELP.bmp fname1 [fname2 ...]
//   WORKDIR  the folder tallywave.exe runs in; the file dialog opens there,
//            so the names are relative to it
//   *.bmp    where the pictures go (24-bit .bmp)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver/WinDriver.h"

namespace {

const char WindowClass[] = "TallywaveWindow";
const char DialogClass[] = "DialogBoxC";
const char BoxClass[] = "#32770";
const char MenuClass[] = "#32768";
const char StartLine[] = "Tallywave output messages will appear here.";
// The last words of the summary Count writes.
const char SummaryEnd[] = "before closing this window.";
const char FileDialogCaption[] = "Select the Input File(s) to Count";
const char OverviewCaption[] = "1 Tallywave Overview Help";
const char QuitQuestion[] = "QUIT Tallywave?";

// The dialog's controls.
const int HeightField = 260, SelectButton = 273, CountButton = 276, HelpButton = 272;
// The file dialog's file-name field: a combo box (the edit is inside it) or an edit.
const int FileNameCombo = 0x47C, FileNameEdit = 0x480;

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

// What the program's message boxes say, for a run that went wrong.
std::string messageBoxes(DWORD pid) {
    std::string said;
    for (HWND box : e2e::topWindows(pid, BoxClass)) {
        said += "\n  box \"" + e2e::windowText(box) + "\": " + e2e::childText(box, 0xFFFF);
    }
    return said;
}

// The top-level window of that class holding a child of childClass, or none.
HWND frameWithChild(DWORD pid, const char* childClass) {
    for (HWND frame : e2e::topWindows(pid, WindowClass))
        if (FindWindowExA(frame, nullptr, childClass, nullptr)) return frame;
    return nullptr;
}

// The output window's edit control: inside the client of the frame.
HWND outputEdit(HWND frame) {
    HWND client = FindWindowExA(frame, nullptr, WindowClass, nullptr);
    return client ? FindWindowExA(client, nullptr, "Edit", nullptr) : nullptr;
}

bool isGone(HWND window) {
    return !IsWindow(window) || !IsWindowVisible(window);
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

BOOL CALLBACK describeChild(HWND child, LPARAM param) {
    auto* said = reinterpret_cast<std::string*>(param);
    *said += "\n  " + className(child) + " id " + std::to_string(GetDlgCtrlID(child)) + " \"" +
             e2e::windowText(child) + "\"";
    return TRUE;
}

// The controls of a window, one a line, for a run that went wrong.
std::string children(HWND window) {
    std::string said;
    EnumChildWindows(window, describeChild, reinterpret_cast<LPARAM>(&said));
    return said;
}

BOOL CALLBACK findEdit(HWND child, LPARAM param) {
    if (className(child) != "Edit") return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

// The file-name field of the file dialog, where names are typed: an edit
// control, or one inside a combo box (Wine's is nested two deep).
HWND fileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, FileNameCombo);
    if (field && className(field) != "Edit") {
        HWND edit = nullptr;
        EnumChildWindows(field, findEdit, reinterpret_cast<LPARAM>(&edit));
        field = edit;
    }
    if (!field) field = GetDlgItem(dialog, FileNameEdit);
    return field;
}

// Chooses the names through Select: types them quoted into the file dialog
// and presses Open. Empty when that worked, else what went wrong.
std::string selectFiles(DWORD pid, HWND dialog, const std::vector<std::string>& names) {
    e2e::clickControl(dialog, SelectButton);
    HWND fileDialog = e2e::waitForWindow(pid, BoxClass, FileDialogCaption, StepPatience);
    if (!fileDialog) return "Select showed no file dialog" + messageBoxes(pid);
    HWND field = nullptr;
    e2e::waitUntil([&] { return (field = fileNameField(fileDialog)) != nullptr; }, StepPatience);
    if (!field) return "the file dialog has no file-name field; it holds:" + children(fileDialog);
    std::string typed;
    for (const std::string& name : names) typed += (typed.empty() ? "\"" : " \"") + name + "\"";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()),
                        SMTO_ABORTIFHUNG, 1000, &ignored);
    if (e2e::windowText(field) != typed) return "could not type the names into the file dialog";
    e2e::answerBox(fileDialog, IDOK);
    if (!e2e::waitUntil([&] { return isGone(fileDialog); }, StepPatience))
        return "the file dialog stayed open after Open" + messageBoxes(pid);
    return "";
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
    e2e::clickControl(dialog, HelpButton);
    std::vector<HWND> menus;
    if (!e2e::waitUntil([&] { return !(menus = e2e::topWindows(pid, MenuClass)).empty(); },
                        StepPatience))
        return "Help showed no menu; the windows are:" + topWindowList(pid);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) e2e::pressKey(menus.front(), key);
    *topic = e2e::waitForWindow(pid, WindowClass, OverviewCaption, StepPatience);
    if (!*topic)
        return "the Help menu did not open the Overview topic; the windows are:" +
               topWindowList(pid);
    return "";
}

// Closes the program as a user would and answers the quit question Yes.
// Empty when the program ended, else what went wrong.
std::string quit(e2e::LaunchedProcess& run, HWND frame, int32_t* code) {
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    e2e::MessageBoxInfo box;
    if (!e2e::waitForMessageBox(run.pid(), nullptr, StepPatience, &box))
        return "closing the main window asked no quit question";
    if (box.text.find(QuitQuestion) == std::string::npos)
        return "closing the main window showed \"" + box.text + "\", not the quit question";
    e2e::answerBox(box.hwnd, IDYES);
    if (!run.waitExit(StepPatience, code))
        return "tallywave.exe did not end after Yes to the quit question";
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        return fail("usage: screenshotdriver WORKDIR MAIN.bmp OUTPUT.bmp HELP.bmp fname1 [...]");
    }
    const std::string workDir = argv[1];
    const std::string mainShot = argv[2], outputShot = argv[3], helpShot = argv[4];
    const std::vector<std::string> names(argv + 5, argv + argc);

    const std::string program = e2e::exeDir() + "\\tallywave.exe";
    e2e::LaunchedProcess run;  // killed when this ends while it still runs
    if (!run.launch(program, "", workDir)) {
        return fail("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    const DWORD pid = run.pid();

    // Up when the dialog shows its parameters and the output window its first line.
    HWND mainFrame = nullptr, outputFrame = nullptr, dialog = nullptr, edit = nullptr;
    const bool up = e2e::waitUntil(
        [&] {
            mainFrame = frameWithChild(pid, DialogClass);
            outputFrame = frameWithChild(pid, WindowClass);
            dialog = mainFrame ? FindWindowExA(mainFrame, nullptr, DialogClass, nullptr) : nullptr;
            edit = outputFrame ? outputEdit(outputFrame) : nullptr;
            return dialog && edit && !e2e::childText(dialog, HeightField).empty() &&
                   e2e::windowText(edit).find(StartLine) == 0;
        },
        WindowPatience);
    if (!up) {
        int32_t code = 0;
        if (run.waitExit(0, &code))
            return fail("tallywave.exe ended before its windows were up, exit code " +
                        std::to_string(code));
        return fail("the main and output windows were not up after " +
                    std::to_string(WindowPatience / 1000) + " s" + messageBoxes(pid));
    }

    if (!saveWindowShot(mainFrame, mainShot)) return fail("could not save " + mainShot);

    const std::string selected = selectFiles(pid, dialog, names);
    if (!selected.empty()) return fail(selected);

    e2e::clickControl(dialog, CountButton);
    std::string text;
    if (!e2e::waitUntil(
            [&] { return (text = e2e::windowText(edit)).find(SummaryEnd) != std::string::npos; },
            RunPatience)) {
        return fail("the output window had no summary after " + std::to_string(RunPatience / 1000) +
                    " s; it holds:\n" + text + messageBoxes(pid));
    }
    if (!saveWindowShot(outputFrame, outputShot)) return fail("could not save " + outputShot);

    HWND overview = nullptr;
    const std::string opened = openOverview(pid, dialog, &overview);
    if (!opened.empty()) return fail(opened);
    if (!saveWindowShot(overview, helpShot)) return fail("could not save " + helpShot);

    int32_t code = 0;
    const std::string quitted = quit(run, mainFrame, &code);
    if (!quitted.empty()) return fail(quitted);
    if (code != 0)
        std::fprintf(stderr, "screenshotdriver: tallywave.exe ended with exit code %d\n",
                     static_cast<int>(code));
    return code;
}
