#pragma once
// The worker thread of the windowed passes, and what it shares with the
// pass's thread during a run: the pass's thread publishes each window it
// fetches, either thread claims the oldest window no one has claimed and
// scans it, and the pass's thread waits for a window to be scanned before it
// merges it. The worker only scans: it never writes to the output window,
// the lists or the reports. It works with the floating-point settings of
// the pass's thread (the x87 precision control among them).
#include <cstdint>

#include "engine/ReadWindows.h"

class WindowCrewC {
  public:
    enum { MaxWindows = 4 };  // windows published and not yet merged, at most

    // A crew whose thread starts on the first startWorker; none when its
    // memory or its locks cannot be had.
    static WindowCrewC* make();
    // Ends the worker and waits for it.
    ~WindowCrewC();
    WindowCrewC(const WindowCrewC&) = delete;
    WindowCrewC& operator=(const WindowCrewC&) = delete;

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

  private:
    struct SharedS;
    explicit WindowCrewC(SharedS* shared);
    static void* work(void* crew);
    void workLoop();
    void record(unsigned number, readwindows::ScanEndS end);
    enum WaitE { ForWork, ForScan };
    template <typename ReadyFn>
    void waitFor(WaitE what, ReadyFn ready);
    enum { SpinTurns = 200 };

    SharedS* Shared;  // the thread and its locks
    readwindows::WindowJobC* Job;
    readwindows::WindowS Windows[MaxWindows];
    readwindows::ScanEndS Ends[MaxWindows];
    bool Done[MaxWindows];
    unsigned Published;
    unsigned Claimed;
    bool WorkerBusy;  // the worker scans a window
    bool Exit;
    uint16_t X87Control;  // the pass thread's settings
    uint32_t SseControl;
};
