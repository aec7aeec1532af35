// The validation pass over batches of files as users give them: what reaches
// the output window, where each file ends up, the thresholds handed to the
// counter, the end of a run in each mode, quitting, progress dots and the
// failures of the window and of the lists.
#include "engine/ValidateC.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/native/StandIns.h"
#include "tests/common/EnginePass.h"
#include "tests/common/EngineWindows.h"
#include "tests/common/ListMemory.h"
#include "tests/common/ThresholdCheck.h"
#include "tests/common/WaveText.h"
#include "tests/common/WindowClock.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/TextWinC.h"

namespace {

using Names = std::vector<std::string>;

using wavetext::header;
using wavetext::repeat;

class ValidateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        windowclock::sendEveryRefresh();
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        testwindows::apply(Engine);
        Params.Mode = ModeSilent;
        Params.Height = 50.0;
        Params.Width = 10.0;
        Engine.OutWin = &Window;
        Window.setEdit(&Edit);
        std::snprintf(Params.ExeName, sizeof Params.ExeName, "tallywave");
    }

    // Empty lists and a window holding one empty line, for the next run.
    void restart() {
        Params.initLists();
        std::snprintf(Params.ExeName, sizeof Params.ExeName, "tallywave");
        Window.setLine("");
    }

    // A file holding bytes, named in GOOD; its path.
    std::string add(const std::string& bytes) {
        std::string path = Files.write(bytes);
        Params.appendNew(GoodBadListC::GOOD, path.c_str());
        return path;
    }
    int run() {
        errno = 0;
        return Engine.ValidateAll();
    }
    Names names(int list) {
        Names all;
        for (int pos = 1; pos <= Params.getTotal(list); ++pos)
            all.push_back(Params.getName(list, pos));
        return all;
    }
    static std::string result(const std::string& path, const std::string& rest) {
        return path + " : " + rest + "\r\n";
    }

    testfiles::TempFilesC Files;
    GoodBadListC Params;
    QuitterS Quitter;
    ValidateC Engine{Params, Quitter};
    TextWinC Window;
    standin::EditControlC Edit;
};

const char* const NoSpikes = "0.10 s (100.0 ms) | 0 spikes => 0.0/sec.";

TEST_F(ValidateTest, EmptyGoodWritesNothing) {
    EXPECT_EQ(run(), -2);
    EXPECT_EQ(Status.load(), -2);
    EXPECT_EQ(Edit.Shown, "");
    EXPECT_TRUE(standin::shownBoxes().empty());
}

// A missing file gets its reason line and moves to BAD; the next name takes
// its position. A header-only file is counted with no spikes.
TEST_F(ValidateTest, MissingFileAndHeaderOnlyFile) {
    const std::string missing = Files.dir() + "/gone.txt";
    Params.appendNew(GoodBadListC::GOOD, missing.c_str());
    const std::string headerOnly = add(header(1000));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(Edit.Shown, "File=" + missing + ".  Can't open for test read.\r\n" +
                              result(headerOnly, NoSpikes));
    EXPECT_EQ(Edit.Scrolls, std::vector<int>{1});  // the result line waits for the next writer
    EXPECT_EQ(names(GoodBadListC::GOOD), Names{headerOnly});
    EXPECT_EQ(names(GoodBadListC::BAD), Names{missing});
    const FileStateS& state = Params.FileState;
    EXPECT_EQ(state.MaxValue, 0.0);
    EXPECT_EQ(state.WidthW, 2u);
    EXPECT_EQ(state.GlitchG, 1u);
    EXPECT_EQ(std::string(state.CurFName), headerOnly);
    EXPECT_TRUE(standin::shownBoxes().empty());
}

// Each header line fails alone; the line number is the line that failed,
// or the last line read.
TEST_F(ValidateTest, HeaderFormatAndValueErrors) {
    const std::string fine = header(1000);
    auto with = [&fine](const std::string& from, const std::string& to) {
        std::string text = fine;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct CaseS {
        std::string Bytes;
        int Line;
        bool Format;
    };
    const std::vector<CaseS> cases = {
        {"", 0, true},
        {"SAMPLES:\t1000\nBITSPERSAMPLE:\t16\n", 2, true},
        {with("SAMPLES:\t", "SAMPLES: "), 1, true},
        {with("SAMPLES:\t1000", "SAMPLES:\t999"), 1, false},
        {with("SAMPLES:\t1000", "SAMPLES:\t26000001"), 1, false},
        {with("SAMPLES:\t1000", "SAMPLES:\t-1"), 1, false},
        {with("BITSPERSAMPLE:\t16", "BITSPERSAMPLE:\t65543"), 2, false},
        {with("CHANNELS:\t1", "channels:\t1"), 3, true},
        {with("CHANNELS:\t1", "CHANNELS:\t2"), 3, false},
        {with("SAMPLERATE:\t10000", "SAMPLERATE:\tfast"), 4, true},
        {with("SAMPLERATE:\t10000", "SAMPLERATE:\t5999"), 4, false},
        {with("NORMALIZED:\tTRUE", "NORMALIZED:\t  "), 5, true},
        {with("NORMALIZED:\tTRUE", "NORMALIZED:\ttrue"), 5, false},
    };
    std::string expected;
    for (const CaseS& c : cases) {
        expected += "File=" + add(c.Bytes) + " line " + std::to_string(c.Line) +
                    " failed header check:  Possible bad format or " +
                    (c.Format ? "truncated file.\r\n" : "invalid param.\r\n");
    }
    // Accepted as they stand: 16-bit wraps, signs, text after the value.
    const std::string wraps = add(with("CHANNELS:\t1", "CHANNELS:\t65537") + "0.1\n");
    const std::string trailing = add(with("SAMPLES:\t1000", "SAMPLES:\t +1000 words") + "0.1\n");
    const std::string word = add(with("TRUE", "TRUE and more") + "0.1\n");
    EXPECT_EQ(run(), 0);
    for (const std::string& path : {wraps, trailing, word})
        expected += result(path, "0.10 s (100.0 ms) | 0 spikes => 0.0/sec.");
    EXPECT_EQ(Edit.Shown, expected);
    EXPECT_EQ(names(GoodBadListC::GOOD), (Names{wraps, trailing, word}));
    EXPECT_EQ(Params.getTotal(GoodBadListC::BAD), static_cast<int>(cases.size()));
    EXPECT_EQ(Params.FileState.Channels, 1);
    EXPECT_EQ(std::string(Params.FileState.Normalized), "TRUE");
}

// The data and what may follow them: lines Samples + 7, + 9 and + 11 are
// examined and must look empty; Samples + 6, + 8, + 10, + 12 are read unseen.
TEST_F(ValidateTest, DataAndTheEndOfTheFile) {
    const std::string data = header(1000) + repeat("0.1\n", 1000);
    struct CaseS {
        std::string Bytes;
        std::string BadLine;  // "" when the file passes
        const char* Result = NoSpikes;
    };
    const std::vector<CaseS> cases = {
        // Short data pass. H 0.5, T 3, W 2, G 1: spikes at data 1 and 3.
        {header(1000) + "1\n-1.0\n+0.5e0\n0.25 volts\n", "",
         "0.10 s (100.0 ms) | 2 spikes => 20.0/sec."},
        {data + "0.9\n", ""},
        {data + "0.9\n \n", ""},
        {data + "0.9\n\nx\n\nx\n\nx\nx\n", ""},
        {data + "\n", ""},
        {data + "0.9\n0.9\n", "line 1007 bad datum or size:  Found 1002 good data"},
        {data + "0.9\n  \n", "line 1007 bad datum or size:  Found 1002 good data"},
        {data + "0.9\n\nx\n \t\n", "line 1009 bad datum or size:  Found 1004 good data"},
        {header(1000) + "0.1\n0.2\n0.3\n0.4\n1.0000001\n",
         "line 10 bad datum or size:  Found 5 good data"},
        {header(1000) + "-1.0000001\n", "line 6 bad datum or size:  Found 1 good data"},
        {header(1000) + "0.1\n\n0.1\n", "line 7 bad datum or size:  Found 2 good data"},
        {header(1000) + "1e400\n", "line 6 bad datum or size:  Found 1 good data"},
        {header(1000) + "nan\n", "line 6 bad datum or size:  Found 1 good data"},
    };
    std::string expected;
    Names good;
    for (const CaseS& c : cases) {
        const std::string path = add(c.Bytes);
        if (c.BadLine.empty()) {
            expected += result(path, c.Result);
            good.push_back(path);
        } else {
            expected += "File=" + path + " " + c.BadLine + "; header said 1000.\r\n";
        }
    }
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(Edit.Shown, expected);
    EXPECT_EQ(names(GoodBadListC::GOOD), good);
    EXPECT_TRUE(standin::shownBoxes().empty());
}

// A file of many windows: the worker thread takes part in its pass.
TEST_F(ValidateTest, TheWorkerScansWindowsOfALongFile) {
    add(header(400000) + repeat("0.125\n0.875\n", 200000));
    EXPECT_EQ(run(), 0);
    EXPECT_GT(Engine.workerWindows(), 0u);
}

// A greatest datum so small that H = p h / 100 rounds to 0: the datum 0
// then reaches H, from the marks as from a second reading.
TEST_F(ValidateTest, ASubnormalGreatestDatumCountsAsTheRulesSay) {
    const std::string path = Files.write(header(1000) + "0\n-1\n2.5e-323\n");
    for (const long room : {-1L, 0L}) {
        const testcheck::EngineOutcome out =
            testcheck::runEngine({path}, 10.0, 10.0, testcheck::Runs[0], "tallywave", {0, room});
        EXPECT_EQ(out.Text, result(path, "0.10 s (100.0 ms) | 1 spikes => 10.0/sec.")) << room;
    }
}

// A file that, once the validation pass has set the thresholds, is cut to a
// quarter of its size before the count would read it again.
struct CutBeforeCountS {
    FileStateS* State;
    std::string Path;
    bool Done;
};
void cutBeforeCount(ValidateC& engine, CutBeforeCountS& cut) {
    cut.State->WidthW = 0;  // set, with H, only for the count
    engine.PassHook.set(
        [](void* context) {
            auto* file = static_cast<CutBeforeCountS*>(context);
            if (file->Done || file->State->WidthW == 0) return;
            std::filesystem::resize_file(file->Path, std::filesystem::file_size(file->Path) / 4);
            file->Done = true;
        },
        &cut);
}

// A file cut short after the validation pass, while the count reads it
// again: the count fails, as when its data cannot be read, rather than
// report the spikes that are left.
TEST_F(ValidateTest, AFileCutShortBeforeTheCountFails) {
    windowclock::TurnAtEveryPollC turns;
    Engine.setCandidateRoom(0);  // 0.47 lies below any H these data may give: read again
    Engine.setWindowBytes(1024);
    const std::string path = add(header(20000) + repeat("0.3\n0.47\n0.9\n0.1\n", 5000));
    CutBeforeCountS cut{&Params.FileState, path, false};
    cutBeforeCount(Engine, cut);
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(cut.Done);
    EXPECT_EQ(Edit.Shown,
              "(Warning: Count spikes in good File=" + path + " returned failure).\r\n");
    EXPECT_EQ(names(GoodBadListC::BAD), Names{path});
    const Names boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Spike count failed at file line="), std::string::npos) << boxes[0];
}

// Far more data between H and the sure height than the list has room for
// (music at a high level): a full list lists fewer, and as long as H stays
// at or below the data it no longer lists, the count comes from the marks
// and never reads the file again (cut after the pass, it still counts the
// whole; a count that reads polls, and the poll would cut it). A greatest
// datum that comes late lifts H above them: read again. A narrow width, so
// that a datum wrongly high changes the count.
TEST_F(ValidateTest, AFullListListsFewerAndTheCountKeepsTheMarks) {
    windowclock::TurnAtEveryPollC turns;
    Engine.setWindowBytes(1024);
    Params.Width = 0.1;
    const auto shownFor = [this](const std::string& path, uint32_t room) {
        restart();
        Edit.Shown.clear();
        Engine.setCandidateRoom(room);
        Params.appendNew(GoodBadListC::GOOD, path.c_str());
        EXPECT_EQ(run(), 0);
        return Edit.Shown;
    };
    const std::string body = repeat("0.46\n0.1\n0.48\n0.2\n0.47\n0.1\n0.49\n0.3\n", 1000);
    const std::string late = Files.write(header(8001) + body + "0.99\n");
    const uint32_t usualRoom = 1 << 16;
    const std::string whole = shownFor(late, usualRoom);
    ASSERT_NE(whole.find(" spikes => "), std::string::npos) << whole;
    EXPECT_EQ(shownFor(late, 60), whole);

    const std::string early = Files.write(header(8001) + "0.9\n" + body);
    const std::string wholeEarly = shownFor(early, usualRoom);
    CutBeforeCountS cut{&Params.FileState, early, false};
    cutBeforeCount(Engine, cut);
    EXPECT_EQ(shownFor(early, 60), wholeEarly);
    EXPECT_FALSE(cut.Done);
}

TEST_F(ValidateTest, ThresholdsInExtendedPrecision) {
    EXPECT_EQ(testcheck::thresholdMismatches(), "");
}

// The run state splits at h/100: with h = 50 a datum of 0.5 is at-or-below.
TEST_F(ValidateTest, RunsAboveAndAtOrBelowTheLevel) {
    add(header(1000) + repeat("0.5\n", 3) + repeat("0.6\n", 2) + "0.2\n" + repeat("0.7\n", 4));
    EXPECT_EQ(run(), 0);
    const FileStateS& state = Params.FileState;
    EXPECT_EQ(state.RunBelow, 3u);
    EXPECT_EQ(state.RunAbove, 4u);
    EXPECT_EQ(state.MaxValue, 0.7);
    EXPECT_EQ(state.HeightH, 0.35);

    // Small data whose spelling alone cannot decide: a level below 0.1, a
    // greatest datum below 0.1, exponents.
    restart();
    Params.Height = 5.0;
    add(header(1000) + "0.5\n0.01\n0.06\n0.07\n-0.02\n");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(state.RunAbove, 2u);
    EXPECT_EQ(state.RunBelow, 1u);
    Params.Height = 50.0;
    const std::string outOfRange = add(header(1000) + "0.5\n-0.5e1\n");
    add(header(1000) + "0.02\n0.09e1\n0.0\n");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(state.MaxValue, 0.9);
    EXPECT_EQ(state.RunAbove, 1u);
    EXPECT_EQ(names(GoodBadListC::BAD), Names{outOfRange});
}

// Check lists what is left; Count sums up; silent and text modes do neither.
TEST_F(ValidateTest, HowEachRunEnds) {
    Params.Mode = ModeGraphic;
    const std::string bad = add("SAMPLES:\t5\n");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(Edit.Shown, "File=" + bad +
                              " line 1 failed header check:  Possible bad format or invalid "
                              "param.\r\nFiles to be processed: [].\r\n");
    EXPECT_EQ(Edit.Scrolls, (std::vector<int>{1, 1}));

    restart();
    const std::string one = add(header(1000)), two = add(header(1000));
    Engine.CountFlag = true;
    EXPECT_EQ(run(), 0);
    const std::string summary =
        "\r\ntallywave:  2 files named at invocation; 2 of them were "
        "counted.\r\nThese 0 were found bad: [(none)].\r\n\r\n"
        "Cut-and-paste to save these messages before closing this "
        "window.\r\n";
    EXPECT_EQ(Edit.Shown, "\r\n" + result(one, NoSpikes) + result(two, NoSpikes) + summary);

    restart();
    const std::string three = add(header(1000));
    Params.appendNew(GoodBadListC::GOOD, (Files.dir() + "/lost.asc").c_str());
    const std::string four = add(header(1000));
    EXPECT_EQ(run(), 0);
    EXPECT_NE(Edit.Shown.find("3 files named at invocation; 2 of them were counted.\r\nThese 1 "
                              "were found bad: [" +
                              Files.dir() + "/lost.asc ]."),
              std::string::npos);
    EXPECT_EQ(names(GoodBadListC::GOOD), (Names{three, four}));

    restart();
    Engine.CountFlag = false;
    Params.Mode = ModeText;
    add(header(1000));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(Edit.Shown.find("Files to be processed"), std::string::npos);
    EXPECT_EQ(Edit.Shown.find("files named"), std::string::npos);
}

// The summary lists every rejected name whole, however long the list.
TEST_F(ValidateTest, LongNameListsAreShownWhole) {
    std::string names;
    for (char c = 'a'; c < 'i'; ++c) {
        const std::string name = Files.dir() + "/" + std::string(2000, c);
        Params.appendNew(GoodBadListC::BAD, name.c_str());
        names += name + " ";
    }
    add(header(1000));
    Engine.CountFlag = true;
    EXPECT_EQ(run(), 0);
    EXPECT_NE(Edit.Shown.find("These 8 were found bad: [" + names + "]."), std::string::npos);
    EXPECT_TRUE(standin::shownBoxes().empty());
}

// A control that confirms a quit when it is first scrolled, as if the user
// had confirmed it while the first reason line was written.
class QuitOnScroll : public standin::EditControlC {
  public:
    explicit QuitOnScroll(QuitterS& quitter) : Quitter(quitter) {}
    void scrollLines(int) override { Quitter.QuitState = QuitterS::TakenDown; }
    QuitterS& Quitter;
};

TEST_F(ValidateTest, QuitStopsAtOnceAndWritesNothingMore) {
    QuitOnScroll edit(Quitter);
    Window.setEdit(&edit);
    const std::string bad = add("");
    const std::string next = add("");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(edit.Shown, "File=" + bad +
                              " line 0 failed header check:  Possible bad format "
                              "or truncated file.\r\n");
    EXPECT_EQ(names(GoodBadListC::GOOD), Names{next});
    Engine.CountFlag = true;
    EXPECT_EQ(run(), 0);  // no summary either
    EXPECT_EQ(Window.NewLines, 0);
}

// The clock moves one second each time it is read; the quit clock confirms a
// quit when it is first read in the middle of a file.
std::time_t FakeNow = 0;
QuitterS* QuitterToSet = nullptr;
std::time_t tickingClock(std::time_t*) {
    if (QuitterToSet != nullptr) QuitterToSet->QuitState = QuitterS::TakenDown;
    return ++FakeNow;
}

TEST_F(ValidateTest, DotsWhileReadingAndQuitInTheMiddleOfAFile) {
    FakeNow = 0;
    Engine.setClock(tickingClock);
    Window.setLine("banner");
    Window.NewLines = 0;
    const std::string path = add(header(26000) + repeat("0.1\n", 26000));
    EXPECT_EQ(run(), 0);
    // Read every 1024 data, first at second 1: dots at seconds 4, 7, ..., 25.
    EXPECT_EQ(Edit.Shown,
              "banner\r\n........" + result(path, "2.60 s (2600.0 ms) | 0 spikes => 0.0/sec."));

    QuitterToSet = &Quitter;
    const std::string next = add(header(1000));
    Params.deleteElem(GoodBadListC::GOOD, 1);
    Params.insertPos(GoodBadListC::GOOD, 0, path.c_str());
    Window.setLine("");
    EXPECT_EQ(run(), 0);
    QuitterToSet = nullptr;
    EXPECT_EQ(Edit.Shown, "\r\n");
    EXPECT_EQ(names(GoodBadListC::GOOD), (Names{path, next}));
    EXPECT_EQ(Engine.close(), 0);
}

// The same rhythm and the same stop when the data come in windows of any
// size, the worker taking many of them: a poll of the clock every 1024 data,
// a quit seen before the next datum, and the clock not read after it.
TEST_F(ValidateTest, DotsAndQuitTheSameInWindowsOfAnySize) {
    const std::string path = add(header(26000) + repeat("0.1\n", 26000));
    for (const std::size_t bytes : {std::size_t{64}, std::size_t{1000}, std::size_t{0}}) {
        for (const bool quit : {false, true}) {
            ValidateC engine(Params, Quitter);
            engine.OutWin = &Window;
            engine.setClock(tickingClock);
            if (bytes != 0) engine.setWindowBytes(bytes);
            Window.setLine("");
            Quitter.QuitState = QuitterS::Running;
            FakeNow = 0;
            QuitterToSet = quit ? &Quitter : nullptr;
            EXPECT_EQ(engine.ValidateAll(), 0);
            QuitterToSet = nullptr;
            EXPECT_EQ(
                Edit.Shown,
                quit ? "\r\n"
                     : "\r\n........" + result(path, "2.60 s (2600.0 ms) | 0 spikes => 0.0/sec."))
                << bytes;
            EXPECT_EQ(FakeNow, quit ? 1 : 25) << bytes;  // readings of the clock
            EXPECT_EQ(names(GoodBadListC::GOOD), Names{path});
        }
    }
}

void* noMemory(void*, std::size_t) {
    return nullptr;
}

// A full window without memory to grow: the writer warns, the pass goes on.
TEST_F(ValidateTest, WriterFailureIsReportedAndThePassGoesOn) {
    Window.setLine(std::string(TextWinC::TextStartRoom - 2, 'x').c_str());
    const std::string missing = Files.dir() + "/gone.txt";
    Params.appendNew(GoodBadListC::GOOD, missing.c_str());
    const std::string good = add(header(1000));
    TextWinC::Realloc = noMemory;
    EXPECT_EQ(run(), 0);
    TextWinC::Realloc = std::realloc;
    EXPECT_EQ(
        testboxes::takeTexts(),
        Names{testboxes::box("Tallywave ValidateC::badNotReadable():\naddLine() test read "
                             "failure message failed.\nFname=[" +
                                 missing + "].\nCurrent Good list item 1; list total should be 2.",
                             -2)});
    EXPECT_EQ(names(GoodBadListC::GOOD), Names{good});
    EXPECT_EQ(names(GoodBadListC::BAD), Names{missing});
}

// No memory for a report line: each writer warns with the bytes it asked
// for, and the files still move to BAD (the lists may still grow).
TEST_F(ValidateTest, ReportLinesWithoutMemoryAreWarnedAboutAndThePassGoesOn) {
    const std::string missing = Files.dir() + "/gone.txt";
    Params.appendNew(GoodBadListC::GOOD, missing.c_str());
    const std::string bad = add(header(999));
    {
        ListMemoryLimitC elementsOnly(sizeof(GoodBadListC::ElemS));
        EXPECT_EQ(run(), 0);
    }
    auto warning = [](const std::string& name) {
        return testboxes::box(
            "Tallywave ValidateC:  Can't allocate 10000 bytes for a report line.\nFname=[" + name +
                "].",
            -2);
    };
    EXPECT_EQ(testboxes::takeTexts(), (Names{warning(missing), warning(bad)}));
    EXPECT_EQ(names(GoodBadListC::BAD), (Names{missing, bad}));
    EXPECT_EQ(std::string(Window.Text), "");
}

// BAD is gone: moveBadFile warns after the list did, then the pass ends
// with the status of the failed check.
TEST_F(ValidateTest, FailedMoveEndsThePass) {
    const std::string bad = add(header(999));
    add(header(1000));
    Params.deleteList(GoodBadListC::BAD);
    EXPECT_EQ(run(), -9);
    EXPECT_EQ(Status.load(), -9);
    const std::string at = "Fname=[" + bad + "].\n";
    Names boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 3u);
    boxes.erase(boxes.begin());
    EXPECT_EQ(boxes,
              (Names{testboxes::box("Tallywave ValidateC::moveBadFile():\nCan't add file name to "
                                    "Bad list because of SAMPLES.\n" +
                                        at +
                                        "appendNew(BAD, Fname) failed; was ix=1 element of "
                                        "2 Good names.",
                                    -4),
                     testboxes::box("Tallywave ValidateC::ValidateAll():\nCan't add file name to "
                                    "Bad list because of bad header value.\n" +
                                        at +
                                        "moveBadFile(\"SAMPLES\") failed; was ix=1 element "
                                        "of 2 Good names.",
                                    -9)}));

    // A file that cannot be opened has warnings of its own.
    restart();
    const std::string missing = Files.dir() + "/gone.txt";
    Params.appendNew(GoodBadListC::GOOD, missing.c_str());
    Params.deleteList(GoodBadListC::BAD);
    EXPECT_EQ(run(), -4);
    boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], testboxes::box("Tallywave ValidateC::ValidateAll():\nCan't add file name "
                                       "to Bad list.\nFname=[" +
                                           missing +
                                           "].\nappendNew(BAD, Fname) failed; was ix=1 element "
                                           "of 1 Good names.",
                                       -4));
}

}  // namespace
