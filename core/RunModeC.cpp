#include "core/RunModeC.h"

const char ReleaseStr[] = " Tallywave Release v. 1.0 of 2003-05-22";

const HeaderLimitsS DefaultHeaderLimits = {
    999, 26000000, 7, 1, 5999, "TRUE", -1.0, 1.0,
};

const FileStateS StartFileState = {
    "none", 0, 0, 0, 0, "FALSE", 1.1, 0.0, 0, 0, 0.0, 0, 0,
};

RunModeC::RunModeC()
    : HeaderLimits(DefaultHeaderLimits),
      FileState(StartFileState),
      Mode(ModeGraphic),
      CWD{},
      Date{},
      Time{},
      User{} {}
