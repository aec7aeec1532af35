// The windowing layer in memory, for native unit tests: windows exist as
// objects with a handle that is only a mark, edit controls are stand-in
// controls, and the message loop runs idle steps and the scripted user.
#include <map>
#include <mutex>

#include "framework/TApplication.h"
#include "framework/TEdit.h"
#include "framework/TFont.h"
#include "framework/TWindow.h"
#include "framework/native/StandIns.h"

namespace standin {
namespace {
std::mutex EditGuard;
std::map<const void*, EditControlC> Edits;
UserScript Script;
}  // namespace

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

bool TWindow::makeWindow() {
    Handle = this;
    return true;
}

void TWindow::releasePlatform() {
    Handle = nullptr;
    standin::forgetEdit(this);
}

void TWindow::destroyWindow() {
    Handle = nullptr;
}

void TWindow::show(int) {}
void TWindow::setFont(void*) {}

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

std::intptr_t TFrameWindow::handleMessage(unsigned msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    return TWindow::handleMessage(msg, wParam, lParam);
}

// Idle steps until idle has nothing more, then the scripted user; a close
// that the application refuses leaves the loop running.
int TApplication::runLoop() {
    for (;;) {
        long idleCount = 0;
        while (onIdle(idleCount++)) {
        }
        if (standin::userActs(*this)) continue;
        if (canClose()) {
            MainWindow->destroyWindow();
            return 0;
        }
    }
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
