#include "core/ErrHandleC.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sched.h>

#include "framework/PlatformSeams.h"

ErrHandleC ErrHandle;
std::atomic<int> Status{0};

namespace {

const char* const QuitQuestion =
    "QUIT Tallywave?    Are you sure?\n\nYES\t= quit now.\nNO\t= continue processing.";

const char* const FatalEnding = "\n\nFatal Error.   Aborting ...\n";

// The lines that close every report: status, the system error when the
// runtime recorded a known one, and the fatal ending. They are composed first
// so that a text too long for the message is cut and they still show.
int composeEnding(char* ending, int size, int status, int errorNumber, bool isFatal) {
    int len = std::snprintf(ending, size, "\n   -----> Status=%d *****\n", status);
    if (errorNumber > 0 && errorNumber <= seam::largestErrnoWithText())
        len += std::snprintf(ending + len, size - len, "\nSYSTEM ERROR: errno=%d : %s\n",
                             errorNumber, std::strerror(errorNumber));
    if (isFatal) len += std::snprintf(ending + len, size - len, "%s", FatalEnding);
    return std::min(len, size - 1);
}

}  // namespace

void SpinLockC::lock() {
    while (Held.test_and_set(std::memory_order_acquire)) sched_yield();
}

ErrHandleC::ErrHandleC() : Title{}, Msg{}, MsgLen(0), Kind(KindWarning) {
    clearMsg();
}

ErrHandleC::~ErrHandleC() {
    clearMsg();
}

void ErrHandleC::setTitle(const char* title) {
    {
        std::lock_guard<SpinLockC> guard(Lock);
        std::snprintf(Title, sizeof Title, "%s", title);
    }
    clearMsg();
}

void ErrHandleC::clearMsg() {
    {
        std::lock_guard<SpinLockC> guard(Lock);
        resetMsg();
    }
    errno = 0;
}

void ErrHandleC::resetMsg() {
    MsgLen = std::snprintf(Msg, sizeof Msg, "%s\n\n\n", Title);
    Kind = KindWarning;
}

int ErrHandleC::report(int status, const char* format, ...) {
    va_list args;
    va_start(args, format);
    composeAndShow(status, false, format, args);
    va_end(args);
    return status;
}

void ErrHandleC::fatal(int status, const char* format, ...) {
    va_list args;
    va_start(args, format);
    composeAndShow(status, true, format, args);
    va_end(args);
    std::exit(status);
}

// Shows the report, then clears the error number the calling thread may have
// picked up meanwhile (the box itself can set one).
void ErrHandleC::composeAndShow(int status, bool isFatal, const char* format, va_list args) {
    char text[MsgSize];
    showMsg(composeInto(text, status, isFatal, format, args), text);
    errno = 0;
}

// Only a Yes quits: any other way of closing the box (Wine lets Escape close a
// yes/no box with Cancel) counts as No, so callers see Yes or No alone.
int ErrHandleC::askQuit() {
    const int answer = showBox(seam::BoxYesNo | seam::BoxIconHand | seam::BoxDefButton2 |
                                   seam::BoxTaskModal | seam::BoxTopmost,
                               Title, QuitQuestion);
    return answer == seam::AnswerYes ? seam::AnswerYes : seam::AnswerNo;
}

int ErrHandleC::composeInto(char* text, int status, bool isFatal, const char* format,
                            va_list args) {
    const int errorNumber = errno;  // before formatting can touch it
    char ending[256];
    const int endingLen = composeEnding(ending, sizeof ending, status, errorNumber, isFatal);

    std::lock_guard<SpinLockC> guard(Lock);
    appendText(format, args, MsgSize - 1 - MsgLen - endingLen);
    std::memcpy(Msg + MsgLen, ending, endingLen + 1);
    MsgLen += endingLen;
    Kind = isFatal ? KindFatal : (status == 0 ? KindMessage : KindWarning);
    const int kind = Kind;
    std::memcpy(text, Msg, MsgLen + 1);
    resetMsg();
    return kind;
}

// Appends the formatted text to Msg, cut to at most room characters.
void ErrHandleC::appendText(const char* format, va_list args, int room) {
    if (room <= 0) return;
    const int written = std::vsnprintf(Msg + MsgLen, room + 1, format, args);
    if (written > 0) MsgLen += std::min(written, room);
    Msg[MsgLen] = '\0';
}

int ErrHandleC::showMsg(int kind, const char* text) {
    if (kind == KindMessage) return showMessage(text);
    if (kind == KindWarning) return showWarning(text);
    return showFatal(text);
}
