#pragma once
// The program's text output window as a driver finds, reads and closes it.
#include <windows.h>

#include <string>

#include "windriver/WinDriver.h"

namespace e2e {

constexpr char OutputCaption[] = " Tallywave Release v. 1.0 of 2003-05-22";
constexpr char OurWindowClass[] = "TallywaveWindow";

// The output window's frame of process pid, or nullptr when none appears.
inline HWND waitForOutputWindow(DWORD pid, DWORD timeoutMs) {
    return waitForWindow(pid, OurWindowClass, OutputCaption, timeoutMs);
}

// The edit control that shows the text, inside the frame's client.
inline HWND outputEdit(HWND frame) {
    HWND client = FindWindowExA(frame, nullptr, OurWindowClass, nullptr);
    return FindWindowExA(client, nullptr, "Edit", nullptr);
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
// answer (IDYES, IDNO); false, with a test failure, when no question came.
inline bool closeAnswering(DWORD pid, HWND frame, int answer, DWORD timeoutMs) {
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    MessageBoxInfo box;
    if (!waitForMessageBox(pid, nullptr, timeoutMs, &box)) {
        ADD_FAILURE() << "no quit question";
        return false;
    }
    EXPECT_NE(box.text.find("QUIT Tallywave?    Are you sure?"), std::string::npos) << box.text;
    answerBox(box.hwnd, answer);
    return true;
}

}  // namespace e2e
