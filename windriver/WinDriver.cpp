#include "windriver/WinDriver.h"

#include <fstream>

namespace e2e {
namespace {

constexpr UINT kReplyTimeoutMs = 1000;
constexpr DWORD kExitTimeoutMs = 5000;  // for a terminated process to be gone

struct WindowFilter {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
    bool hiddenToo = false;
};

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    auto* filter = reinterpret_cast<WindowFilter*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == filter->pid && (filter->hiddenToo || IsWindowVisible(window)) &&
        (!filter->className || className(window) == filter->className)) {
        filter->found.push_back(window);
    }
    return TRUE;
}

HWND findWindow(DWORD pid, const char* className, const char* caption) {
    for (HWND window : topWindows(pid, className)) {
        if (!caption || windowText(window) == caption) return window;
    }
    return nullptr;
}

// Sends a message whose reply is wanted, giving up on a window that is hung.
LRESULT askWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                             &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

std::vector<int> visibleButtons(HWND box) {
    std::vector<int> ids;
    for (int id = IDOK; id <= IDCONTINUE; ++id) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button)) ids.push_back(id);
    }
    return ids;
}

// The button Enter chooses is the one styled as default push button (Wine's
// message boxes answer DM_GETDEFID with IDOK whatever their buttons).
int defaultButton(HWND box, const std::vector<int>& buttonIds) {
    for (int id : buttonIds) {
        const LONG style = GetWindowLongA(GetDlgItem(box, id), GWL_STYLE);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
    }
    return 0;
}

MessageBoxInfo describeMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    info.caption = windowText(box);
    info.text = childText(box, MessageBoxTextId);
    info.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    info.buttonIds = visibleButtons(box);
    info.defaultButton = defaultButton(box, info.buttonIds);
    return info;
}

struct Screen {
    int left, top, width, height;
};

Screen wholeScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

BITMAPINFOHEADER bottomUpRgb24(const Screen& screen) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = screen.width;
    header.biHeight = screen.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = ((screen.width * 3 + 3) & ~3) * screen.height;  // rows padded to 4 bytes
    return header;
}

// Copies the screen into pixels laid out as header describes; false if GDI fails.
bool captureScreen(const Screen& screen, const BITMAPINFOHEADER& header,
                   std::vector<char>* pixels) {
    HDC screenDc = GetDC(nullptr);
    HDC memoryDc = CreateCompatibleDC(screenDc);
    BITMAPINFO info{};
    info.bmiHeader = header;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        copied = BitBlt(memoryDc, 0, 0, screen.width, screen.height, screenDc, screen.left,
                        screen.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        if (copied)
            pixels->assign(static_cast<char*>(bits), static_cast<char*>(bits) + header.biSizeImage);
        SelectObject(memoryDc, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDc);
    ReleaseDC(nullptr, screenDc);
    return copied;
}

bool writeBmp(const std::string& path, const BITMAPINFOHEADER& header,
              const std::vector<char>& pixels) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + pixels.size();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), pixels.size());
    return static_cast<bool>(out.flush());
}

}  // namespace

void terminateIfRunning(HANDLE process) {
    if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kExitTimeoutMs);
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollIntervalMs);
    }
    return true;
}

LaunchedProcess::~LaunchedProcess() {
    release();
}

bool LaunchedProcess::launch(const std::string& exePath, const std::string& args,
                             const std::string& workDir) {
    release();
    std::string commandLine = "\"" + exePath + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &startup, &info_)) {
        info_ = {};
        return false;
    }
    CloseHandle(info_.hThread);
    info_.hThread = nullptr;
    return true;
}

bool LaunchedProcess::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool LaunchedProcess::waitExit(DWORD timeoutMs, int32_t* exitCode) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    *exitCode = static_cast<int32_t>(code);
    return true;
}

void LaunchedProcess::kill() {
    if (info_.hProcess) terminateIfRunning(info_.hProcess);
}

void LaunchedProcess::release() {
    kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    info_ = {};
}

std::string exeDir() {
    std::string path(MAX_PATH, '\0');
    DWORD length;
    while ((length = GetModuleFileNameA(nullptr, &path[0], path.size())) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.find_last_of("\\/"));
}

std::vector<HWND> topWindows(DWORD pid, const char* className) {
    WindowFilter filter{pid, className, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&filter));
    return filter.found;
}

HWND waitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(pid, className, caption)) != nullptr; }, timeoutMs);
    return found;
}

std::string windowText(HWND window) {
    const LRESULT length = askWindow(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return "";
    std::string text(length + 1, '\0');
    const LRESULT copied =
        askWindow(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? copied : 0);
    return text;
}

std::string childText(HWND parent, int id) {
    HWND child = GetDlgItem(parent, id);
    return child ? windowText(child) : "";
}

bool waitForMessageBox(DWORD pid, const char* caption, DWORD timeoutMs, MessageBoxInfo* out) {
    HWND box = waitForWindow(pid, SystemDialogClass, caption, timeoutMs);
    if (!box) return false;
    *out = describeMessageBox(box);
    return true;
}

std::string boxesShown(DWORD pid) {
    std::string said;
    for (HWND box : topWindows(pid, SystemDialogClass))
        said += "\n[" + windowText(box) + "] " + childText(box, MessageBoxTextId);
    return said;
}

std::string windowsOf(DWORD pid) {
    WindowFilter filter{pid, nullptr, {}, true};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&filter));
    std::string said;
    for (HWND window : filter.found) {
        said += "\n" + className(window) + " [" + windowText(window) + "] of thread " +
                std::to_string(GetWindowThreadProcessId(window, nullptr)) +
                (IsWindowVisible(window) ? ", shown" : ", hidden") +
                (IsWindowEnabled(window) ? "" : ", disabled");
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            said += " <" + className(child) + ">";
    }
    return said.empty() ? "\nno window of the program" : said;
}

void answerBox(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

void pressKey(HWND target, UINT vk) {
    const LPARAM scanCode = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    const LPARAM repeatOnce = 1;
    const LPARAM releasing = 0xC0000000;  // previous state down, transition up
    PostMessageA(target, WM_KEYDOWN, vk, scanCode | repeatOnce);
    PostMessageA(target, WM_KEYUP, vk, scanCode | repeatOnce | releasing);
}

void typeText(HWND target, const std::string& text) {
    for (unsigned char c : text) PostMessageA(target, WM_CHAR, c, 1);
}

void clickControl(HWND parent, int id) {
    PostMessageA(GetDlgItem(parent, id), BM_CLICK, 0, 0);
}

namespace {
// One real mouse event at point (screen coordinates): the cursor goes there
// and buttons (MOUSEEVENTF_LEFTDOWN and the like, or 0) change there. The
// place rides on the event (0 to 65535 across the screen), so none goes where
// an earlier move left the cursor.
INPUT mouseEventAt(POINT point, DWORD buttons) {
    INPUT event{};
    event.type = INPUT_MOUSE;
    event.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    event.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return event;
}
}  // namespace

bool clickWithMouse(HWND window) {
    RECT place;
    if (!GetWindowRect(window, &place)) return false;
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    if (WindowFromPoint(middle) != window) return false;
    INPUT events[3] = {mouseEventAt(middle, 0), mouseEventAt(middle, MOUSEEVENTF_LEFTDOWN),
                       mouseEventAt(middle, MOUSEEVENTF_LEFTUP)};
    return SendInput(3, events, sizeof(INPUT)) == 3;
}

bool mouseAsInput(HWND window, POINT point, DWORD buttons) {
    POINT onScreen = point;
    if (!ClientToScreen(window, &onScreen)) return false;
    if (buttons != 0 && WindowFromPoint(onScreen) != window) return false;
    INPUT event = mouseEventAt(onScreen, buttons);
    return SendInput(1, &event, sizeof(INPUT)) == 1;
}

void typeKeyAsInput(WORD vk, WORD modifier) {
    const WORD order[4] = {modifier, vk, vk, modifier};
    INPUT keys[4]{};
    UINT count = 0;
    for (int i = 0; i < 4; ++i) {
        if (order[i] == 0) continue;
        keys[count].type = INPUT_KEYBOARD;
        keys[count].ki.wVk = order[i];
        keys[count].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        ++count;
    }
    SendInput(count, keys, sizeof(INPUT));
}

bool saveScreenshot(const std::string& bmpPath, HWND window) {
    Screen screen = wholeScreen();
    if (window != nullptr) {
        RECT place;
        if (!GetWindowRect(window, &place)) return false;
        screen = {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }
    const BITMAPINFOHEADER header = bottomUpRgb24(screen);
    std::vector<char> pixels;
    return captureScreen(screen, header, &pixels) && writeBmp(bmpPath, header, pixels);
}

}  // namespace e2e
