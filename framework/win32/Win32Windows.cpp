// Win32 side of the windowing layer: one window class with one procedure for
// all our windows, which finds the C++ object and calls its handler; the
// application's message loop; the edit control and the font.
#include <windows.h>

#include <cstring>
#include <mutex>

#include "framework/TApplication.h"
#include "framework/TDialog.h"
#include "framework/TEdit.h"
#include "framework/TFont.h"
#include "framework/TWindow.h"
#include "framework/WindowClass.h"

static_assert(ws::Child == WS_CHILD && ws::Visible == WS_VISIBLE && ws::Border == WS_BORDER &&
                  ws::DlgFrame == WS_DLGFRAME && ws::SysMenu == WS_SYSMENU &&
                  ws::HScroll == WS_HSCROLL && ws::VScroll == WS_VSCROLL &&
                  ws::TabStop == WS_TABSTOP && ws::EsMultiLine == ES_MULTILINE &&
                  ws::EsAutoVScroll == ES_AUTOVSCROLL && ws::EsAutoHScroll == ES_AUTOHSCROLL,
              "window styles must carry Win32's values");

namespace {

// A call to be made on the thread of a window of ours, sent in a message.
const UINT CallHereMessage = WM_APP + 0x100;
struct CallS {
    void (*Fn)(void* arg);
    void* Arg;
};

HWND hwndOf(const TWindow* window) {
    return static_cast<HWND>(window->handle());
}

}  // namespace

// Reaches the parts of a window that only the window procedure may touch.
struct WindowGlue {
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* window =
                static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            window->Handle = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
        auto* window = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (window == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
        return handle(window, hwnd, msg, wParam, lParam);
    }

    // Dialogs: the object being made is taken at the first message its window
    // gets; the system's dialog procedure does what the object leaves.
    static TWindow* DialogInMaking;

    static LRESULT CALLBACK dialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* window = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (window == nullptr && DialogInMaking != nullptr) {
            window = DialogInMaking;
            DialogInMaking = nullptr;
            window->Handle = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
        if (window == nullptr) return DefDlgProcA(hwnd, msg, wParam, lParam);
        return handle(window, hwnd, msg, wParam, lParam);
    }

    // The procedure a dialog is made with: the focus goes where the system
    // puts it; everything else is the dialog window's own.
    static INT_PTR CALLBACK dialogInit(HWND, UINT msg, WPARAM, LPARAM) {
        return msg == WM_INITDIALOG ? TRUE : FALSE;
    }

    // A window gone is forgotten, and its parent is told. A call sent to be
    // made on the window's thread is made.
    static LRESULT handle(TWindow* window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == CallHereMessage) {
            const auto* call = reinterpret_cast<const CallS*>(lParam);
            call->Fn(call->Arg);
            return 0;
        }
        const LRESULT result = window->handleMessage(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            window->Handle = nullptr;
            if (window->Parent != nullptr) window->Parent->onChildDestroyed(window);
        }
        return result;
    }

    // The child whose window is hwnd, if any.
    static TWindow* childOf(TWindow* window, HWND hwnd) {
        for (TWindow* child = window->FirstChild; child != nullptr; child = child->NextSibling)
            if (child->Handle == hwnd) return child;
        return nullptr;
    }

    // Registers a class of ours unless it is there already. Both threads of
    // graphic mode make windows of our class at once, so the other thread
    // may register it between the look and the registration. Under Wine, a
    // thread that finds the class there while the other's registration is
    // still under way could not make its window with it (the main window
    // failed to come in 4 of 300 starts): one registration at a time, each
    // over before the next thread looks.
    static bool registerClass(const char* name, WNDPROC procedure, int extraBytes) {
        static std::mutex registering;
        const std::lock_guard<std::mutex> oneAtATime(registering);
        WNDCLASSA wc{};
        HINSTANCE module = GetModuleHandleA(nullptr);
        if (GetClassInfoA(module, name, &wc)) return true;
        wc.lpfnWndProc = procedure;
        wc.cbWndExtra = extraBytes;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }

    static HBRUSH brushOf(TWindow* window) {
        if (window->BkgndBrush == nullptr)
            window->BkgndBrush = CreateSolidBrush(static_cast<COLORREF>(window->BkgndColor));
        return static_cast<HBRUSH>(window->BkgndBrush);
    }
};

TWindow* WindowGlue::DialogInMaking = nullptr;

// The modeless dialog of this thread, if any: the message loop lets it have
// its keys (Tab between controls, Enter and Escape as commands).
static thread_local HWND ThreadDialog = nullptr;

// The frame of this thread whose window-menu command has keys, and their
// table: the message loop turns those keys into the command.
static thread_local HWND ThreadKeysFrame = nullptr;
static thread_local HACCEL ThreadKeys = nullptr;

bool TWindow::makeWindow() {
    const char* cls = className();
    if (cls == nullptr) {
        if (!WindowGlue::registerClass(OurWindowClass, WindowGlue::procedure, 0)) return false;
        cls = OurWindowClass;
    }
    DWORD style = Attr.Style;
    HWND parentHwnd = Parent != nullptr ? hwndOf(Parent) : nullptr;
    HMENU idOrMenu = nullptr;
    if (parentHwnd != nullptr && !topLevel()) {
        style |= WS_CHILD | WS_VISIBLE;
        idOrMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(Attr.Id));
    }
    HWND hwnd =
        CreateWindowExA(Attr.ExStyle, cls, Title != nullptr ? Title : "", style, Attr.X, Attr.Y,
                        Attr.W, Attr.H, parentHwnd, idOrMenu, GetModuleHandleA(nullptr), this);
    if (hwnd == nullptr) return false;
    Handle = hwnd;  // a control of a system class never sees our procedure
    return true;
}

void TWindow::releasePlatform() {
    destroyWindow();
    if (BkgndBrush != nullptr) DeleteObject(static_cast<HBRUSH>(BkgndBrush));
    BkgndBrush = nullptr;
}

void TWindow::destroyWindow() {
    if (Handle == nullptr) return;
    HWND hwnd = hwndOf(this);
    // A control of a system class never tells us it is gone (its parent may
    // have taken it down already): forget it here, and destroy only a window
    // that still exists.
    if (className() != nullptr) Handle = nullptr;
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

void TWindow::show(int showState) {
    if (Handle == nullptr) return;
    ShowWindow(hwndOf(this), showState);
    UpdateWindow(hwndOf(this));
}

void TWindow::setFont(void* font) {
    if (Handle != nullptr)
        SendMessageA(hwndOf(this), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWindow::setText(const char* text) {
    if (Handle != nullptr) SetWindowTextA(hwndOf(this), text);
}

void TWindow::setForeground() {
    if (Handle != nullptr) SetForegroundWindow(hwndOf(this));
}

void TWindow::postClose() {
    if (Handle != nullptr) PostMessageA(hwndOf(this), WM_CLOSE, 0, 0);
}

void* TWindow::bkgndBrush() {
    return WindowGlue::brushOf(this);
}

void* TWindow::colorControl(TDC& dc, int) {
    SetBkColor(static_cast<HDC>(dc.handle()), static_cast<COLORREF>(BkgndColor));
    return bkgndBrush();
}

void TDC::setTextColor(unsigned long rgb) {
    TextColor = rgb;
    SetTextColor(static_cast<HDC>(Handle), static_cast<COLORREF>(rgb));
}

void TDC::setBkModeTransparent() {
    Transparent = true;
    SetBkMode(static_cast<HDC>(Handle), TRANSPARENT);
}

std::intptr_t TWindow::defaultMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return DefWindowProcA(hwndOf(this), msg, wParam, lParam);
}

std::intptr_t TWindow::handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(hwndOf(this), &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, WindowGlue::brushOf(this));
            return 1;
        }
        // A control asks for its colours; a read-only edit asks as a static.
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            TDC dc(reinterpret_cast<HDC>(wParam));
            return reinterpret_cast<std::intptr_t>(colorControl(dc, msg - WM_CTLCOLORMSGBOX));
        }
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        // The keyboard goes on to the first child: a frame's client, a
        // client's first control, so the user can type at once.
        case WM_SETFOCUS:
            if (FirstChild != nullptr && FirstChild->created()) SetFocus(hwndOf(FirstChild));
            return 0;
        case WM_CLOSE:
            if (MainOf != nullptr && !MainOf->canClose()) return 0;
            DestroyWindow(hwndOf(this));
            return 0;
        case WM_DESTROY:
            if (MainOf != nullptr) PostQuitMessage(0);
            return 0;
        default:
            return defaultMessage(msg, wParam, lParam);
    }
}

void TFrameWindow::fitClient() {
    RECT area;
    if (Client != nullptr && Client->created() && GetClientRect(hwndOf(this), &area))
        MoveWindow(hwndOf(Client), 0, 0, area.right, area.bottom, TRUE);
}

std::intptr_t TFrameWindow::handleMessage(unsigned msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    switch (msg) {
        case WM_CREATE:
            if (IconId != 0) {
                HINSTANCE module = GetModuleHandleA(nullptr);
                const char* name = MAKEINTRESOURCEA(IconId);
                HANDLE big = LoadImageA(module, name, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                        GetSystemMetrics(SM_CYICON), LR_SHARED);
                HANDLE smallIcon =
                    LoadImageA(module, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                               GetSystemMetrics(SM_CYSMICON), LR_SHARED);
                SendMessageA(hwndOf(this), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
                SendMessageA(hwndOf(this), WM_SETICON, ICON_SMALL,
                             reinterpret_cast<LPARAM>(smallIcon));
            }
            if (MenuCommandId != 0) addMenuCommand();
            return 0;
        case WM_SIZE:
            fitClient();
            return 0;
        case WM_SYSCOMMAND:
            if (MenuCommandId != 0 && (wParam & 0xFFF0) == static_cast<WPARAM>(MenuCommandId)) {
                onCommand(MenuCommandId, 0);
                return 0;
            }
            if (MenuCommandId != 0 && (wParam & 0xFFF0) == SC_KEYMENU && lParam == ' ' &&
                !(GetWindowLongPtrA(hwndOf(this), GWL_STYLE) & WS_SYSMENU)) {
                showOwnMenu();
                return 0;
            }
            return TWindow::handleMessage(msg, wParam, lParam);
        case WM_DESTROY:
            Closing = true;
            dropMenuCommand();
            return TWindow::handleMessage(msg, wParam, lParam);
        default:
            return TWindow::handleMessage(msg, wParam, lParam);
    }
}

// The entry goes into the system menu, when there is one; the keys into the
// thread's table.
void TFrameWindow::addMenuCommand() {
    HWND hwnd = hwndOf(this);
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_SYSMENU) {
        HMENU system = GetSystemMenu(hwnd, FALSE);
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, static_cast<UINT_PTR>(MenuCommandId), MenuCommandText);
    }
    ACCEL key{FVIRTKEY | FCONTROL, static_cast<WORD>(MenuCommandKey),
              static_cast<WORD>(MenuCommandId)};
    MenuCommandKeys = CreateAcceleratorTableA(&key, 1);
    ThreadKeysFrame = hwnd;
    ThreadKeys = static_cast<HACCEL>(MenuCommandKeys);
}

// The menu of a frame without a system menu, where that menu would open:
// below the caption's left end.
void TFrameWindow::showOwnMenu() {
    HWND hwnd = hwndOf(this);
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(MenuCommandId), MenuCommandText);
    POINT at{0, 0};
    ClientToScreen(hwnd, &at);
    const BOOL chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x,
                                       at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
    if (chosen == MenuCommandId) onCommand(MenuCommandId, 0);
}

void TFrameWindow::dropMenuCommand() {
    if (MenuCommandKeys == nullptr) return;
    if (ThreadKeys == MenuCommandKeys) {
        ThreadKeys = nullptr;
        ThreadKeysFrame = nullptr;
    }
    DestroyAcceleratorTable(static_cast<HACCEL>(MenuCommandKeys));
    MenuCommandKeys = nullptr;
}

// The frame's client area takes the size of the client's window.
void TFrameWindow::shrinkToClient() {
    RECT client, frame;
    if (Client == nullptr || !Client->created() || !GetWindowRect(hwndOf(Client), &client)) return;
    frame = {0, 0, client.right - client.left, client.bottom - client.top};
    HWND hwnd = hwndOf(this);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TDialog::makeWindow() {
    if (!WindowGlue::registerClass(dialogClass(), WindowGlue::dialogProcedure, DLGWINDOWEXTRA))
        return false;
    WindowGlue::DialogInMaking = this;
    HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ResourceId),
                                   parent() != nullptr ? hwndOf(parent()) : nullptr,
                                   WindowGlue::dialogInit, 0);
    WindowGlue::DialogInMaking = nullptr;
    if (hwnd == nullptr) return false;
    ThreadDialog = hwnd;
    return true;
}

void TDialog::onCreated() {
    TWindow::onCreated();
    HWND dialog = hwndOf(this);
    if (HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE))
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

std::intptr_t TDialog::defaultMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return DefDlgProcA(hwndOf(this), msg, wParam, lParam);
}

// Every colour request of the dialog's controls and of the dialog itself
// goes to colorControl; owner-drawn controls draw themselves.
std::intptr_t TDialog::handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            TDC dc(reinterpret_cast<HDC>(wParam));
            return reinterpret_cast<std::intptr_t>(colorControl(dc, msg - WM_CTLCOLORMSGBOX));
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            TWindow* control = WindowGlue::childOf(this, item->hwndItem);
            if (control == nullptr) return FALSE;
            DrawItemS draw;
            draw.Action = item->itemAction;
            draw.State = item->itemState;
            draw.Dc = item->hDC;
            draw.Left = item->rcItem.left;
            draw.Top = item->rcItem.top;
            control->drawItem(draw);
            return TRUE;
        }
        case WM_ERASEBKGND:
        case WM_CLOSE:
        case WM_SETFOCUS:
            return defaultMessage(msg, wParam, lParam);
        case WM_DESTROY:
            if (ThreadDialog == hwndOf(this)) ThreadDialog = nullptr;
            return defaultMessage(msg, wParam, lParam);
        default:
            return TWindow::handleMessage(msg, wParam, lParam);
    }
}

// The keys of a frame's window-menu command come first, from the frame or a
// window in it; then the thread's dialog has its keys (Tab, Enter, Escape).
static void dispatch(MSG& msg) {
    if (ThreadKeys != nullptr &&
        (msg.hwnd == ThreadKeysFrame || IsChild(ThreadKeysFrame, msg.hwnd)) &&
        TranslateAcceleratorA(ThreadKeysFrame, ThreadKeys, &msg))
        return;
    if (ThreadDialog != nullptr && IsDialogMessageA(ThreadDialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// Sleeps in WaitMessage whenever the queue is empty and idle has nothing more.
int TApplication::runLoop() {
    long idleCount = 0;
    for (;;) {
        MSG msg;
        while (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!onIdle(idleCount++)) WaitMessage();
        }
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        idleCount = 0;
        dispatch(msg);
    }
}

// At most MaxPumped messages a turn, so the job always goes on. A quit is
// posted again for the loop, which ends when the job has returned.
void TApplication::pumpWaiting() {
    const int MaxPumped = 200;
    MSG msg;
    for (int pumped = 0; pumped < MaxPumped && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
         ++pumped) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

// Paints the edit now: the program may be writing without returning to its
// loop (a long pass). On the edit's own thread it also answers what other
// programs sent it meanwhile (no posted message is taken), so the system
// does not take the window for hung.
static void showNow(HWND edit) {
    UpdateWindow(edit);
    MSG none;
    if (GetWindowThreadProcessId(edit, nullptr) == GetCurrentThreadId())
        PeekMessageA(&none, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// The caret to the end, which scrolls the newest text into view.
static void showEnd(HWND edit) {
    const int length = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, length, length);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

namespace {

// Where the user stands in an edit control: the selection and the end of it
// the caret stands at, the first line in view and how far the view is
// scrolled sideways (the x of that line's first character, in pixels; NoX
// when the control does not tell).
struct EditPlaceS {
    static const int NoX = -1;
    DWORD SelStart = 0, SelEnd = 0;
    bool CaretAtStart = false;  // a selection made backwards
    int FirstLine = 0;
    int FirstX = NoX;
};

// Whether the caret stands at the start of the selection: the control shows
// its caret (and so tells where it is) only while it has the keyboard focus,
// as it has when the user drags or extends a selection.
bool caretAtStart(HWND edit, const EditPlaceS& place) {
    POINT caret;
    if (place.SelStart == place.SelEnd || GetFocus() != edit || !GetCaretPos(&caret)) return false;
    const LRESULT at = SendMessageA(edit, EM_POSFROMCHAR, place.SelStart, 0);
    return at != -1 && static_cast<short>(LOWORD(at)) == caret.x &&
           static_cast<short>(HIWORD(at)) == caret.y;
}

int xOfLine(HWND edit, int line) {
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT at = start < 0 ? -1 : SendMessageA(edit, EM_POSFROMCHAR, start, 0);
    return at == -1 ? EditPlaceS::NoX : static_cast<short>(LOWORD(at));
}

EditPlaceS placeOf(HWND edit) {
    EditPlaceS place;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&place.SelStart),
                 reinterpret_cast<LPARAM>(&place.SelEnd));
    place.CaretAtStart = caretAtStart(edit, place);
    place.FirstLine = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    place.FirstX = xOfLine(edit, place.FirstLine);
    return place;
}

// Line height and average character width of the edit's font.
TEXTMETRICA metricsOf(HWND edit) {
    TEXTMETRICA metrics{};
    HDC dc = GetDC(edit);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    return metrics;
}

// The user follows the newest text: the caret at the end, nothing selected
// and the last line in view.
bool followsEnd(HWND edit, const EditPlaceS& place) {
    const DWORD length = static_cast<DWORD>(GetWindowTextLengthA(edit));
    if (place.SelStart != length || place.SelEnd != length) return false;
    RECT area{};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    const int lineHeight = metricsOf(edit).tmHeight;
    const int linesShown = lineHeight > 0 ? (area.bottom - area.top) / lineHeight : 1;
    const int lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    return lines <= place.FirstLine + (linesShown > 0 ? linesShown : 1);
}

// The selection (the caret at the same end) and the view back to where they
// were.
void restorePlace(HWND edit, const EditPlaceS& place) {
    if (place.CaretAtStart)
        SendMessageA(edit, EM_SETSEL, place.SelEnd, place.SelStart);
    else
        SendMessageA(edit, EM_SETSEL, place.SelStart, place.SelEnd);
    const int lines =
        place.FirstLine - static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int xNow = xOfLine(edit, place.FirstLine);
    const int charWidth = metricsOf(edit).tmAveCharWidth;
    int chars = 0;
    if (place.FirstX != EditPlaceS::NoX && xNow != EditPlaceS::NoX && charWidth > 0)
        chars = (xNow - place.FirstX) / charWidth;
    if (lines != 0 || chars != 0) SendMessageA(edit, EM_LINESCROLL, chars, lines);
}

}  // namespace

void TEdit::replaceText(const char* text) {
    if (!created()) return;
    HWND edit = hwndOf(this);
    SetWindowTextA(edit, text);
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    showEnd(edit);
    showNow(edit);
}

namespace {

// Makes fn(arg) on the thread of host's window: at once when that is this
// thread (or host has no window), else through a message the caller waits
// for. The edit control's steps then come one after the other, with no
// message of the user or of another program between them.
void callOnThreadOf(const TWindow* host, void (*fn)(void*), void* arg) {
    HWND window = host != nullptr ? hwndOf(host) : nullptr;
    if (window == nullptr || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        fn(arg);
        return;
    }
    CallS call{fn, arg};
    SendMessageA(window, CallHereMessage, 0, reinterpret_cast<LPARAM>(&call));
}

struct AppendS {
    HWND Edit;
    const char* Text;
    std::size_t Length;
};

// The platform's text limit binds what is appended, so it is raised when the
// program's own text needs more room. A user who does not follow the end
// keeps the selection and the view; the control is not redrawn until both
// are back, so nothing flickers.
void appendNow(void* job) {
    const auto& append = *static_cast<const AppendS*>(job);
    HWND edit = append.Edit;
    const std::size_t shown = static_cast<std::size_t>(GetWindowTextLengthA(edit));
    const std::size_t limit = static_cast<std::size_t>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    if (shown + append.Length > limit)
        SendMessageA(edit, EM_SETLIMITTEXT, 2 * (shown + append.Length), 0);
    const EditPlaceS place = placeOf(edit);
    const bool follows = followsEnd(edit, place);
    if (!follows) SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageA(edit, EM_SETSEL, shown, shown);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(append.Text));
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    if (!follows) {
        restorePlace(edit, place);
        SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    showNow(edit);
}

struct ScrollS {
    HWND Edit;
    int Lines;
};

// Only a user who follows the end is scrolled.
void scrollNow(void* job) {
    const auto& scroll = *static_cast<const ScrollS*>(job);
    if (followsEnd(scroll.Edit, placeOf(scroll.Edit)))
        SendMessageA(scroll.Edit, EM_LINESCROLL, 0, scroll.Lines);
}

}  // namespace

// text is zero-terminated at length.
void TEdit::appendText(const char* text, std::size_t length) {
    if (!created() || length == 0) return;
    AppendS job{hwndOf(this), text, length};
    callOnThreadOf(parent(), appendNow, &job);
}

bool TEdit::modified() {
    return created() && SendMessageA(hwndOf(this), EM_GETMODIFY, 0, 0) != 0;
}

void TEdit::setReadOnly() {
    if (created()) SendMessageA(hwndOf(this), EM_SETREADONLY, TRUE, 0);
}

int TEdit::lineCount() {
    return created() ? static_cast<int>(SendMessageA(hwndOf(this), EM_GETLINECOUNT, 0, 0)) : 0;
}

void TEdit::scrollLines(int lines) {
    if (!created()) return;
    ScrollS job{hwndOf(this), lines};
    callOnThreadOf(parent(), scrollNow, &job);
}

TFont::TFont(const char* face, int height, int width, int weight, unsigned char charSet)
    : Handle(CreateFontA(height, width, 0, 0, weight, FALSE, FALSE, FALSE, charSet, 0, 0, 0, 0,
                         face)) {}

TFont::~TFont() {
    if (Handle != nullptr) DeleteObject(static_cast<HFONT>(Handle));
}
