#include "engine/ValidateC.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/DataWindows.h"
#include "engine/EngineStatus.h"
#include "engine/ExtendedPrecision.h"
#include "engine/Spelling.h"

namespace {

const int HeaderLineCount = HeaderLimitsS::HeaderLines;

// A header line: its keyword, the exact prefix it must start with, and the
// statuses of the warnings raised when its file cannot be moved to BAD.
struct HeaderLineS {
    const char* Keyword;
    const char* Prefix;
    int Unreadable;
    int BadPrefix;
    int NoValue;
    int BadValue;
};

const HeaderLineS HeaderLines[HeaderLineCount] = {
    {"SAMPLES", "SAMPLES:\t", -5, -7, -8, -9},
    {"BITSPERSAMPLE", "BITSPERSAMPLE:\t", -10, -12, -14, -16},
    {"CHANNELS", "CHANNELS:\t", -17, -19, -21, -22},
    {"SAMPLERATE", "SAMPLERATE:\t", -30, -32, -34, -36},
    {"NORMALIZED", "NORMALIZED:\t", -23, -25, -27, -29},
};

// The problems named by the warnings raised when a rejected file cannot be
// moved to BAD.
const char* const HeaderUnreadable = "Can't add file name to Bad list because of header format.";
const char* const BadFormat = "Can't add file name to Bad list because of bad header format.";
const char* const BadValue = "Can't add file name to Bad list because of bad header value.";
const char* const Overlength = "Can't add file name to Bad list because of overlength file.";
const char* const CountFailed = "Can't CountFile() apparently good file!  System error?";
const char* const CloseFailed = "Can't close() apparently good file!  System error?";

// A line after the data that may stand there: empty, a line feed, or one
// blank and a line feed.
bool looksEmpty(const char* line) {
    return line[0] == '\0' || line[0] == '\n' || (line[0] == ' ' && line[1] == '\n');
}

}  // namespace

ValidateC::ValidateC(GoodBadListC& params, QuitterS& quitter)
    : CountC(params, quitter),
      OutWin(nullptr),
      ix(0),
      GoodTotal(0),
      CountFlag(false),
      ReportStr(ReportStartSize) {}

// The window's updates are held back during the walk and the rest shown at
// its end (unless a quit silenced the pass), so a long batch is not slowed
// down by the control.
int ValidateC::ValidateAll() {
    if (OutWin != nullptr) OutWin->holdUpdates(true);
    PassHook.begin();
    const int result = walkGood();
    if (OutWin != nullptr && !silent()) OutWin->holdUpdates(false);
    return result;
}

int ValidateC::walkGood() {
    tellNamesRefused();
    GoodTotal = Params.getTotal(GoodBadListC::GOOD);
    if (GoodTotal < 1) {
        Status = engine::NothingToDo;
        return engine::NothingToDo;
    }
    for (ix = 1; ix <= GoodTotal; ++ix) {
        PassHook.poll();
        if (quitAsked()) return Status = 0;
        int checked = checkFile();
        if (checked == QuitNow) {
            close();
            return Status = 0;
        }
        if (checked < 0) return Status = checked;
    }
    if (CountFlag) {
        summarize();
    } else if (Params.Mode == ModeGraphic) {
        goodFileList();
    }
    return Status = 0;
}

// One turn of the walk: FileDone, QuitNow, or the status of a failed list
// operation. A rejected file leaves ix and GoodTotal one lower.
int ValidateC::checkFile() {
    int named = setFileName(Params.getName(GoodBadListC::GOOD, ix));
    if (named < 0) {
        return ErrHandle.report(named,
                                "Tallywave ValidateC::ValidateAll():\nCan't retrieve file name "
                                "from Good list.\ngetName(GOOD, %d) failed; list total should "
                                "be %d.",
                                ix, GoodTotal);
    }
    std::memcpy(State.CurFName, FName, sizeof State.CurFName);
    if (open() != 0) {
        errno = 0;  // told in the window; no later box is to show this error
        badNotReadable();
        return moveToBad("ValidateAll", nullptr);  // warnings of its own, without a reason
    }
    int header = checkHeader();
    if (header != FileGoesOn) return header;
    switch (firstPass()) {
        case DataQuit:
            return QuitNow;
        case DataUnreadable:
            badDatum();
            return rejectFile(BadFormat, engine::UnreadableDatumNotMoved, "ReadLine() failure.");
        case DataOutOfRange:
            badDatum();
            return rejectFile(BadFormat, engine::DatumOutOfRangeNotMoved, "Bad data.");
        case DataGood:
            break;
    }
    if (!endLooksGood()) {
        badDatum();
        return rejectFile(Overlength, engine::BadEndNotMoved, "Invalid data at end of file.");
    }
    setThresholds(State, Params.Height, Params.Width);
    if (CountFlag || Params.Mode != ModeGraphic) {
        if (CountFile(OutWin) < 0) {
            badCount();
            return rejectFile(CountFailed, engine::CountFailedNotMoved, "CountFile() failed!");
        }
        if (quitAsked()) return QuitNow;
    }
    if (close() != 0) {
        badClose();
        return rejectFile(CloseFailed, engine::CloseFailedNotMoved, "Can't close() file!");
    }
    return FileDone;
}

// Moves the file to BAD; when that fails, a further warning naming the
// problem, and its status ends the pass.
int ValidateC::rejectFile(const char* problem, int status, const char* reason) {
    if (moveBadFile(reason) >= 0) return FileDone;
    return ErrHandle.report(status,
                            "Tallywave ValidateC::ValidateAll():\n%s\nFname=[%s].\n"
                            "moveBadFile(\"%s\") failed; was ix=%d element of %d Good names.",
                            problem, FName, reason, ix, GoodTotal);
}

int ValidateC::moveBadFile(const char* reason) {
    return moveToBad("moveBadFile", reason);
}

// The file at ix from GOOD to BAD, then closed: 0, or the status of the
// warning, which names the operation and, when there is one, the reason.
int ValidateC::moveToBad(const char* operation, const char* reason) {
    const char* because = reason != nullptr ? " because of " : "";
    if (reason == nullptr) reason = "";
    if (Params.deleteElem(GoodBadListC::GOOD, ix) == -1) {
        return ErrHandle.report(engine::NotRemovedFromGood,
                                "Tallywave ValidateC::%s():\nCan't remove file name from Good "
                                "list%s%s.\nFname=[%s].\ndeletePos(GOOD, %d) failed; list total "
                                "should be %d.",
                                operation, because, reason, FName, ix, GoodTotal);
    }
    if (Params.appendNew(GoodBadListC::BAD, FName) == -1) {
        return ErrHandle.report(engine::NotAddedToBad,
                                "Tallywave ValidateC::%s():\nCan't add file name to Bad list%s%s."
                                "\nFname=[%s].\nappendNew(BAD, Fname) failed; was ix=%d element "
                                "of %d Good names.",
                                operation, because, reason, FName, ix, GoodTotal);
    }
    --ix;
    --GoodTotal;
    close();
    return 0;
}

// The five header lines in order; each accepted value is stored at once.
// FileGoesOn when all five are accepted; otherwise the file was rejected.
int ValidateC::checkHeader() {
    const HeaderLimitsS& limits = Params.HeaderLimits;
    for (int i = 0; i < HeaderLineCount; ++i) {
        const HeaderLineS& header = HeaderLines[i];
        const std::size_t prefixLen = std::strlen(header.Prefix);
        uint32_t number = 0;
        char word[LineSize] = "";
        int formatError = 0;
        if (ReadLine() != 0) {
            formatError = header.Unreadable;
        } else if (std::strncmp(Line, header.Prefix, prefixLen) != 0) {
            formatError = header.BadPrefix;
        } else if (i < HeaderLineCount - 1
                       ? !spelling::headerNumber(Line + prefixLen, number)
                       : !spelling::headerWord(Line + prefixLen, word, sizeof word)) {
            formatError = header.NoValue;
        }
        if (formatError != 0) {
            badHeaderFmt(header.Keyword);
            return rejectFile(
                i == 0 && formatError == header.Unreadable ? HeaderUnreadable : BadFormat,
                formatError, header.Keyword);
        }
        const uint16_t number16 = static_cast<uint16_t>(number);
        bool accepted = false;
        switch (i) {
            case 0:
                accepted = number > limits.SamplesMin && number <= limits.SamplesMax;
                if (accepted) State.Samples = number;
                break;
            case 1:
                accepted = number16 > limits.BitsMin;
                if (accepted) State.BitsPerSample = number16;
                break;
            case 2:
                accepted = number16 == limits.ChannelsNeeded;
                if (accepted) State.Channels = number16;
                break;
            case 3:
                accepted = number > limits.RateMin;
                if (accepted) State.SampleRate = number;
                break;
            default:
                accepted = std::strcmp(word, limits.NormalizedWord) == 0;
                if (accepted) std::snprintf(State.Normalized, sizeof State.Normalized, "%s", word);
                break;
        }
        if (!accepted) {
            badHeaderVal(header.Keyword);
            return rejectFile(BadValue, header.BadValue, header.Keyword);
        }
    }
    return FileGoesOn;
}

// The validation pass's windows: each scanned into a tally of its own,
// merged in file order with the quit checks and dot polls of its data.
class ValidateC::FirstPassJobC : public readwindows::WindowJobC {
  public:
    FirstPassJobC(ValidateC& pass, const FirstPassRulesS& rules, FirstPassDataS& data,
                  uint32_t readsLeft)
        : WindowJobC(readsLeft),
          Pass(pass),
          Rules(rules),
          Data(data),
          Known{},
          Floors{},
          Tallies{} {}

    // The greatest datum and the floor merged so far are those the window
    // may start from: the file's before it are no less.
    void published(const readwindows::WindowS& window) override {
        Known[window.Slot] = Data.Greatest;
        Floors[window.Slot] = Data.Floor;
    }

    readwindows::ScanEndS scan(const readwindows::WindowS& window, uint32_t maxReads) override {
        FirstPassTallyC& tally = Tallies[window.Slot];
        tally.start(Rules, Known[window.Slot], Floors[window.Slot], window);
        return readwindows::scanReads(window.Bytes, window.From, window.Cut, maxReads, tally);
    }

  private:
    bool take(const readwindows::WindowS& window, uint32_t reads) override {
        if (!Pass.pollData(reads)) return false;
        Data.fold(Tallies[window.Slot], Rules);
        return true;
    }

    ValidateC& Pass;
    const FirstPassRulesS& Rules;
    FirstPassDataS& Data;
    GreatestC Known[WindowCount];
    CutS Floors[WindowCount];
    FirstPassTallyC Tallies[WindowCount];
};

// The quit check before each of so many data taken in a row, and the dot
// poll after each; false when a quit was seen.
bool ValidateC::pollData(uint32_t data) {
    while (data > 0) {
        if (quitAsked()) return false;
        const uint32_t step = data < dataToPoll() ? data : dataToPoll();
        data -= step;
        if (dotPollAfter(step)) putDot();
    }
    return true;
}

const FirstPassRulesS& ValidateC::firstPassRules() {
    const double level = runLevel(Params.Height);
    const HeaderLimitsS& limits = Params.HeaderLimits;
    if (!Rules || Rules->Level.Value != level || Rules->Lowest.Value != limits.DatumMin ||
        Rules->Highest.Value != limits.DatumMax || Rules->Height != Params.Height)
        Rules.emplace(level, limits.DatumMin, limits.DatumMax, Params.Height);
    return *Rules;
}

// Reads the data: each must convert and lie within the limits. Gathers the
// greatest datum p and the longest runs above and at-or-below h/100, and
// marks the data that may reach H (DataWindows.h). Stops at the end of the
// data or once the line after the last datum the header announced has been
// read (that line is not examined). Whole windows of data are taken on two
// threads; the rest, from where a window stops (a datum that fails, the last
// datum, the end of the file), one read at a time, each as a window of one.
ValidateC::DataResult ValidateC::firstPass() {
    CountFromMarks = false;
    const FirstPassRulesS& rules = firstPassRules();
    const uint32_t lastLine = State.Samples + HeaderLimitsS::HeaderLines;
    FirstPassDataS data(startMarks(rules.Sure));
    data.raiseFloor(rules);
    if (LineNo < lastLine) {
        FirstPassJobC job(*this, rules, data, lastLine - LineNo);
        if (!runWindows(job)) return DataQuit;
    }
    DataResult result = DataGood;
    uint64_t scratch[TailScratchWords];
    const readwindows::WindowS one{-1, nullptr, 0, 1, scratch, TailScratchWords};
    FirstPassTallyC tally;
    const char* read;
    while ((read = nextRead()) != nullptr && LineNo <= lastLine) {
        if (quitAsked()) return DataQuit;
        tally.start(rules, data.Greatest, data.Floor, one);
        if (!tally.take(read)) {
            result = tally.Refusal == FirstPassTallyC::OutOfRange ? DataOutOfRange : DataUnreadable;
            break;
        }
        if (dotPoll()) putDot();
        data.fold(tally, rules);
    }
    data.Runs.end();
    if (data.AnyData) State.Value = data.Last.value();
    State.MaxValue = data.Greatest.value();
    State.RunAbove = data.Runs.LongestAbove;
    State.RunBelow = data.Runs.LongestBelow;
    CountFromMarks = result == DataGood && data.Marks != nullptr && data.Marks->listed();
    FirstPassData = data.Data;
    return result;
}

// After the data at most one empty line is tolerated in every second line:
// three lines are examined, each followed by one read unseen.
bool ValidateC::endLooksGood() {
    for (int turn = 0; turn < 3; ++turn) {
        if (ReadLine() != 0 && !readFailed()) return true;
        if (!looksEmpty(Line)) return false;
        if (ReadLine() != 0) return !readFailed();
    }
    return true;
}

long double ValidateC::runThreshold(double height) {
    ExtendedPrecisionC extended;
    return height * 0.01L;
}

// The largest double not above the level: a datum lies above the level
// exactly when it lies above this double, so each datum is compared as a
// double.
double ValidateC::runLevel(double height) {
    const long double level = runThreshold(height);
    double below = static_cast<double>(level);
    if (below > level) below = std::nextafter(below, -HUGE_VAL);
    return below;
}

void ValidateC::setThresholds(FileStateS& state, double height, double width) {
    ExtendedPrecisionC extended;
    state.HeightH = spikeHeight(state.MaxValue, height);
    const uint32_t longest = state.RunAbove > state.RunBelow ? state.RunAbove : state.RunBelow;
    uint32_t widthW = static_cast<uint32_t>(longest * static_cast<long double>(width) * 0.01L);
    uint32_t glitchG = static_cast<uint32_t>(widthW * 0.1L);
    if (widthW < 1) widthW = 1;
    if (glitchG < 1) glitchG = 1;
    if (glitchG >= widthW) widthW = glitchG + 1;
    state.WidthW = widthW;
    state.GlitchG = glitchG;
}

// Composes into ReportStr; false when it cannot, after a warning when the
// memory for it cannot be had.
bool ValidateC::compose(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ReportStr.clear();
    const bool composed = ReportStr.appendV(format, args);
    va_end(args);
    if (!composed && ReportStr.refusedRoom() != 0)
        ErrHandle.report(engine::ReportRoomRefused,
                         "Tallywave ValidateC:  Can't allocate %lu bytes for a report "
                         "line.\nFname=[%s].",
                         static_cast<unsigned long>(ReportStr.refusedRoom()), FName);
    return composed;
}

// The failure warning of a writer whose text could not be added.
void ValidateC::reportWriter(int status, const char* writer, const char* what) {
    ErrHandle.report(status,
                     "Tallywave ValidateC::%s():\n%s failed.\nFname=[%s].\n"
                     "Current Good list item %d; list total should be %d.",
                     writer, what, FName, ix, GoodTotal);
}

// Adds ReportStr as a line, shows it and scrolls the new lines into view.
void ValidateC::showLine(const char* writer, const char* what) {
    const int added = OutWin->addLine(ReportStr.c_str());
    if (added < 0) {
        reportWriter(added, writer, what);
        return;
    }
    scrollIn();
}

// Shows what was added and scrolls the lines added since the last scroll
// into view.
void ValidateC::scrollIn() {
    OutWin->refresh();
    OutWin->scrollLines(OutWin->NewLines);
    OutWin->NewLines = 0;
}

// A reason line, and the file's outcome with it.
void ValidateC::showReason(const char* writer, const char* what) {
    showLine(writer, what);
    OutWin->fileDone({FileOutcomeS::Refused, FName, ReportStr.c_str(), 0.0, 0, 0.0});
}

// The names in BAD when the pass begins are those the front end refused by
// their names and has listed already. (A deleted BAD holds none; its count
// is read directly, as getTotal would warn of it.)
void ValidateC::tellNamesRefused() {
    if (silent()) return;
    const int32_t refused = Params.Bad.FCount;
    for (int32_t pos = 1; pos <= refused; ++pos)
        OutWin->fileDone(
            {FileOutcomeS::InvalidName, Params.getName(GoodBadListC::BAD, pos), "", 0.0, 0, 0.0});
}

bool ValidateC::silent() const {
    return quitAsked() || OutWin == nullptr;
}

void ValidateC::badNotReadable() {
    if (silent() || !compose("File=%s.  Can't open for test read.", FName)) return;
    showReason("badNotReadable", "addLine() test read failure message");
}

void ValidateC::badHeaderFmt(const char* /*keyword*/) {
    if (silent() || !compose("File=%s line %d failed header check:  Possible bad format or "
                             "truncated file.",
                             FName, static_cast<int>(LineNo)))
        return;
    showReason("badHeaderFmt", "addLine() header read failure message");
}

void ValidateC::badHeaderVal(const char* /*keyword*/) {
    if (silent() || !compose("File=%s line %d failed header check:  Possible bad format or "
                             "invalid param.",
                             FName, static_cast<int>(LineNo)))
        return;
    showReason("badHeaderVal", "addLine() header value failure message");
}

void ValidateC::badDatum() {
    if (silent() ||
        !compose("File=%s line %d bad datum or size:  Found %d good data; header said %d.", FName,
                 static_cast<int>(LineNo), static_cast<int>(LineNo - HeaderLimitsS::HeaderLines),
                 static_cast<int>(State.Samples)))
        return;
    showReason("badDatum", "addLine() data value failure message");
}

void ValidateC::badCount() {
    if (silent() || !compose("(Warning: Count spikes in good File=%s returned failure).", FName))
        return;
    showReason("badCount", "addLine() CountFile() failure message");
}

void ValidateC::badClose() {
    if (silent() || !compose("(Warning:  close good File=%s returned failure).", FName)) return;
    showReason("badClose", "addLine() close() failure message");
}

// A dot goes after whatever the window holds, without a line end.
void ValidateC::putDot() {
    if (silent()) return;
    const int added = OutWin->appendStr(".");
    if (added < 0) {
        reportWriter(added, "putDot", "appendStr() putDot()");
        return;
    }
    OutWin->refresh();
}

void ValidateC::goodFileList() {
    if (silent() || !compose("Files to be processed: [%s].", Params.listNames(GoodBadListC::GOOD)))
        return;
    showLine("goodFileList", "addLine() files-to-process message");
    for (int32_t pos = 1; pos <= Params.getTotal(GoodBadListC::GOOD); ++pos)
        OutWin->fileDone(
            {FileOutcomeS::Checked, Params.getName(GoodBadListC::GOOD, pos), "", 0.0, 0, 0.0});
}

void ValidateC::summarize() {
    if (silent()) return;
    const int counted = Params.getTotal(GoodBadListC::GOOD);
    const int bad = Params.getTotal(GoodBadListC::BAD);
    const char* badNames = bad > 0 ? Params.listNames(GoodBadListC::BAD) : "(none)";
    if (!compose("\r\n%s:  %d files named at invocation; %d of them were counted.\r\n"
                 "These %d were found bad: [%s].\r\n\r\n"
                 "Cut-and-paste to save these messages before closing this window.",
                 Params.ExeName, counted + bad, counted, bad, badNames))
        return;
    const int added = OutWin->addLine(ReportStr.c_str());
    if (added < 0) {
        ErrHandle.report(added,
                         "Tallywave ValidateC::summarize():\naddLine() to create message "
                         "failed.\nSummary message may be garbled.");
        return;
    }
    scrollIn();
}
