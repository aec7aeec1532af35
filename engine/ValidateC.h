#pragma once
// The validation pass, the engine's one entry point: walks GOOD, checks each
// file's header and data, gathers the statistics that set the spike
// thresholds, checks the end of the file and has the file counted; a file
// that fails moves to BAD with a reason line in the output window. Also the
// writers of those lines, of the progress dots and of the closing summary.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/ErrHandleC.h"
#include "engine/CountC.h"

class ValidateC : public CountC {
  public:
    enum Sizes { ReportStartSize = 10000, TailScratchWords = 16 };

    ValidateC(GoodBadListC& params, QuitterS& quitter);

    // 0 when the walk ends or a quit stops it; -2 when GOOD is empty (nothing
    // written); the status of the warning when a list operation fails.
    int ValidateAll();
    // The current file from GOOD to BAD; 0, or -3 / -4 after a warning.
    int moveBadFile(const char* reason);

    // The output window's writers; silent while a quit is under way.
    void badNotReadable();
    void badHeaderFmt(const char* keyword);
    void badHeaderVal(const char* keyword);
    void badDatum();
    void badCount();
    void badClose();
    void putDot();
    void goodFileList();
    void summarize();

    // H, W and G for the counter, from FileState's MaxValue, RunAbove and
    // RunBelow and the percentages h and w, in extended precision.
    static void setThresholds(FileStateS& state, double height, double width);
    // The level h/100 that splits the data into runs above and at-or-below.
    static long double runThreshold(double height);
    static double runLevel(double height);

    OutputC* OutWin;  // set by the front end before the first ValidateAll
    int32_t ix;       // position in GOOD of the file at hand
    int32_t GoodTotal;
    bool CountFlag;  // graphic Count: validate and count, then summarize

  private:
    class FirstPassJobC;
    friend class FirstPassJobC;
    enum FileResult { FileDone = 0, QuitNow = 1, FileGoesOn = 2 };
    enum DataResult { DataGood, DataUnreadable, DataOutOfRange, DataQuit };

    int walkGood();
    int checkFile();
    int moveToBad(const char* operation, const char* reason);
    int checkHeader();
    DataResult firstPass();
    const FirstPassRulesS& firstPassRules();
    bool pollData(uint32_t data);
    bool endLooksGood();
    int rejectFile(const char* problem, int status, const char* reason);
    bool silent() const;
    bool compose(const char* format, ...) TALLY_PRINTF_LIKE(2, 3);
    void showLine(const char* writer, const char* what);
    void showReason(const char* writer, const char* what);
    void tellNamesRefused();
    void scrollIn();
    void reportWriter(int status, const char* writer, const char* what);

    GrowTextC ReportStr;  // where each line is composed; grows with the names
    // The last file's rules, kept while its height and limits stay: their
    // cuts take a search each.
    std::optional<FirstPassRulesS> Rules;
};
