// Program entry: names the reporting facility, sets the "C" locale, builds the
// start-up object (invocation line and system probe), runs the one front end
// that the run mode asks for, and returns its status as the exit code.
#include <clocale>
#include <new>

#include "startup/ErrHandleC.h"
#include "startup/StartupC.h"
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

// The graphic application with its output-window thread is added later; until
// then graphic mode ends the run here with status 0.
int runFrontEnd(StartupC& startup, QuitterS& quitter) {
    switch (startup.Mode) {
        case ModeSilent:
        case ModeText:
            runTextMode(startup, quitter);
            break;
        case ModeGraphic:
            Status = 0;  // output-window thread and graphic application: added later
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
