#include "engine/WindowCrewC.h"

#include <pthread.h>

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

// Holds a mutex for its scope.
class LockC {
  public:
    explicit LockC(pthread_mutex_t& mutex) : Mutex(mutex) { pthread_mutex_lock(&Mutex); }
    ~LockC() { pthread_mutex_unlock(&Mutex); }
    LockC(const LockC&) = delete;
    LockC& operator=(const LockC&) = delete;

  private:
    pthread_mutex_t& Mutex;
};

}  // namespace

struct WindowCrewC::SharedS {
    pthread_mutex_t Mutex;
    pthread_cond_t WorkReady;  // a window was published, or the worker is to end
    pthread_cond_t WorkDone;   // a window was scanned
    pthread_t Thread;
    bool Started = false;
};

WindowCrewC* WindowCrewC::make() {
    SharedS* shared = new (std::nothrow) SharedS;
    if (shared == nullptr) return nullptr;
    const bool mutex = pthread_mutex_init(&shared->Mutex, nullptr) == 0;
    const bool ready = pthread_cond_init(&shared->WorkReady, nullptr) == 0;
    const bool done = pthread_cond_init(&shared->WorkDone, nullptr) == 0;
    WindowCrewC* crew = mutex && ready && done ? new (std::nothrow) WindowCrewC(shared) : nullptr;
    if (crew != nullptr) return crew;
    if (mutex) pthread_mutex_destroy(&shared->Mutex);
    if (ready) pthread_cond_destroy(&shared->WorkReady);
    if (done) pthread_cond_destroy(&shared->WorkDone);
    delete shared;
    return nullptr;
}

WindowCrewC::WindowCrewC(SharedS* shared)
    : Shared(shared),
      Job(nullptr),
      Windows{},
      Ends{},
      Done{},
      Published(0),
      Claimed(0),
      WorkerBusy(false),
      Exit(false),
      X87Control(x87Control()),
      SseControl(sseControl()) {}

// Waits with the mutex held until ready(). The other thread is usually
// about to make it so: a while of spinning first spares most of the
// blockings, which cost much more where the system mediates them (Wine).
template <typename ReadyFn>
void WindowCrewC::waitFor(WaitE what, ReadyFn ready) {
    pthread_cond_t& condition = what == ForWork ? Shared->WorkReady : Shared->WorkDone;
    for (int turn = 0; turn < SpinTurns && !ready(); ++turn) {
        pthread_mutex_unlock(&Shared->Mutex);
        spinPause();
        pthread_mutex_lock(&Shared->Mutex);
    }
    while (!ready()) pthread_cond_wait(&condition, &Shared->Mutex);
}

void WindowCrewC::finish() {
    LockC lock(Shared->Mutex);
    Published = Claimed;
    while (WorkerBusy) pthread_cond_wait(&Shared->WorkDone, &Shared->Mutex);
    Job = nullptr;
}

WindowCrewC::~WindowCrewC() {
    if (Shared->Started) {
        {
            LockC lock(Shared->Mutex);
            Exit = true;
            pthread_cond_signal(&Shared->WorkReady);
        }
        pthread_join(Shared->Thread, nullptr);
    }
    pthread_cond_destroy(&Shared->WorkDone);
    pthread_cond_destroy(&Shared->WorkReady);
    pthread_mutex_destroy(&Shared->Mutex);
    delete Shared;
}

bool WindowCrewC::startWorker() {
    if (Shared->Started) return true;
    Shared->Started = pthread_create(&Shared->Thread, nullptr, work, this) == 0;
    return Shared->Started;
}

void WindowCrewC::begin(readwindows::WindowJobC* job) {
    LockC lock(Shared->Mutex);
    Job = job;
    Published = 0;
    Claimed = 0;
    X87Control = x87Control();
    SseControl = sseControl();
}

void WindowCrewC::publish(const readwindows::WindowS& window) {
    LockC lock(Shared->Mutex);
    Windows[Published % MaxWindows] = window;
    Done[Published % MaxWindows] = false;
    ++Published;
    pthread_cond_signal(&Shared->WorkReady);
}

bool WindowCrewC::claim(unsigned& number) {
    LockC lock(Shared->Mutex);
    if (Claimed == Published) return false;
    number = Claimed++;
    return true;
}

void WindowCrewC::scan(unsigned number, uint32_t maxReads) {
    const readwindows::ScanEndS end = Job->scan(window(number), maxReads);
    LockC lock(Shared->Mutex);
    record(number, end);
}

// With the mutex held.
void WindowCrewC::record(unsigned number, readwindows::ScanEndS end) {
    Ends[number % MaxWindows] = end;
    Done[number % MaxWindows] = true;
    pthread_cond_broadcast(&Shared->WorkDone);
}

bool WindowCrewC::isDone(unsigned number) {
    LockC lock(Shared->Mutex);
    return Done[number % MaxWindows];
}

void WindowCrewC::waitDone(unsigned number) {
    LockC lock(Shared->Mutex);
    waitFor(ForScan, [this, number] { return Done[number % MaxWindows]; });
}

void* WindowCrewC::work(void* crew) {
    static_cast<WindowCrewC*>(crew)->workLoop();
    return nullptr;
}

// Waits for a window, claims and scans it, with the pass thread's
// floating-point settings, until told to end.
void WindowCrewC::workLoop() {
    pthread_mutex_lock(&Shared->Mutex);
    for (;;) {
        waitFor(ForWork, [this] { return Exit || (Job != nullptr && Claimed < Published); });
        if (Exit) break;
        const unsigned number = Claimed++;
        const readwindows::WindowS scanning = window(number);
        readwindows::WindowJobC* job = Job;
        const uint16_t x87 = X87Control;
        const uint32_t sse = SseControl;
        WorkerBusy = true;
        pthread_mutex_unlock(&Shared->Mutex);
        if (x87Control() != x87) setX87Control(x87);
        if (sseControl() != sse) setSseControl(sse);
        const readwindows::ScanEndS end = job->scan(scanning, UINT32_MAX);
        pthread_mutex_lock(&Shared->Mutex);
        WorkerBusy = false;
        record(number, end);
    }
    pthread_mutex_unlock(&Shared->Mutex);
}
