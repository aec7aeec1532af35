#pragma once
// The output window's "Save results..." command: the system's Save As
// dialog opens in the run's working folder with a name made from the run's
// start; a name ending in .csv gets the table of the run's files (a header
// row and the last pass's rows), any other name the window's whole text.
// The file is written under a temporary name in the same folder and takes
// the chosen name only once it is whole, so a failure leaves a file of that
// name as it was; the failure is shown in a warning box naming the file and
// the system's reason, and the window keeps its text for another try.
#include <cstddef>
#include <ctime>

#include "core/RunModeC.h"
#include "engine/GrowTextC.h"
#include "framework/TWindow.h"
#include "textui/TextWinC.h"

class SaveResultsC {
  public:
    enum Sizes { CopyStartRoom = 4096, TempTries = 100 };
    static const char Filter[];

    SaveResultsC(TextWinC& window, const QuitterS& quitter);

    // The run's working folder and its start (local time).
    void setRun(const char* workDir, const std::tm& started);
    // The command, with owner as the dialog's owner. Does nothing while a
    // pass writes the window, nor once a quit has been confirmed.
    void save(TWindow* owner);

    // "tallywave-results-YYYYMMDD-HHMMSS" of started, into name.
    static void defaultName(char* name, std::size_t size, const std::tm& started);
    // Whether path names a table: it ends in .csv (in any case).
    static bool namesTable(const char* path);
    // The bytes as the file at path, through a temporary file beside it: 0,
    // or the status of the warning shown.
    static int writeWhole(const char* path, const char* bytes, std::size_t count);

  private:
    void saveCopies(TWindow* owner, bool tableWhole);

    TextWinC& Window;
    const QuitterS& Quitter;
    char WorkDir[RunModeC::CWDSize];
    std::tm Started;
    bool Saving;          // the command runs (its dialog or a box is up)
    GrowTextC TextCopy;   // what the window held when the command began
    GrowTextC TableCopy;  // the header and the rows then
};
