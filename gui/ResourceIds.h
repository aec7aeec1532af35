#pragma once
// Resource ids shared by the program's code and gui/tallywave.rc. Plain
// #defines, as the resource compiler reads this file too.

// The application icon.
#define IDI_TALLYWAVE 258
// The parameter dialog's template and the banner it shows.
#define IDD_PARAMS 257
#define IDB_BANNER 259
// Button faces: up, then down (+2000) and focus (+4000).
#define IDB_HELP_UP 1272
#define IDB_SELECT_UP 1273
#define IDB_QUIT_UP 1274
#define IDB_CHECK_UP 1275
#define IDB_COUNT_UP 1276
