// Drives the real program from another program on the same Wine desktop (the
// end-to-end tests, the demo and screenshot drivers, the batch benchmark):
// starts it, finds its windows, reads their text, answers message boxes,
// types keys and takes screenshots. Everything goes through window
// messages, so it works across processes and needs nothing inside the program.
// Waits poll every kPollIntervalMs until their condition holds or time is up.
// Every call answers with what it found or did (a window, a text, true or
// false, or what went wrong); none reports to a test framework, so tools and
// tests share it alike.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kPollIntervalMs = 20;

// The system's classes of a dialog (a message box, the file dialogs) and of
// a pop-up menu, and the id of the static that holds a message box's text.
constexpr char SystemDialogClass[] = "#32770";
constexpr char MenuClass[] = "#32768";
constexpr int MessageBoxTextId = 0xFFFF;

// Polls condition until it returns true (then true) or timeoutMs passes (then false).
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// One child process started with CreateProcessA, owned by this object: the
// destructor kills it if it still runs.
class LaunchedProcess {
  public:
    LaunchedProcess() = default;
    LaunchedProcess(const LaunchedProcess&) = delete;
    LaunchedProcess& operator=(const LaunchedProcess&) = delete;
    ~LaunchedProcess();

    // Runs `"exePath" args` in workDir (empty: the current folder), killing any
    // process this object owned before. exePath is a full path with ".exe"
    // (PATH is not searched). False when CreateProcessA failed; its reason is
    // then in GetLastError().
    bool launch(const std::string& exePath, const std::string& args,
                const std::string& workDir = "");
    DWORD pid() const { return info_.dwProcessId; }
    bool running() const;
    // True when the process ended within timeoutMs; *exitCode then gets the
    // value the program passed to exit(), signed (exit(-2) reads -2).
    bool waitExit(DWORD timeoutMs, int32_t* exitCode);
    // Terminates the process if it still runs and waits (up to 5 s) until it is gone.
    void kill();

  private:
    void release();

    PROCESS_INFORMATION info_{};
};

// Terminates process if it still runs and waits (up to 5 s) until it is gone.
void terminateIfRunning(HANDLE process);

// Folder of the running program, without a trailing backslash.
std::string exeDir();

// Visible top-level windows of process pid whose class is className (nullptr: any class).
std::vector<HWND> topWindows(DWORD pid, const char* className);

// Waits for a visible top-level window of process pid with that class and
// caption (nullptr: any); nullptr on timeout.
HWND waitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs);

// Text of any window, also one of another process (WM_GETTEXT); "" when it
// has none or does not answer within a second.
std::string windowText(HWND window);
std::string childText(HWND parent, int id);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    bool topmost = false;        // WS_EX_TOPMOST is set (Wine sets it for MB_SYSTEMMODAL only)
    std::vector<int> buttonIds;  // visible buttons among IDOK..IDCONTINUE, ascending
    int defaultButton = 0;       // the one Enter chooses (BS_DEFPUSHBUTTON), 0 if none
};

// Waits for a message box (class "#32770") of process pid with that caption
// (nullptr: any) and describes it; false on timeout.
bool waitForMessageBox(DWORD pid, const char* caption, DWORD timeoutMs, MessageBoxInfo* out);

// The caption and text of each message box process pid shows, each after a
// line end as "[caption] text"; empty when there is none. For what a run
// that went wrong left on the screen.
std::string boxesShown(DWORD pid);
// Each top-level window of process pid, shown or hidden, after a line end:
// its class, [caption], thread and state, and its children's classes. For a
// window that did not come.
std::string windowsOf(DWORD pid);

// Answers a message box as if buttonId had been clicked (posted WM_COMMAND).
void answerBox(HWND box, int buttonId);

// Posts a key press (WM_KEYDOWN then WM_KEYUP) to target.
void pressKey(HWND target, UINT vk);

// Enter posted to a dialog or message box answers it with its default button.
inline void pressEnter(HWND target) {
    pressKey(target, VK_RETURN);
}

// Posts one WM_CHAR per character to target ('\n' is not turned into Enter:
// use pressKey(VK_RETURN)).
void typeText(HWND target, const std::string& text);

// Clicks the button with that id in parent (posted BM_CLICK, so check boxes
// toggle and the parent gets BN_CLICKED as from a mouse click).
void clickControl(HWND parent, int id);

// Real input, as a user's hand gives it (SendInput): the system, not the
// driver, decides which window gets it, and it arrives as input, where a sent
// message would be handled at once. The cursor to the middle of window, then
// the left button down and up there. False, doing nothing, when window is
// not the one the cursor would hit there (hidden, or covered by another).
bool clickWithMouse(HWND window);

// One real mouse event (SendInput) at point of window's client area: the
// cursor goes there and buttons (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
// or 0 for a move alone) change there. A window that holds the mouse (a drag)
// gets it wherever point lies; a button is refused, doing nothing, when
// window is not the one the cursor would hit there.
bool mouseAsInput(HWND window, POINT point, DWORD buttons);

// A key pressed and let go as real input (SendInput), with modifier (VK_MENU
// for Alt, say) held if not 0: it goes to the window that has the keyboard
// focus.
void typeKeyAsInput(WORD vk, WORD modifier = 0);

// Writes the whole screen (the Wine desktop), or only what lies in the
// rectangle of window, as a 24-bit .bmp file.
bool saveScreenshot(const std::string& bmpPath, HWND window = nullptr);

}  // namespace e2e
