#pragma once
// The worker thread of the windowed passes, and what it shares with the
// pass's thread during a run: the pass's thread publishes each window it
// fetches, either thread claims the oldest window no one has claimed and
// scans it, and the pass's thread waits for a window to be scanned before it
// merges it. The worker only scans: it never writes to the output window,
// the lists or the reports. It works with the floating-point settings of
// the pass's thread (the x87 precision control among them).
//
// Who writes what, and how the other thread sees it (Mutex: every access on
// either thread holds it, unless the member's note says otherwise):
//
//   member       written by                  read by
//   Job          pass (begin, finish)        worker under Mutex; pass freely
//   Windows[]    pass (publish, under Mutex) worker under Mutex when it
//                                            claims; pass freely (its own)
//   Published    pass (publish, finish)      worker under Mutex; pass freely
//   Claimed      either, under Mutex         either, under Mutex
//   Ends[]       the scanning thread, under  pass, only after it saw the
//                Mutex (record)              window Done under Mutex
//   Done[]       pass (publish), scanning    either, under Mutex
//                thread (record); Mutex
//   WorkerBusy,  worker, under Mutex         pass, under Mutex
//   WorkerScans
//   Exit         pass, under Mutex           worker, under Mutex
//   X87Control,  pass (begin, under Mutex)   worker, under Mutex, copied
//   SseControl                               before it scans
//
// A window a thread has claimed is scanned by that thread alone; its slot is
// not fetched into again before the pass has merged it, so its bytes and
// scratch need no lock while it is scanned.
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "engine/ReadWindows.h"
#include "framework/PlatformSeams.h"

class WindowCrewC {
  public:
    enum { MaxWindows = 4 };  // windows published and not yet merged, at most

    // A crew whose thread starts on the first startWorker; none when its
    // memory cannot be had.
    static WindowCrewC* make();
    // Ends the worker and waits for it.
    ~WindowCrewC();
    WindowCrewC(const WindowCrewC&) = delete;
    WindowCrewC& operator=(const WindowCrewC&) = delete;

    // The calls below are the pass's thread's.
    // A run of job's windows, numbered from 0, begins; the floating-point
    // settings of the calling thread are the worker's for the run.
    void begin(readwindows::WindowJobC* job);
    // Window number published() is ready to be scanned.
    void publish(const readwindows::WindowS& window);
    unsigned published() const { return Published; }
    // Starts the worker unless it runs; false when it cannot be started (the
    // pass's thread then scans every window).
    bool startWorker();
    // Claims the oldest window no one has claimed: false when there is none.
    bool claim(unsigned& number);
    // Scans a window this thread claimed, at most maxReads reads.
    void scan(unsigned number, uint32_t maxReads);
    bool isDone(unsigned number);
    void waitDone(unsigned number);
    const readwindows::WindowS& window(unsigned number) const {
        return Windows[number % MaxWindows];
    }
    readwindows::ScanEndS end(unsigned number) const { return Ends[number % MaxWindows]; }
    // Ends the run: nothing more is claimed; returns once the worker scans
    // nothing.
    void finish();
    // The windows the worker has scanned so far, all runs together.
    unsigned workerScans();

  private:
    WindowCrewC() = default;
    static void work(void* crew);
    void workLoop();
    void record(unsigned number, readwindows::ScanEndS end);
    template <typename ReadyFn>
    void waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& signal,
                 ReadyFn ready);
    // Turns of spinning before a wait blocks. A window takes the other
    // thread some tens of microseconds at most; 200 pauses of 64 spin hints
    // cover that, and a block that the system mediates (Wine's server) costs
    // far more than the spin, so most waits end without blocking.
    enum { SpinTurns = 200 };

    std::mutex Mutex;
    std::condition_variable WorkReady;  // a window was published, or the worker is to end
    std::condition_variable WorkDone;   // a window was scanned
    seam::ThreadS* Thread = nullptr;    // the worker, once started
    readwindows::WindowJobC* Job = nullptr;
    readwindows::WindowS Windows[MaxWindows] = {};
    readwindows::ScanEndS Ends[MaxWindows] = {};
    bool Done[MaxWindows] = {};
    unsigned Published = 0;
    unsigned Claimed = 0;
    bool WorkerBusy = false;   // the worker scans a window
    unsigned WorkerScans = 0;  // worker, under Mutex; read under Mutex
    bool Exit = false;
    uint16_t X87Control = 0;  // the pass thread's settings
    uint32_t SseControl = 0;
};
