// Win32 side of the controls and services the graphic front end uses: edit
// fields with a text limit and a typing filter, bitmaps and brushes, the
// pop-up menu, the file dialogs and thread start.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <process.h>

#include <cstring>

#include "framework/TEdit.h"
#include "framework/TFileOpenDialog.h"
#include "framework/TGdiObjects.h"
#include "framework/TPopupMenu.h"
#include "framework/TThread.h"

static_assert(TPopupMenu::Grayed == MF_GRAYED && TPopupMenu::Separator == MF_SEPARATOR &&
                  TPopupMenu::CenterAlign == TPM_CENTERALIGN,
              "menu flags must carry Win32's values");
static_assert(TOpenSaveDataS::AllowMultiSelect == OFN_ALLOWMULTISELECT &&
                  TOpenSaveDataS::OverwritePrompt == OFN_OVERWRITEPROMPT &&
                  TOpenSaveDataS::NoChangeDir == OFN_NOCHANGEDIR &&
                  TOpenSaveDataS::Explorer == OFN_EXPLORER &&
                  TOpenSaveDataS::LongNames == OFN_LONGNAMES &&
                  TOpenSaveDataS::BufferTooSmall == FNERR_BUFFERTOOSMALL,
              "file-dialog values must carry Win32's values");

namespace {

HWND hwndOf(const TWindow* window) {
    return window != nullptr ? static_cast<HWND>(window->handle()) : nullptr;
}

// The procedure of the system's edit class, to which filtered edits pass on.
WNDPROC EditClassProcedure = nullptr;

// Whether the clipboard's text may go into edit as a whole.
bool clipboardAccepted(const TFilterValidator& validator, HWND edit) {
    bool accepted = true;
    if (!OpenClipboard(edit)) return false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            accepted = validator.acceptsAll(text);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return accepted;
}

// An edit with a validator: characters it does not accept are refused with a
// beep, whether typed or pasted. Editing keys (below the blank) pass.
LRESULT CALLBACK filterProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* edit = reinterpret_cast<TEdit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (edit != nullptr && edit->Validator != nullptr) {
        const auto c = static_cast<unsigned char>(wParam);
        const bool refused = (msg == WM_CHAR && c >= ' ' && !edit->Validator->accepts(c)) ||
                             (msg == WM_PASTE && !clipboardAccepted(*edit->Validator, hwnd));
        if (refused) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    return CallWindowProcA(EditClassProcedure, hwnd, msg, wParam, lParam);
}

}  // namespace

void TEdit::onCreated() {
    TWindow::onCreated();
    HWND edit = hwndOf(this);
    if (TextLimit != 0) SendMessageA(edit, EM_LIMITTEXT, TextLimit - 1, 0);
    if (Validator != nullptr) {
        SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(filterProcedure)));
        if (EditClassProcedure == nullptr) EditClassProcedure = previous;
    }
}

void TEdit::getLine(char* buffer, int size, int line) {
    if (size <= 0) return;
    buffer[0] = '\0';
    if (!created() || size < 2) return;
    WORD room = static_cast<WORD>(size - 1 > 0xFFFF ? 0xFFFF : size - 1);
    std::memcpy(buffer, &room, sizeof room);  // EM_GETLINE reads its room from the buffer
    const LRESULT copied =
        SendMessageA(hwndOf(this), EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer));
    buffer[copied > 0 && copied < size ? copied : 0] = '\0';
}

void TEdit::allowTyping(bool allowed) {
    if (created()) SendMessageA(hwndOf(this), EM_SETREADONLY, allowed ? FALSE : TRUE, 0);
}

TBitmap::TBitmap(int resourceId)
    : Handle(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId))),
      ResourceId(resourceId) {}

TBitmap::~TBitmap() {
    if (Handle != nullptr) DeleteObject(static_cast<HBITMAP>(Handle));
}

void TBitmap::drawAt(void* dc, int x, int y) const {
    BITMAP size;
    if (Handle == nullptr || !GetObjectA(static_cast<HBITMAP>(Handle), sizeof size, &size)) return;
    HDC memory = CreateCompatibleDC(static_cast<HDC>(dc));
    HGDIOBJ previous = SelectObject(memory, static_cast<HBITMAP>(Handle));
    BitBlt(static_cast<HDC>(dc), x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

TBrush::TBrush(unsigned long rgb) : Handle(CreateSolidBrush(static_cast<COLORREF>(rgb))) {}

TBrush::~TBrush() {
    if (Handle != nullptr) DeleteObject(static_cast<HBRUSH>(Handle));
}

TPopupMenu::TPopupMenu() : Handle(CreatePopupMenu()) {}

TPopupMenu::~TPopupMenu() {
    if (Handle != nullptr) DestroyMenu(static_cast<HMENU>(Handle));
}

bool TPopupMenu::appendMenu(unsigned flags, int id, const char* text) {
    return Handle != nullptr &&
           AppendMenuA(static_cast<HMENU>(Handle), flags, static_cast<UINT_PTR>(id), text);
}

bool TPopupMenu::trackPopupMenu(unsigned flags, int x, int y, TWindow* owner) {
    return Handle != nullptr &&
           TrackPopupMenu(static_cast<HMENU>(Handle), flags, x, y, 0, hwndOf(owner), nullptr);
}

// The filter's bars become the NULs the system expects between its parts.
int TFileOpenDialog::execute() {
    char filter[512] = {};
    const std::size_t length = std::strlen(Data.Filter);
    if (length + 2 > sizeof filter) return TOpenSaveDataS::Cancel;
    for (std::size_t i = 0; i < length; ++i)
        filter[i] = Data.Filter[i] == '|' ? '\0' : Data.Filter[i];
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwndOf(Owner);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = static_cast<DWORD>(Data.FilterIndex);
    dialog.lpstrFile = Data.FileName;
    dialog.nMaxFile = Data.MaxPath;
    dialog.lpstrInitialDir =
        Data.InitialDir != nullptr && *Data.InitialDir ? Data.InitialDir : nullptr;
    dialog.lpstrTitle = Data.Title;
    dialog.lpstrDefExt = Data.DefExt;
    dialog.Flags = Data.Flags;
    if (LOBYTE(LOWORD(GetVersion())) >= 4) dialog.Flags |= OFN_EXPLORER;
    const BOOL chosen = Saving ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    Error = CommDlgExtendedError();
    return chosen ? TOpenSaveDataS::Ok : TOpenSaveDataS::Cancel;
}

namespace thread {

std::uintptr_t begin(BodyFn body, void* arg) {
    return _beginthread(body, 0, arg);
}

unsigned long currentId() {
    return GetCurrentThreadId();
}

void wake(unsigned long id) {
    PostThreadMessageA(id, WM_NULL, 0, 0);
}

void sleepMillis(unsigned ms) {
    Sleep(ms);
}

}  // namespace thread
