// The windowing layer in memory, for native unit tests: windows exist as
// objects with a handle that is only a mark, edit controls are stand-in
// controls, and the message loop runs idle steps and the scripted user.
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "framework/TApplication.h"
#include "framework/TDialog.h"
#include "framework/TEdit.h"
#include "framework/TFileOpenDialog.h"
#include "framework/TFont.h"
#include "framework/TGdiObjects.h"
#include "framework/TPopupMenu.h"
#include "framework/TThread.h"
#include "framework/TWindow.h"
#include "framework/native/StandIns.h"

namespace standin {
namespace {
std::mutex EditGuard;
std::map<const void*, EditControlC> Edits;
UserScript Script;

// Everything else the stand-in windows record; tests run the front ends on
// one thread, the output-window thread aside, which touches none of it.
std::map<const TPopupMenu*, std::vector<MenuEntryS>> Menus;
MenuTrackS LastTrack;
std::vector<int> Drawn;
std::map<const void*, unsigned long> BrushColors;  // the live brushes by handle
const TWindow* Foreground = nullptr;
std::mutex CloseGuard;  // both threads of graphic mode post and destroy
std::set<const TWindow*> ClosesPosted;
OpenDialogScript OpenScript;
OpenDialogScript SaveScript;
}  // namespace

std::vector<MenuEntryS> menuEntries(const TPopupMenu& menu) {
    return Menus[&menu];
}
MenuTrackS lastMenuTrack() {
    return LastTrack;
}
std::vector<int> drawnBitmaps() {
    return Drawn;
}
unsigned long brushColor(const void* handle) {
    const auto brush = BrushColors.find(handle);
    return brush != BrushColors.end() ? brush->second : NoBrush;
}
const TWindow* foregroundWindow() {
    return Foreground;
}
void setOpenDialogScript(OpenDialogScript script) {
    OpenScript = std::move(script);
}
void setSaveDialogScript(OpenDialogScript script) {
    SaveScript = std::move(script);
}

static void postCloseOf(const TWindow* window) {
    std::lock_guard<std::mutex> lock(CloseGuard);
    ClosesPosted.insert(window);
}

// Whether a close was posted to window, which is then forgotten.
static bool takeClose(const TWindow* window) {
    std::lock_guard<std::mutex> lock(CloseGuard);
    return ClosesPosted.erase(window) != 0;
}

static void forgetCloses() {
    std::lock_guard<std::mutex> lock(CloseGuard);
    ClosesPosted.clear();
}

void resetWindows() {
    Script = nullptr;
    LastTrack = MenuTrackS{};
    Drawn.clear();
    Foreground = nullptr;
    forgetCloses();
    OpenScript = nullptr;
    SaveScript = nullptr;
}

EditControlC& editOf(const TEdit* edit) {
    std::lock_guard<std::mutex> lock(EditGuard);
    return Edits[edit];
}

static void forgetEdit(const void* window) {
    std::lock_guard<std::mutex> lock(EditGuard);
    Edits.erase(window);
}

void setUserScript(UserScript script) {
    Script = std::move(script);
}

static bool userActs(TApplication& app) {
    return Script ? Script(app) : false;
}

}  // namespace standin

// An edit control starts with its title as its text, as on the platform.
bool TWindow::makeWindow() {
    Handle = this;
    if (Title != nullptr) setText(Title);
    return true;
}

void TWindow::releasePlatform() {
    Handle = nullptr;
    standin::forgetEdit(this);
}

// As on the platform, the window's children (and owned frames) go with it,
// and the parent hears of it.
void TWindow::destroyWindow() {
    if (Handle == nullptr) return;
    Handle = nullptr;
    standin::takeClose(this);
    for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling)
        child->destroyWindow();
    if (Parent != nullptr) Parent->onChildDestroyed(this);
}

void TWindow::show(int) {}
void TWindow::setFont(void*) {}

void TWindow::setForeground() {
    standin::Foreground = this;
}

void TWindow::postClose() {
    if (Handle != nullptr) standin::postCloseOf(this);
}

void* TWindow::bkgndBrush() {
    return this;
}

void* TWindow::colorControl(TDC&, int) {
    return bkgndBrush();
}

void TDC::setTextColor(unsigned long rgb) {
    TextColor = rgb;
}

void TDC::setBkModeTransparent() {
    Transparent = true;
}

void TWindow::setText(const char* text) {
    if (auto* edit = dynamic_cast<TEdit*>(this)) standin::editOf(edit).replaceText(text);
}

std::intptr_t TWindow::defaultMessage(unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::intptr_t TWindow::handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return defaultMessage(msg, wParam, lParam);
}

void TFrameWindow::fitClient() {}
void TFrameWindow::shrinkToClient() {}

bool TDialog::makeWindow() {
    return TWindow::makeWindow();
}

std::intptr_t TDialog::handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return TWindow::handleMessage(msg, wParam, lParam);
}

void TDialog::onCreated() {
    TWindow::onCreated();
}

std::intptr_t TDialog::defaultMessage(unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::intptr_t TFrameWindow::handleMessage(unsigned msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    return TWindow::handleMessage(msg, wParam, lParam);
}

// A close the program asked for, else the scripted user's turn; a close
// (asked for, or the user's) that the application allows takes the main
// window down.
static void serveOnce(TApplication& app) {
    TWindow* main = app.mainWindow();
    const bool closePosted = standin::takeClose(main);
    if (!closePosted && standin::userActs(app)) return;
    if (app.canClose()) main->destroyWindow();
}

// Idle steps until idle has nothing more, then what serveOnce does; a close
// that the application refuses leaves the loop running. The loop ends when
// the main window is gone.
int TApplication::runLoop() {
    for (;;) {
        long idleCount = 0;
        while (onIdle(idleCount++)) {
        }
        if (!MainWindow->created()) return 0;
        serveOnce(*this);
        if (!MainWindow->created()) return 0;
    }
}

// One turn of what the loop does between its idle steps.
void TApplication::pumpWaiting() {
    if (MainWindow != nullptr && MainWindow->created()) serveOnce(*this);
}

void TEdit::replaceText(const char* text) {
    if (created()) standin::editOf(this).replaceText(text);
}

void TEdit::appendText(const char* text, std::size_t length) {
    if (created()) standin::editOf(this).appendText(text, length);
}

bool TEdit::modified() {
    return created() && standin::editOf(this).modified();
}

void TEdit::setReadOnly() {
    if (created()) standin::editOf(this).setReadOnly();
}

int TEdit::lineCount() {
    return created() ? standin::editOf(this).lineCount() : 0;
}

void TEdit::scrollLines(int lines) {
    if (created()) standin::editOf(this).scrollLines(lines);
}

TFont::TFont(const char*, int, int, int, unsigned char) : Handle(this) {}
TFont::~TFont() = default;

void TEdit::onCreated() {
    TWindow::onCreated();
}

void TEdit::allowTyping(bool allowed) {
    if (created()) standin::editOf(this).ReadOnly = !allowed;
}

void TEdit::getLine(char* buffer, int size, int line) {
    if (size <= 0) return;
    buffer[0] = '\0';
    if (!created()) return;
    const std::string& text = standin::editOf(this).Shown;
    std::size_t start = 0;
    for (int i = 0; i < line && start != std::string::npos; ++i) {
        start = text.find("\r\n", start);
        if (start != std::string::npos) start += 2;
    }
    if (start == std::string::npos) return;
    const std::string wanted = text.substr(start, text.find("\r\n", start) - start);
    const std::size_t kept = std::min(wanted.size(), static_cast<std::size_t>(size - 1));
    wanted.copy(buffer, kept);
    buffer[kept] = '\0';
}

TBitmap::TBitmap(int resourceId) : Handle(this), ResourceId(resourceId) {}
TBitmap::~TBitmap() = default;

void TBitmap::drawAt(void*, int, int) const {
    standin::Drawn.push_back(ResourceId);
}

TBrush::TBrush(unsigned long rgb) : Handle(this) {
    standin::BrushColors[Handle] = rgb;
}
TBrush::~TBrush() {
    standin::BrushColors.erase(Handle);
}

TPopupMenu::TPopupMenu() : Handle(this) {}

TPopupMenu::~TPopupMenu() {
    standin::Menus.erase(this);
}

bool TPopupMenu::appendMenu(unsigned flags, int id, const char* text) {
    standin::Menus[this].push_back({flags, id, text != nullptr ? text : ""});
    return true;
}

bool TPopupMenu::trackPopupMenu(unsigned flags, int x, int y, TWindow* owner) {
    standin::LastTrack = {x, y, flags, owner};
    return true;
}

int TFileOpenDialog::execute() {
    Error = 0;
    const standin::OpenDialogScript& script = Saving ? standin::SaveScript : standin::OpenScript;
    if (!script) return TOpenSaveDataS::Cancel;
    return script(Data, Error);
}

namespace thread {

std::uintptr_t begin(BodyFn body, void* arg) {
    std::thread(body, arg).detach();
    return 1;
}

unsigned long currentId() {
    return static_cast<unsigned long>(std::hash<std::thread::id>()(std::this_thread::get_id()));
}

void wake(unsigned long) {}

void sleepMillis(unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace thread
