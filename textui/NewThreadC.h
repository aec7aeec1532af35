#pragma once
// Graphic mode's output window: a second application, TextAppC, whose message
// loop runs in a thread of its own that NewThreadC starts, so the window
// repaints and lets the user copy text while the main thread counts. The end
// of the two threads is agreed through the entry's quit record.
#include <atomic>
#include <cstdint>

#include "core/RunModeC.h"
#include "framework/TApplication.h"
#include "textui/TallyTAppC.h"
#include "textui/TextWinC.h"

class TextAppC : public TApplication {
  public:
    enum FrameGeometry { FrameLeft = 10, FrameTop = 300 };
    enum { ThreadEndWaitMs = 10000 };

    // Makes the window objects (their windows come later, in the thread).
    TextAppC(const char* name, QuitterS* quitter);
    ~TextAppC() override;

    // The body of the output-window thread, run once the thread is started.
    void runInThread();
    // Whether the thread has ended its work: from then on it touches nothing
    // of this object or of the quit record.
    bool threadDone() const { return ThreadDone.load(std::memory_order_acquire); }
    // The output window once it shows its start-up line, else none: only
    // then may the main thread write to it.
    TextWinC* readyWindow() const;
    // Brings the output window forward, once it is there.
    void bringForward();
    // Has the thread take its windows down (unless it has) and waits up to
    // waitMs for it to end; true when it has ended.
    bool endThread(unsigned waitMs);

    QuitterS* QuitterP;
    TextWinC* TextWinCP;
    TextFrameC* TextFrameCP;

    // Set once the start-up line has been written.
    static std::atomic<bool> StartLineShown;

  protected:
    void buildMainWindow() override;
    bool onIdle(long idleCount) override;
    // The output window has no close box and ends only through the quit
    // handshake: a close asked for otherwise (Alt+F4) is refused.
    bool confirmClose() override;

  private:
    // Destroys the frame, the text window with it, which ends the loop.
    void takeDown();

    std::atomic<bool> ThreadDone{false};
    std::atomic<unsigned long> ThreadId{0};
    bool FrameAdopted = false;  // the frame belongs to the application
};

class NewThreadC {
  public:
    // Starts the output-window thread on quitter->TextAppP; fatal when the
    // thread cannot be started. The object may go at once: nothing waits.
    explicit NewThreadC(QuitterS* quitter);
    static void newThread(void* quitter);

    std::uintptr_t ThreadHandle;
};

// After the graphic run: has the output-window thread end (taking its windows
// down itself when no quit was confirmed), then frees its application. An
// application whose thread does not end in time is left alone, so no thread
// ever uses a freed object.
void releaseTextApp(QuitterS& quitter);
