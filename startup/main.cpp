// Program entry: names the reporting facility, sets the "C" locale, builds the
// start-up object (invocation line and system probe), runs the one front end
// that the run mode asks for, and returns its status as the exit code.
#include <clocale>
#include <new>

#include "core/ErrHandleC.h"
#include "gui/TallyGAppC.h"
#include "startup/StartupC.h"
#include "textui/NewThreadC.h"
#include "textui/TallyTAppC.h"

namespace {

// Silent and text modes: one text-mode application, run until its window is
// closed; a failed run is shown once more here and becomes the exit code.
void runTextMode(StartupC& startup, QuitterS& quitter) {
    TallyTAppC* MainTAppP = new (std::nothrow) TallyTAppC(&startup, &quitter, ReleaseStr);
    if (MainTAppP == nullptr) ErrHandle.fatal(-3, "Tallywave TEXT mode MainTAppP==NULL pointer.");
    Status = MainTAppP->Run();
    if (Status < 0)
        Status = ErrHandle.report(Status, "Tallywave MainTAppP->Run() returned failure.");
    delete MainTAppP;
}

// Graphic mode, first step: the output window's application, run by a thread
// of its own; nothing waits for its window to appear.
void startOutputWindow(StartupC& startup, QuitterS& quitter) {
    quitter.TextAppP = new (std::nothrow) TextAppC(ReleaseStr, &quitter);
    if (quitter.TextAppP.load() == nullptr)
        ErrHandle.fatal(-3, "Tallywave Main: Quitter.TextAppP==NULL text output window ptr.");
    quitter.TextAppP.load()->TextFrameCP->Saver.setRun(startup.CWD, startup.SysContext.Started);
    NewThreadC started(&quitter);
}

// Graphic mode: the graphic application runs on this thread; afterwards the
// output window's thread is ended before its application is freed. The
// exit code is what the graphic run returned.
int runGraphicMode(StartupC& startup, QuitterS& quitter) {
    TallyGAppC* MainGAppP = new (std::nothrow) TallyGAppC(&startup, &quitter, ReleaseStr);
    if (MainGAppP == nullptr)
        ErrHandle.fatal(-5, "Tallywave GRAPHIC mode MainGAppP==NULL pointer.");
    int result = MainGAppP->Run();
    if (result < 0)
        result = ErrHandle.report(result, "Tallywave MainGAppP->Run() returned failure.");
    releaseTextApp(quitter);
    delete MainGAppP;
    return result;
}

int runFrontEnd(StartupC& startup, QuitterS& quitter) {
    switch (startup.Mode) {
        case ModeSilent:
        case ModeText:
            runTextMode(startup, quitter);
            break;
        case ModeGraphic:
            startOutputWindow(startup, quitter);
            Status = runGraphicMode(startup, quitter);  // the output thread has ended
            break;
        default:
            ErrHandle.fatal(-6, "Tallywave Main:  UNKNOWN Mode Exit.");
    }
    return Status;
}

}  // namespace

int main(int, char** argv) {
    ErrHandle.setTitle(ReleaseStr);
    if (std::setlocale(LC_ALL, "C") == nullptr)
        ErrHandle.report(-2,
                         "Tallywave Main:  Can't set LOCALE to default C.\n"
                         "setlocale(LC_ALL, \"C\") returned NULL.\n\n"
                         "Continuing anyway.  Filename, date, or time formats\nmay be irregular.");
    int result;
    {
        StartupC Startup(argv);
        QuitterS Quitter;  // all fields 0: running, entry destroys
        result = runFrontEnd(Startup, Quitter);
    }  // ~StartupC releases the context; the result is already taken
    return result;
}
