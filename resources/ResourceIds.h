#pragma once
// Resource and control ids shared by the program's code, resources/tallywave.rc
// and the programs that work its windows from outside (windriver/). Plain
// #defines, as the resource compiler reads this file too.

// The application icon.
#define IDI_TALLYWAVE 258
// The parameter dialog's template, the window class it names and the banner
// it shows.
#define IDD_PARAMS 257
#define IDD_PARAMS_CLASS "DialogBoxC"
#define IDB_BANNER 259
// The controls the program adds to the parameter dialog: the Height and Width
// fields and the five buttons (their labels have no id).
#define IDC_HEIGHT_FIELD 260
#define IDC_WIDTH_FIELD 261
#define IDC_HELP_BUTTON 272
#define IDC_SELECT_BUTTON 273
#define IDC_QUIT_BUTTON 274
#define IDC_CHECK_BUTTON 275
#define IDC_COUNT_BUTTON 276
// Button faces: each button's down and focus faces follow its up face at
// these distances.
#define IDB_DOWN_OFFSET 2000
#define IDB_FOCUS_OFFSET 4000
#define IDB_HELP_UP 1272
#define IDB_SELECT_UP 1273
#define IDB_QUIT_UP 1274
#define IDB_CHECK_UP 1275
#define IDB_COUNT_UP 1276
#define IDB_HELP_DOWN (IDB_HELP_UP + IDB_DOWN_OFFSET)
#define IDB_SELECT_DOWN (IDB_SELECT_UP + IDB_DOWN_OFFSET)
#define IDB_QUIT_DOWN (IDB_QUIT_UP + IDB_DOWN_OFFSET)
#define IDB_CHECK_DOWN (IDB_CHECK_UP + IDB_DOWN_OFFSET)
#define IDB_COUNT_DOWN (IDB_COUNT_UP + IDB_DOWN_OFFSET)
#define IDB_HELP_FOCUS (IDB_HELP_UP + IDB_FOCUS_OFFSET)
#define IDB_SELECT_FOCUS (IDB_SELECT_UP + IDB_FOCUS_OFFSET)
#define IDB_QUIT_FOCUS (IDB_QUIT_UP + IDB_FOCUS_OFFSET)
#define IDB_CHECK_FOCUS (IDB_CHECK_UP + IDB_FOCUS_OFFSET)
#define IDB_COUNT_FOCUS (IDB_COUNT_UP + IDB_FOCUS_OFFSET)
