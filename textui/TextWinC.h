#pragma once
// The text output window's client: the whole text the window shows, kept by
// the program, and the multi-line edit control in Courier New that shows it.
// Writers append whole lines with addLine or pieces with appendStr, then
// refresh; the engine writes through OutputC (engine/OutputC.h), which also
// keeps the count of new lines, NewLines.
#include <atomic>
#include <cstddef>

#include "engine/OutputC.h"
#include "framework/PlatformSeams.h"
#include "framework/TEdit.h"
#include "framework/TFont.h"
#include "framework/TWindow.h"
#include "textui/ResultTableC.h"

class TextWinC : public TWindow, public OutputC {
  public:
    // Text starts with room for this many characters and grows as needed, so
    // no line of a long batch is lost.
    enum Sizes { TextStartRoom = 238000 };
    enum Timing { UpdateGapMs = 200 };
    using ReallocFn = void* (*)(void* old, std::size_t size);
    using MillisFn = unsigned long (*)();  // a millisecond clock

    enum { EditId = -1, EditWidth = 640, EditHeight = 500 };

    TextWinC();
    ~TextWinC() override;

    // str and CR LF after the text: 0 and NewLines + 1; -2 when the text
    // cannot grow (nothing is added).
    int addLine(const char* str) override;
    // str after the text, NewLines unchanged: 0, or -2 as above.
    int appendStr(const char* str) override;
    // str and CR LF as the whole text, then refresh: 0, or -2 (no refresh).
    int setLine(const char* str);
    // Shows the whole text in the edit control. When the control still holds
    // what it was last given, only the new part is sent, so the cost of a
    // refresh does not grow with the text. Clears the modified mark.
    void refresh() override;
    // True (and the control turns read-only) once the user changed the text.
    bool userTyped();
    // The edit control's line count (0 without a control) and its scroll.
    int lineCount();
    void scrollLines(int lines) override;
    // While held, refresh sends what is new at most once every UpdateGapMs
    // and scrolling waits with it; letting go sends the rest at once. A long
    // pass then costs the control a few updates a second, not one per line.
    void holdUpdates(bool hold) override;

    // The file's row in the table of the run.
    void fileDone(const FileOutcomeS& outcome) override { Table.add(outcome); }

    // Text and Table are written by a pass and read by a save, in graphic
    // mode on two threads: one side has them at a time. A pass takes them
    // (waiting while a save copies them) and starts a new table; a save
    // gets them only while no pass has them, and gives them back at once.
    void beginPass();
    void endPass();
    bool beginSave();
    void endSave();

    // Puts edit in the place of the control that shows the text and gives it
    // the whole text; the window does so with its own once it exists.
    void setEdit(seam::EditControl* edit);

    char* Text;  // always zero-terminated
    TEdit* TEditP;
    TFont* TFontP;
    ResultTableC Table;  // a row for each file the last pass reported

    // Where memory comes from; tests swap it to run out of memory on purpose.
    static ReallocFn Realloc;
    // The clock of held updates; tests swap it for one they move themselves.
    static MillisFn Millis;

  protected:
    // Sets the font of the control and shows the text in it.
    void onCreated() override;

  private:
    int put(std::size_t at, const char* str, bool lineEnd);

    std::size_t TextLen;          // characters in Text
    std::size_t TextRoom;         // characters Text can hold, the terminator aside
    std::size_t ShownLen;         // leading characters of Text the control holds
    seam::EditControl* ShownInP;  // the control showing the text, if any
    bool Held;                    // updates are held back (holdUpdates)
    bool Pending;                 // a held refresh has not been sent yet
    unsigned long LastSent;       // Millis() of the last update sent
    enum Holders { NoHolder, PassHolds, SaveHolds };
    std::atomic<int> Holder;  // who has Text and Table now
};
