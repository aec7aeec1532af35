#pragma once
// The start-up object: the run record, the file lists and parameters, the
// parsed invocation line and the system context, built once by the entry and
// read by every front end and by the engine.
#include "startup/InvokeParseC.h"
#include "startup/SysContextC.h"

class StartupC : public InvokeParseC {
  public:
    // Parses argv, probes the system, then copies the four context texts into
    // the run record.
    explicit StartupC(char** argv);
    // Releases the context texts, warning when the release fails.
    ~StartupC();

    SysContextC SysContext;

  private:
    void copyContextTexts();
};
