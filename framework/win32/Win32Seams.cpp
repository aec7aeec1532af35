// Win32 implementation of the platform seams.
#include <windows.h>

#include <process.h>

#include <cstdio>
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

// The system's text for error, without its line end; its number when the
// system has none.
static void reasonOf(DWORD error, char* reason) {
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reason, ReasonSize, nullptr);
    while (length > 0 &&
           (reason[length - 1] == '\n' || reason[length - 1] == '\r' || reason[length - 1] == ' '))
        --length;
    if (length == 0)
        std::snprintf(reason, ReasonSize, "system error %lu", static_cast<unsigned long>(error));
    else
        reason[length] = '\0';
}

FileMade createFile(const char* path, void*& file, char* reason) {
    HANDLE made =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made != INVALID_HANDLE_VALUE) {
        file = made;
        return FileCreated;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return FileExists;
    reasonOf(error, reason);
    return FileRefused;
}

// In pieces of at most 1 GB: one WriteFile counts its bytes in a DWORD.
bool writeFile(void* file, const char* bytes, std::size_t count, char* reason) {
    while (count > 0) {
        const DWORD piece = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(file), bytes, piece, &written, nullptr)) {
            reasonOf(GetLastError(), reason);
            return false;
        }
        if (written == 0) {  // nothing more goes onto the disk
            reasonOf(ERROR_DISK_FULL, reason);
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

bool closeFile(void* file, char* reason) {
    const bool flushed = FlushFileBuffers(static_cast<HANDLE>(file));
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(static_cast<HANDLE>(file));
    if (flushed && closed) return true;
    reasonOf(flushed ? GetLastError() : error, reason);
    return false;
}

bool replaceFile(const char* from, const char* to, char* reason) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    reasonOf(GetLastError(), reason);
    return false;
}

void removeFile(const char* path) {
    DeleteFileA(path);
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
