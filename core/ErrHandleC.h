#pragma once
// The one reporting facility of the process: information, warning and fatal
// boxes built from a printf-style text plus a status line, and the quit
// question.
#include <atomic>
#include <cstdarg>

#include "core/MessageBoxC.h"

// gnu_printf: the C99 formats of mingw's conforming stdio; clang knows no
// gnu_printf and checks the same formats as printf.
#if defined(__clang__)
#define TALLY_PRINTF_LIKE(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define TALLY_PRINTF_LIKE(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#endif

// Serialises the few microseconds in which a report is composed. std::mutex
// would pull the C++ exception machinery (about 200 KB) into the program.
class SpinLockC {
  public:
    void lock();
    void unlock() { Held.clear(std::memory_order_release); }

  private:
    std::atomic_flag Held = ATOMIC_FLAG_INIT;
};

class ErrHandleC : public MessageBoxC {
  public:
    enum Sizes { TitleSize = 64, MsgSize = 12289 };
    enum BoxKind { KindMessage = 0, KindWarning = 1, KindFatal = 2 };

    ErrHandleC();
    ~ErrHandleC();
    ErrHandleC(const ErrHandleC&) = delete;
    ErrHandleC& operator=(const ErrHandleC&) = delete;

    // Copies the title (cut to fit) and clears the message.
    void setTitle(const char* title);
    // Msg back to the title and three line ends, Kind to warning, errno of
    // the calling thread to 0.
    void clearMsg();
    // Information box for status 0, warning box otherwise; returns status.
    int report(int status, const char* format, ...) TALLY_PRINTF_LIKE(3, 4);
    // Fatal box, then the process ends with status as its exit code.
    [[noreturn]] void fatal(int status, const char* format, ...) TALLY_PRINTF_LIKE(3, 4);
    // The Yes/No quit question, No the default; returns Yes or No.
    int askQuit();

  private:
    void composeAndShow(int status, bool isFatal, const char* format, va_list args);
    // Composes the report into Msg and copies it to text (MsgSize bytes);
    // Msg is cleared again before the lock is given up, so no box is ever
    // shown while the lock is held. Returns the kind of box to show.
    int composeInto(char* text, int status, bool isFatal, const char* format, va_list args);
    void appendText(const char* format, va_list args, int room);
    void resetMsg();
    int showMsg(int kind, const char* text);

    SpinLockC Lock;  // serialises composition into Msg across threads
    char Title[TitleSize];
    char Msg[MsgSize];
    int MsgLen;
    int Kind;
};

extern ErrHandleC ErrHandle;

// Last status of the program: 0 success, negative a failure code. Shared by
// both threads of graphic mode, hence atomic.
extern std::atomic<int> Status;
