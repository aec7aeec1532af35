#pragma once
// What the program's windows are called and the line its output window
// starts with in graphic mode: the code that makes the windows takes them
// from here, and so do the programs that find the windows from outside (the
// driver library windriver/, and through it the tools' drivers, the batch
// benchmark and the end-to-end tests). The class the framework registers for
// its own windows is in framework/WindowClass.h, the ids of the dialog and
// its controls in ResourceIds.h.
#include "resources/ResourceIds.h"

namespace names {

// The output window's caption: the release banner, which the run record
// holds as ReleaseStr (also the title of every message box).
inline constexpr char OutputCaption[] = " Tallywave Release v. 1.0 of 2003-05-22";
// The parameter dialog, the main frame's client.
inline constexpr char DialogClass[] = IDD_PARAMS_CLASS;
// The file-open dialog of Select and the Save As dialog of the output window.
inline constexpr char FileDialogCaption[] = "Select the Input File(s) to Count";
inline constexpr char SaveDialogCaption[] = "Save the Tallywave results";
// The hidden window that owns the help menu, and the help topics' frames in
// the menu's order.
inline constexpr char HelpOwnerCaption[] = "## Tallywave Help ##";
inline constexpr int HelpTopics = 6;
inline constexpr const char* HelpTopicCaptions[HelpTopics] = {
    "1 Tallywave Overview Help", "2 Height Parameter Help", "3 Width Parameter Help",
    "4 Check Command Help",      "5 Count Command Help",    "6 Help About Tallywave",
};
// The output window's first line in graphic mode (without its line end).
inline constexpr char StartLine[] = "Tallywave output messages will appear here.";

}  // namespace names
