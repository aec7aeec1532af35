#pragma once
// Native stand-ins for the platform seams. Unit tests script what the platform
// answers and read back what the program asked it to show.
#include <functional>
#include <string>
#include <vector>

#include "framework/PlatformSeams.h"

class TApplication;
class TEdit;
class TPopupMenu;
class TWindow;
struct TOpenSaveDataS;

namespace standin {

struct ShownBox {
    unsigned flags;
    std::string caption;
    std::string text;
};

// Decides the button that closes a box; runs on the thread that shows it, with
// no lock held, so it may block (to hold a box "open").
using BoxAnswerer = std::function<int(const ShownBox&)>;

// Sets how boxes are answered; an empty answerer presses Enter, which picks
// the default button (OK, or No for a yes/no box whose second button is the
// default, else Yes).
void setBoxAnswerer(BoxAnswerer answerer);
std::vector<ShownBox> shownBoxes();
void clearShownBoxes();
// Writes each box to stderr as well: death tests read what a dying process showed.
void echoBoxesToStderr(bool on);

// The screen the program sees (start: 1024 x 768).
void setScreenSize(unsigned width, unsigned height);
// The user name the system gives ("" for none; start: "tester").
void setUserName(const std::string& name);
// The largest block, in bytes, that can be obtained (start: any size).
void setObtainableBytes(unsigned long bytes);

// An edit control in memory: what it shows, its marks, where the user stands
// (the selection, the caret at its end, and the first of ViewLines lines in
// view) and what was asked of it.
class EditControlC : public seam::EditControl {
  public:
    enum { ViewLines = 30 };

    void replaceText(const char* text) override;
    void appendText(const char* text, std::size_t length) override;
    bool modified() override { return Modified; }
    void setReadOnly() override { ReadOnly = true; }
    // Lines as the control counts them: one more than its line ends.
    int lineCount() override;
    // Recorded; the view moves only for a user who follows the end.
    void scrollLines(int lines) override;
    // What typing by the user does: the text changes unless read-only.
    void userTypes(const std::string& keys);
    // What the user does with the mouse: selects (the caret at end).
    void userSelects(std::size_t start, std::size_t end);
    std::string selectedText() const { return Shown.substr(SelStart, SelEnd - SelStart); }

    std::string Shown;
    bool Modified = false;
    bool ReadOnly = false;
    int Replaces = 0;
    int Appends = 0;
    std::vector<int> Scrolls;
    std::size_t SelStart = 0, SelEnd = 0;
    int FirstLine = 0;

  private:
    bool followsEnd() const;
    void showEnd();
};

// What the user does whenever the message loop would wait for input: true
// after acting (typing, say), false to close the main window. Without a
// script the user closes it at once.
using UserScript = std::function<bool(TApplication&)>;
void setUserScript(UserScript script);
// The in-memory control behind an edit control of the windowing layer.
EditControlC& editOf(const TEdit* edit);

// A pop-up menu's entries, and where it was last shown (x, y, owner).
struct MenuEntryS {
    unsigned flags;
    int id;
    std::string text;
};
std::vector<MenuEntryS> menuEntries(const TPopupMenu& menu);
struct MenuTrackS {
    int x = 0, y = 0;
    unsigned flags = 0;
    const TWindow* owner = nullptr;
};
MenuTrackS lastMenuTrack();

// Resource ids of the bitmaps drawn, in order.
std::vector<int> drawnBitmaps();
// The colour of the brush with this handle; NoBrush for a handle of no brush.
const unsigned long NoBrush = 0xFFFFFFFFUL;
unsigned long brushColor(const void* handle);
// The window last brought to the foreground.
const TWindow* foregroundWindow();

// What the user does in a file-open dialog: fills the data's name buffer and
// returns Ok or Cancel, setting error to the dialog's extended error code.
// Without a script the user cancels.
using OpenDialogScript = std::function<int(TOpenSaveDataS& data, unsigned long& error)>;
void setOpenDialogScript(OpenDialogScript script);
// The same for the Save As dialog. Without a script the user cancels.
void setSaveDialogScript(OpenDialogScript script);

// The file steps a test may have fail (the stand-ins write real files).
enum FileStep { CreateStep, WriteStep, CloseStep, ReplaceStep };
// The next call of step fails with the system's reason; a write that fails
// first writes half its bytes, as on a disk that fills up.
void failFileStep(FileStep step, const std::string& reason);

// What the system lists for a file-name pattern with wildcards: the names
// of the matching files, without their folder, in the system's order.
// Without a finder nothing matches.
using FileFinder = std::function<std::vector<std::string>(const std::string& pattern)>;
void setFileFinder(FileFinder finder);

// Back to the start state: no boxes recorded, Enter answers, no echo, and
// the screen, user and memory above, no user script, no menus shown, bitmaps
// drawn, foreground window, file-dialog scripts, file finder or file step
// to fail.
void resetAll();

}  // namespace standin
