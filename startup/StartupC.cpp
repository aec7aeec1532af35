#include "startup/StartupC.h"

#include <cstdio>

#include "core/ErrHandleC.h"

static_assert(int(RunModeC::CWDSize) == int(SysContextC::CWDSize) &&
                  int(RunModeC::DateSize) == int(SysContextC::DateSize) &&
                  int(RunModeC::TimeSize) == int(SysContextC::TimeSize) &&
                  int(RunModeC::UserSize) == int(SysContextC::UserSize),
              "the run record holds each context text whole");

StartupC::StartupC(char** argv) : InvokeParseC(argv), SysContext() {
    copyContextTexts();
}

StartupC::~StartupC() {
    Status = SysContext.releaseAll();
    if (Status < 0)
        ErrHandle.report(Status,
                         "StartupC::dtor: SysContextC deallocation failure.\n"
                         "CAUTION:  Possible memory leak (max about 2.5kBytes).");
}

// Each text is copied only when still fresh, and becomes taken; otherwise the
// field stays empty.
void StartupC::copyContextTexts() {
    char* const fields[] = {CWD, Date, Time, User};
    const int sizes[] = {CWDSize, DateSize, TimeSize, UserSize};
    for (int id = 0; id < SysContextC::TextCount; ++id) {
        const char* text = SysContext.takeText(SysContextC::TextId(id));
        std::snprintf(fields[id], sizes[id], "%s", text != nullptr ? text : "");
    }
}
