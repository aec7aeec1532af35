#pragma once
// Where the engine writes what the user reads: its reason lines, result
// lines, progress dots and summary. The text output window
// (textui/TextWinC) is the one the program uses; the engine knows no more
// of it than this.
#include <cstdint>

// One file of a pass as the output reports it, told beside the line that
// reports it: counted (the figures its result line rounds), checked (listed
// as left to process after a graphic Check), refused (its reason line), or
// refused by its name before the pass.
struct FileOutcomeS {
    enum Result { Counted, Checked, Refused, InvalidName };
    Result Kind;
    const char* Name;
    const char* Reason;  // Refused: the reason line; otherwise ""
    double Duration;     // Counted: seconds; otherwise 0
    uint32_t Spikes;
    double Rate;  // spikes per second
};

class OutputC {
  public:
    // str and a line end after the text: 0 and NewLines + 1; -2 when the
    // text cannot grow (nothing is added).
    virtual int addLine(const char* str) = 0;
    // str after the text, NewLines unchanged: 0, or -2 as above.
    virtual int appendStr(const char* str) = 0;
    // Shows what was added.
    virtual void refresh() = 0;
    // Scrolls that many lines further into view.
    virtual void scrollLines(int lines) = 0;
    // While held, what is added may be shown later; letting go shows it all.
    virtual void holdUpdates(bool hold) = 0;
    // A file's outcome, beside its line; an output that keeps no record of
    // the files lets it go.
    virtual void fileDone(const FileOutcomeS& outcome) { (void)outcome; }

    int NewLines;  // lines added since a caller last set it to 0

  protected:
    OutputC() : NewLines(0) {}
    ~OutputC() = default;
};
