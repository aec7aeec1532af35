#include "textui/NewThreadC.h"

#include <new>

#include "core/ErrHandleC.h"
#include "framework/TThread.h"
#include "resources/WindowNames.h"

std::atomic<bool> TextAppC::StartLineShown{false};

TextAppC::TextAppC(const char* name, QuitterS* quitter)
    : TApplication(name), QuitterP(quitter), TextWinCP(nullptr), TextFrameCP(nullptr) {
    TextWinCP = new (std::nothrow) TextWinC();
    if (TextWinCP == nullptr)
        ErrHandle.fatal(-1, "TallyTAppC TextAppC allocate TextWinCP failed: NULL pointer.");
    TextFrameCP = new (std::nothrow) TextFrameC(nullptr, name, TextWinCP, *quitter);
    if (TextFrameCP == nullptr)
        ErrHandle.fatal(-3, "TallyTAppC TextAppC allocate TextFrameCP failed: NULL pointer.");
}

// The frame goes with the application once it is its main window; before
// that (the thread never ran) it is freed here, the text window with it.
TextAppC::~TextAppC() {
    if (!FrameAdopted) delete TextFrameCP;
    if (QuitterP->QuitState.load() == QuitterS::Running)
        QuitterP->QuitState.store(QuitterS::TakenDown);
}

void TextAppC::buildMainWindow() {
    setShowState(ShowNormal);
    TextFrameCP->setUp(ws::Overlapped, FrameLeft, FrameTop);
    setMainWindow(TextFrameCP);
    FrameAdopted = true;
}

// The line is written before the flag is set, so whoever sees the flag sees
// the text too.
bool TextAppC::onIdle(long idleCount) {
    if (QuitterP->QuitState.load() == QuitterS::TakeDownAsked) {
        takeDown();
        return false;
    }
    if (!StartLineShown.load(std::memory_order_acquire)) {
        TextWinCP->setLine(names::StartLine);
        StartLineShown.store(true, std::memory_order_release);
    }
    return TApplication::onIdle(idleCount);
}

bool TextAppC::confirmClose() {
    return QuitterP->QuitState.load() != QuitterS::Running;
}

void TextAppC::takeDown() {
    TextFrameCP->destroyWindow();
}

TextWinC* TextAppC::readyWindow() const {
    return StartLineShown.load(std::memory_order_acquire) ? TextWinCP : nullptr;
}

void TextAppC::bringForward() {
    if (readyWindow() != nullptr) TextFrameCP->setForeground();
}

// The quit record's state moves to taken down when the windows are gone;
// the done mark is the thread's last touch of this object.
void TextAppC::runInThread() {
    ThreadId.store(thread::currentId());
    const int result = Run();
    Status = result;
    if (result < 0)
        ErrHandle.fatal(result,
                        "Tallywave NewThreadC::newThread():\nTextXP->Run() returned failure.\n"
                        "Can't create text output window.");
    QuitterP->QuitState.store(QuitterS::TakenDown);
    ThreadDone.store(true, std::memory_order_release);
}

// Asking is setting the take-down state; the thread sees it at its next idle
// step, which a message to the thread brings about.
bool TextAppC::endThread(unsigned waitMs) {
    int32_t running = QuitterS::Running;
    QuitterP->QuitState.compare_exchange_strong(running, QuitterS::TakeDownAsked);
    const unsigned stepMs = 10;
    for (unsigned waited = 0; !threadDone() && waited < waitMs; waited += stepMs) {
        if (unsigned long id = ThreadId.load()) thread::wake(id);
        thread::sleepMillis(stepMs);
    }
    return threadDone();
}

NewThreadC::NewThreadC(QuitterS* quitter) : ThreadHandle(thread::begin(newThread, quitter)) {
    if (ThreadHandle == thread::Failed)
        ErrHandle.fatal(-3, "NewThreadC ctor:  _beginthread() failed.");
}

void NewThreadC::newThread(void* quitter) {
    TextAppC* TextXP = static_cast<QuitterS*>(quitter)->TextAppP.load();
    TextXP->runInThread();
}

void releaseTextApp(QuitterS& quitter) {
    TextAppC* app = quitter.TextAppP.load();
    if (app == nullptr || !app->endThread(TextAppC::ThreadEndWaitMs)) return;
    delete app;
    quitter.TextAppP.store(nullptr);
}
