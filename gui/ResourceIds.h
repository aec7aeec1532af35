#pragma once
// Resource ids shared by the program's code and gui/tallywave.rc. Plain
// #defines, as the resource compiler reads this file too.

// The application icon.
#define IDI_TALLYWAVE 258
