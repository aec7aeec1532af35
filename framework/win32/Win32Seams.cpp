// Win32 implementation of the platform seams.
#include <windows.h>

#include <process.h>

#include <cstdlib>
#include <new>

#include "framework/PlatformSeams.h"

namespace seam {

static_assert(BoxOk == MB_OK && BoxYesNo == MB_YESNO && BoxIconHand == MB_ICONHAND &&
                  BoxIconExclamation == MB_ICONEXCLAMATION &&
                  BoxIconInformation == MB_ICONINFORMATION && BoxDefButton2 == MB_DEFBUTTON2 &&
                  BoxTaskModal == MB_TASKMODAL && BoxTopmost == MB_TOPMOST,
              "box flags must carry Win32's values");
static_assert(AnswerOk == IDOK && AnswerCancel == IDCANCEL && AnswerYes == IDYES &&
                  AnswerNo == IDNO,
              "box answers must carry Win32's values");

int showMessageBox(unsigned flags, const char* caption, const char* text) {
    return MessageBoxExA(nullptr, text, caption, flags, 0);
}

// msvcrt's error texts are numbered 0 to _sys_nerr - 1.
int largestErrnoWithText() {
    return _sys_nerr - 1;
}

unsigned screenWidth() {
    return static_cast<unsigned>(GetSystemMetrics(SM_CXSCREEN));
}

unsigned screenHeight() {
    return static_cast<unsigned>(GetSystemMetrics(SM_CYSCREEN));
}

// GetUserNameA's result is not needed: an empty name is the failure.
void userName(char* name, unsigned size) {
    DWORD length = size;
    name[0] = '\0';
    GetUserNameA(name, &length);
    name[size - 1] = '\0';
}

// FILETIME counts 100 ns from 1601; the calendar time seconds from 1970.
std::time_t currentTime(std::time_t* out) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const std::time_t seconds =
        static_cast<std::time_t>((ticks - 116444736000000000ull) / 10000000);
    if (out != nullptr) *out = seconds;
    return seconds;
}

// The volatile store keeps the compiler from folding the allocation away.
bool canObtainBlock(unsigned long bytes) {
    void* volatile block = std::malloc(bytes);
    const bool obtained = block != nullptr;
    std::free(block);
    return obtained;
}

void findFiles(const char* pattern, FoundFileFn found, void* context) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    bool more = true;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            more = found(context, entry.cFileName);
    } while (more && FindNextFileA(search, &entry));
    FindClose(search);
}

struct ThreadS {
    HANDLE Handle;
    ThreadFn Fn;
    void* Arg;
};

namespace {

// The C runtime's own thread start, so that the thread may use the runtime.
unsigned __stdcall runThread(void* thread) {
    const ThreadS* started = static_cast<const ThreadS*>(thread);
    started->Fn(started->Arg);
    return 0;
}

}  // namespace

ThreadS* startThread(ThreadFn fn, void* arg) {
    ThreadS* thread = new (std::nothrow) ThreadS{nullptr, fn, arg};
    if (thread == nullptr) return nullptr;
    const uintptr_t handle = _beginthreadex(nullptr, 0, runThread, thread, 0, nullptr);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->Handle = reinterpret_cast<HANDLE>(handle);
    return thread;
}

void joinThread(ThreadS* thread) {
    if (thread == nullptr) return;
    WaitForSingleObject(thread->Handle, INFINITE);
    CloseHandle(thread->Handle);
    delete thread;
}

}  // namespace seam
