#pragma once
// The output window's Save results command as a user gives it, with real
// input (SendInput) into the output window: Ctrl+S, or Alt+Space and the
// window menu's last entry; and the program's Save As dialog it opens.
#include <windows.h>

#include <string>
#include <vector>

#include "resources/WindowNames.h"
#include "windriver/GraphicWindows.h"
#include "windriver/WinDriver.h"

namespace e2e {

// Makes frame the foreground window, so that keys given as input go to it
// (to the window in it that has the keyboard focus). False on timeout.
inline bool bringToFront(HWND frame, DWORD timeoutMs) {
    return waitUntil(
        [&] {
            if (GetForegroundWindow() == frame) return true;
            SetForegroundWindow(frame);
            return false;
        },
        timeoutMs);
}

// Gives the command from the keyboard, into the output window's frame of
// process pid: Ctrl+S, or (viaMenu) Alt+Space, then Up to the menu's last
// entry and Enter. The Save As dialog it opens, or nullptr.
inline HWND openSaveDialog(DWORD pid, HWND frame, bool viaMenu, DWORD timeoutMs) {
    if (!bringToFront(frame, timeoutMs)) return nullptr;
    if (viaMenu) {
        typeKeyAsInput(VK_SPACE, VK_MENU);
        if (!waitUntil([&] { return !topWindows(pid, MenuClass).empty(); }, timeoutMs))
            return nullptr;
        typeKeyAsInput(VK_UP);
        typeKeyAsInput(VK_RETURN);
    } else {
        typeKeyAsInput('S', VK_CONTROL);
    }
    return waitForWindow(pid, SystemDialogClass, names::SaveDialogCaption, timeoutMs);
}

// Types name into the Save As dialog's file-name field in place of what it
// shows (which goes to *offered, if given) and presses Enter. Empty when the
// field took the name, else what went wrong; the dialog may stay (it asks
// before it overwrites a file).
inline std::string typeSaveName(HWND dialog, const std::string& name, DWORD timeoutMs,
                                std::string* offered = nullptr) {
    HWND field = fileNameField(dialog);
    if (!field) return "no file-name field in the Save As dialog";
    if (offered != nullptr) *offered = windowText(field);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_ABORTIFHUNG,
                        timeoutMs, &ignored);
    typeText(field, name);
    if (!waitUntil([&] { return windowText(field) == name; }, timeoutMs))
        return "the file-name field shows [" + windowText(field) + "]";
    pressEnter(field);
    return "";
}

// The command from the keyboard, name typed, Enter: empty once the dialog
// is gone, else what went wrong.
inline std::string saveResultsAs(DWORD pid, HWND frame, bool viaMenu, const std::string& name,
                                 DWORD timeoutMs, std::string* offered = nullptr) {
    HWND dialog = openSaveDialog(pid, frame, viaMenu, timeoutMs);
    if (!dialog) return "no Save As dialog came";
    const std::string typed = typeSaveName(dialog, name, timeoutMs, offered);
    if (!typed.empty()) return typed;
    if (!waitUntil([&] { return !IsWindow(dialog); }, timeoutMs))
        return "the Save As dialog stays open";
    return "";
}

}  // namespace e2e
