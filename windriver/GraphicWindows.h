#pragma once
// The windows of the program's graphic mode as a driver finds and works them:
// the main window and its dialog, the output window, the file dialog of
// Select and the hidden window that owns the help menu.
#include <windows.h>

#include <cstring>
#include <string>

#include "framework/WindowClass.h"
#include "resources/ResourceIds.h"
#include "resources/WindowNames.h"
#include "windriver/OutputWindow.h"
#include "windriver/WinDriver.h"

namespace e2e {

// The output window's text once graphic mode has started: its first line.
inline const std::string StartLine = std::string(names::StartLine) + "\r\n";

struct GraphicWindows {
    HWND Main = nullptr;    // the frame holding the dialog
    HWND Dialog = nullptr;  // its client: banner, fields and buttons
    HWND Output = nullptr;  // the output window's frame
};

// Waits until both frames of graphic mode are shown: the one with the dialog
// is the main window, the other the output window. False on timeout.
inline bool waitForGraphicWindows(DWORD pid, DWORD timeoutMs, GraphicWindows* out) {
    return waitUntil(
        [&] {
            GraphicWindows found;
            for (HWND frame : topWindows(pid, OurWindowClass)) {
                if (windowText(frame) != names::OutputCaption) continue;
                if (HWND dialog = FindWindowExA(frame, nullptr, names::DialogClass, nullptr)) {
                    found.Main = frame;
                    found.Dialog = dialog;
                } else {
                    found.Output = frame;
                }
            }
            if (!found.Main || !found.Output) return false;
            *out = found;
            return true;
        },
        timeoutMs);
}

// A Check or Count runs (or its "Nothing selected" box is up) while the
// fields take no typing; clicks and keys that come before it is over do
// nothing, also those the program takes only as it ends.
inline bool passRuns(HWND dialog) {
    return (GetWindowLongA(GetDlgItem(dialog, IDC_HEIGHT_FIELD), GWL_STYLE) & ES_READONLY) != 0;
}

// Waits until the pass is over, as a user waits for the fields to turn white
// again: the pass's last line may show a moment before. False on timeout.
inline bool waitForPassOver(HWND dialog, DWORD timeoutMs) {
    return waitUntil([&] { return !passRuns(dialog); }, timeoutMs);
}

// The file dialog's file-name field: the edit inside the combo box 0x47C
// (Wine nests it in a second combo box), else the plain edit 0x480.
inline HWND fileNameField(HWND fileDialog) {
    HWND outer = GetDlgItem(fileDialog, 0x47C);
    for (HWND box = outer; box != nullptr; box = FindWindowExA(box, nullptr, "ComboBox", nullptr)) {
        if (HWND edit = FindWindowExA(box, nullptr, "Edit", nullptr)) return edit;
    }
    return GetDlgItem(fileDialog, 0x480);
}

// Clicks Select and waits for the file dialog; nullptr when none comes.
inline HWND openFileDialog(DWORD pid, HWND dialog, DWORD timeoutMs) {
    clickControl(dialog, IDC_SELECT_BUTTON);
    return waitForWindow(pid, SystemDialogClass, names::FileDialogCaption, timeoutMs);
}

// Goes to folder in the file dialog, as a user does by typing it and Enter:
// the dialog opens in the folder the system remembers from earlier runs.
// Empty once the "Look in" box (0x471) names the folder and the file-name
// field is empty again, else what failed.
inline std::string goToFolder(HWND fileDialog, HWND field, std::string folder, DWORD timeoutMs) {
    for (char& c : folder)
        if (c == '/') c = '\\';  // the dialog takes backslashes only
    typeText(field, folder);
    if (!waitUntil([&] { return windowText(field) == folder; }, timeoutMs))
        return "the file-name field shows [" + windowText(field) + "]";
    pressEnter(field);
    const std::string last = folder.substr(folder.find_last_of('\\') + 1);
    if (!waitUntil([&] { return childText(fileDialog, 0x471) == last; }, timeoutMs))
        return "the file dialog did not go to " + folder;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_ABORTIFHUNG,
                        timeoutMs, &ignored);
    return "";
}

// Types the names of files in folder into the file dialog (several go each in
// double quotes: "a.txt" "b.txt") and presses Enter. Empty when the dialog
// took them and went; otherwise what went wrong.
inline std::string typeFileNames(HWND fileDialog, const std::string& folder,
                                 const std::string& typed, DWORD timeoutMs) {
    HWND field = fileNameField(fileDialog);
    if (!field) return "no file-name field in the file dialog";
    const std::string there = goToFolder(fileDialog, field, folder, timeoutMs);
    if (!there.empty()) return there;
    typeText(field, typed);
    if (!waitUntil([&] { return windowText(field) == typed; }, timeoutMs))
        return "the file-name field shows [" + windowText(field) + "]";
    pressEnter(field);
    if (!waitUntil([&] { return !IsWindow(fileDialog); }, timeoutMs))
        return "the file dialog stays open";
    return "";
}

// Enters text into an edit as a user pastes it (Ctrl+V): the text goes on
// the clipboard, owned by a hidden window of this program, and the edit is
// sent WM_PASTE. Empty once the edit shows its old text with text after it,
// else what went wrong.
inline std::string pasteText(HWND edit, const std::string& text, DWORD timeoutMs) {
    const std::string wanted = windowText(edit) + text;
    HWND owner =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!owner) return "cannot make a window to own the clipboard";
    std::string failed;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory || !OpenClipboard(owner)) {
        failed = "cannot open the clipboard";
    } else {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        EmptyClipboard();
        if (SetClipboardData(CF_TEXT, memory))
            memory = nullptr;  // the clipboard owns it now
        else
            failed = "cannot put the text on the clipboard";
        CloseClipboard();
    }
    if (memory) GlobalFree(memory);
    if (failed.empty()) {
        PostMessageA(edit, WM_PASTE, 0, 0);
        if (!waitUntil([&] { return windowText(edit) == wanted; }, timeoutMs)) {
            const std::string shown = windowText(edit);
            failed = "the edit shows " + std::to_string(shown.size()) + " of the " +
                     std::to_string(wanted.size()) + " characters pasted, ending [" +
                     shown.substr(shown.size() > 80 ? shown.size() - 80 : 0) + "]";
        }
    }
    DestroyWindow(owner);
    return failed;
}

// A list of file names too long to type key by key (under Wine each key
// into the file dialog's field costs more the longer its text: 12,000
// characters took 35 to 50 s, minutes on a loaded machine): goes to folder,
// pastes pasted into the file-name field, types typed after it and presses
// Enter. Empty when the dialog took them and went; otherwise what went wrong.
inline std::string enterFileNames(HWND fileDialog, const std::string& folder,
                                  const std::string& pasted, const std::string& typed,
                                  DWORD timeoutMs) {
    HWND field = fileNameField(fileDialog);
    if (!field) return "no file-name field in the file dialog";
    const std::string there = goToFolder(fileDialog, field, folder, timeoutMs);
    if (!there.empty()) return there;
    const std::string pasting = pasteText(field, pasted, timeoutMs);
    if (!pasting.empty()) return pasting;
    typeText(field, typed);
    if (!waitUntil([&] { return windowText(field) == pasted + typed; }, timeoutMs))
        return "the keys typed after the pasted names did not all arrive";
    pressEnter(field);
    if (!waitUntil([&] { return !IsWindow(fileDialog); }, timeoutMs))
        return "the file dialog stays open";
    return "";
}

// Select, the names in folder typed, Enter: empty, or what went wrong.
inline std::string selectFiles(DWORD pid, HWND dialog, const std::string& folder,
                               const std::string& typed, DWORD timeoutMs) {
    HWND files = openFileDialog(pid, dialog, timeoutMs);
    return files ? typeFileNames(files, folder, typed, timeoutMs) : "no file dialog";
}

namespace detail {
struct HiddenSearch {
    DWORD pid;
    HWND found;
};
inline BOOL CALLBACK findHelpOwner(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<HiddenSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != search->pid || std::string(name) != OurWindowClass ||
        windowText(window) != names::HelpOwnerCaption)
        return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace detail

// The hidden window that owns the help menu and opens the topics it is sent
// (WM_COMMAND 289..294); nullptr when there is none.
inline HWND helpMenuOwner(DWORD pid) {
    detail::HiddenSearch search{pid, nullptr};
    EnumWindows(detail::findHelpOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace e2e
