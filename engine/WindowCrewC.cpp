#include "engine/WindowCrewC.h"

#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint16_t x87Control() {
    uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

void setX87Control(uint16_t word) {
    __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory");
}

uint32_t sseControl() {
    uint32_t word = 0;
#if defined(__SSE__)
    __asm__ __volatile__("stmxcsr %0" : "=m"(word) : : "memory");
#endif
    return word;
}

void setSseControl([[maybe_unused]] uint32_t word) {
#if defined(__SSE__)
    __asm__ __volatile__("ldmxcsr %0" : : "m"(word) : "memory");
#endif
}

// A pause of a spinning thread, kind to the other thread of its core.
void spinPause() {
#if defined(__SSE2__)
    for (int i = 0; i < 64; ++i) _mm_pause();
#endif
}

}  // namespace

WindowCrewC* WindowCrewC::make() {
    return new (std::nothrow) WindowCrewC;
}

// Waits with the lock held until ready(). The other thread is usually about
// to make it so: a while of spinning first spares most of the blockings.
template <typename ReadyFn>
void WindowCrewC::waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& signal,
                          ReadyFn ready) {
    for (int turn = 0; turn < SpinTurns && !ready(); ++turn) {
        lock.unlock();
        spinPause();
        lock.lock();
    }
    signal.wait(lock, ready);
}

void WindowCrewC::finish() {
    std::unique_lock<std::mutex> lock(Mutex);
    Published = Claimed;
    WorkDone.wait(lock, [this] { return !WorkerBusy; });
    Job = nullptr;
}

WindowCrewC::~WindowCrewC() {
    if (Thread == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Exit = true;
    }
    WorkReady.notify_one();
    seam::joinThread(Thread);
}

bool WindowCrewC::startWorker() {
    if (Thread == nullptr) Thread = seam::startThread(work, this);
    return Thread != nullptr;
}

void WindowCrewC::begin(readwindows::WindowJobC* job) {
    std::lock_guard<std::mutex> lock(Mutex);
    Job = job;
    Published = 0;
    Claimed = 0;
    X87Control = x87Control();
    SseControl = sseControl();
}

void WindowCrewC::publish(const readwindows::WindowS& window) {
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Windows[Published % MaxWindows] = window;
        Done[Published % MaxWindows] = false;
        ++Published;
    }
    WorkReady.notify_one();
}

bool WindowCrewC::claim(unsigned& number) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (Claimed == Published) return false;
    number = Claimed++;
    return true;
}

void WindowCrewC::scan(unsigned number, uint32_t maxReads) {
    const readwindows::ScanEndS end = Job->scan(window(number), maxReads);
    std::lock_guard<std::mutex> lock(Mutex);
    record(number, end);
}

// With the mutex held.
void WindowCrewC::record(unsigned number, readwindows::ScanEndS end) {
    Ends[number % MaxWindows] = end;
    Done[number % MaxWindows] = true;
    WorkDone.notify_all();
}

bool WindowCrewC::isDone(unsigned number) {
    std::lock_guard<std::mutex> lock(Mutex);
    return Done[number % MaxWindows];
}

void WindowCrewC::waitDone(unsigned number) {
    std::unique_lock<std::mutex> lock(Mutex);
    waitFor(lock, WorkDone, [this, number] { return Done[number % MaxWindows]; });
}

unsigned WindowCrewC::workerScans() {
    std::lock_guard<std::mutex> lock(Mutex);
    return WorkerScans;
}

void WindowCrewC::work(void* crew) {
    static_cast<WindowCrewC*>(crew)->workLoop();
}

// Waits for a window, claims and scans it, with the pass thread's
// floating-point settings, until told to end.
void WindowCrewC::workLoop() {
    std::unique_lock<std::mutex> lock(Mutex);
    for (;;) {
        waitFor(lock, WorkReady,
                [this] { return Exit || (Job != nullptr && Claimed < Published); });
        if (Exit) break;
        const unsigned number = Claimed++;
        const readwindows::WindowS scanning = window(number);
        readwindows::WindowJobC* job = Job;
        const uint16_t x87 = X87Control;
        const uint32_t sse = SseControl;
        WorkerBusy = true;
        lock.unlock();
        if (x87Control() != x87) setX87Control(x87);
        if (sseControl() != sse) setSseControl(sse);
        const readwindows::ScanEndS end = job->scan(scanning, UINT32_MAX);
        lock.lock();
        WorkerBusy = false;
        ++WorkerScans;
        record(number, end);
    }
}
