#pragma once
// The program's text output window as a driver finds, reads and closes it.
#include <windows.h>

#include <string>

#include "framework/WindowClass.h"
#include "resources/WindowNames.h"
#include "windriver/WinDriver.h"

namespace e2e {

// What the program asks before it ends, the start of its quit question.
constexpr char QuitQuestion[] = "QUIT Tallywave?    Are you sure?";

// The output window's frame of process pid, or nullptr when none appears.
inline HWND waitForOutputWindow(DWORD pid, DWORD timeoutMs) {
    return waitForWindow(pid, OurWindowClass, names::OutputCaption, timeoutMs);
}

// The edit control that shows the text, inside the frame's client; nullptr
// when there is none.
inline HWND outputEdit(HWND frame) {
    HWND client = FindWindowExA(frame, nullptr, OurWindowClass, nullptr);
    return client ? FindWindowExA(client, nullptr, "Edit", nullptr) : nullptr;
}

inline bool textEndsWith(HWND edit, const std::string& end, DWORD timeoutMs) {
    return waitUntil(
        [&] {
            const std::string now = windowText(edit);
            return now.size() >= end.size() &&
                   now.compare(now.size() - end.size(), end.size(), end) == 0;
        },
        timeoutMs);
}

// Closes the frame with its close box and answers the quit question with
// answer (IDYES, IDNO). Empty once it is answered; else what went wrong: no
// box came, or another one, which is left as it is.
inline std::string closeAnswering(DWORD pid, HWND frame, int answer, DWORD timeoutMs) {
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    MessageBoxInfo box;
    if (!waitForMessageBox(pid, nullptr, timeoutMs, &box)) return "no quit question";
    if (box.text.find(QuitQuestion) == std::string::npos)
        return "a box other than the quit question: [" + box.caption + "] " + box.text;
    answerBox(box.hwnd, answer);
    return "";
}

}  // namespace e2e
