// The silent and text-mode application against the in-memory windowing
// layer: the banner and bad-name line it builds, the stages its idle hook
// runs, the answers to the prompt, and closing only on a confirmed quit.
#include "textui/TallyTAppC.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/native/StandIns.h"
#include "tests/common/ListMemory.h"
#include "tests/common/SampleRun.h"
#include "tests/common/WaveText.h"
#include "tests/common/WindowClock.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"

namespace {

using testboxes::box;
using Texts = std::vector<std::string>;

const char Prompt[] = "CR to proceed; x to abort:  ";
const char Aborted[] = "Tallywave terminated at user request.\r\n";

class TallyTAppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        errno = 0;
    }

    // The start-up object of "tallywave args..." run in the temporary folder.
    StartupC& startup(std::vector<std::string> args) {
        Words = {"C:\\Tally\\tallywave.exe"};
        for (auto& arg : args)
            Words.push_back(arg.find(".txt") != std::string::npos ? Files.dir() + "/" + arg : arg);
        Argv.clear();
        for (auto& word : Words) Argv.push_back(&word[0]);
        Argv.push_back(nullptr);
        Startup = std::make_unique<StartupC>(Argv.data());
        return *Startup;
    }
    // Runs the application; between the idle steps the user does steps[i],
    // then closes the window, and the quit question is answered with answers.
    int run(TallyTAppC& app, std::vector<std::function<void(standin::EditControlC&)>> steps,
            std::vector<int> answers = {seam::AnswerYes}) {
        std::size_t step = 0;
        standin::setUserScript([&](TApplication&) {
            if (step == steps.size()) return false;
            steps[step++](standin::editOf(app.TextWinCP->TEditP));
            return true;
        });
        testboxes::answerInTurn(answers);
        return app.Run();
    }
    std::string wave(const std::string& name) {
        return Files.write(wavetext::header(1000) + wavetext::repeat("0.5\n", 1000), name);
    }

    testfiles::TempFilesC Files;
    QuitterS Quitter;
    std::vector<std::string> Words;
    std::vector<char*> Argv;
    std::unique_ptr<StartupC> Startup;
};

TEST_F(TallyTAppTest, TheBannerNamesTheUserTheFilesAndTheCommand) {
    StartupC& start = startup({"-t", "50", "10", "good.txt", "bad.doc"});
    TallyTAppC app(&start, &Quitter, ReleaseStr);
    const std::string banner = app.MsgStr.c_str();
    EXPECT_TRUE(app.InvokeOK);
    EXPECT_EQ(banner.rfind("tester invoked  Tallywave Release v. 1.0 of 2003-05-22\r\n" +
                               std::string(63, '-') + "\r\n",
                           0),
              0u)
        << banner;
    EXPECT_NE(banner.find("\r\n   +" + std::string(45, '-') +
                          "\r\n"
                          "   |SAMPLES:(tab)       (decimal integer > 999)  *\r\n"
                          "   |BITSPERSAMPLE:(tab) (decimal integer > 7)\r\n"
                          "   |CHANNELS:(tab)      1\r\n"
                          "   |SAMPLERATE:(tab)    (decimal integer > 5999) *\r\n"
                          "   |NORMALIZED:(tab)    TRUE\r\n"
                          "   |(begin signed-double data)\r\n"
                          "   | . . .\r\n"),
              std::string::npos)
        << banner;
    const std::string tail =
        " Invoke as:\r\n"
        "   Tallywave [-s|-t] (height)(width) fname1 [fname2 . . .]\r\n\r\n"
        " -s=silent (batch) mode;  -t=text mode; none=graphic mode, with\r\n"
        " help system.\r\n" +
        std::string(63, '-') +
        "\r\n"
        "In: " +
        start.CWD + " at " + start.Date + " " + start.Time +
        "\r\n"
        "Invalid fname: [bad.doc ]\r\n"
        "The command will be: [tallywave 50 10 " +
        Files.dir() + "/good.txt ]\r\n" + Prompt;
    ASSERT_GE(banner.size(), tail.size());
    EXPECT_EQ(banner.substr(banner.size() - tail.size()), tail);
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

TEST_F(TallyTAppTest, AnInvocationWithoutFilesEndsTheBannerWithoutAPrompt) {
    for (auto args : {std::vector<std::string>{"-t", "50", "10"},
                      std::vector<std::string>{"-t", "50", "10", "only.doc"}}) {
        StartupC& start = startup(args);
        TallyTAppC app(&start, &Quitter, ReleaseStr);
        const std::string banner = app.MsgStr.c_str();
        const std::string tail = std::string(start.Time) +
                                 "\r\nInvalid Invocation line.\r\nPlease exit and try again.\r\n";
        EXPECT_FALSE(app.InvokeOK);
        ASSERT_GE(banner.size(), tail.size());
        EXPECT_EQ(banner.substr(banner.size() - tail.size()), tail);
    }
}

// Names beyond the first 2,048 bytes of the banner are all shown.
TEST_F(TallyTAppTest, TheBannerGrowsToHoldEveryName) {
    std::vector<std::string> args = {"-t", "50", "10"};
    std::string names;
    for (int i = 0; i < 150; ++i) {
        args.push_back("name-of-some-length-" + std::to_string(i) + ".txt");
        names += Files.dir() + "/" + args.back() + " ";
    }
    StartupC& start = startup(args);
    TallyTAppC app(&start, &Quitter, ReleaseStr);
    const std::string banner = app.MsgStr.c_str();
    EXPECT_GT(banner.size(), 2 * TallyTAppC::MsgStartSize);
    EXPECT_NE(banner.find("[tallywave 50 10 " + names + "]\r\n" + Prompt), std::string::npos);
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

// Without memory for MsgStr each banner piece is reported under its own code,
// and so is the silent-mode bad-name line. The joined names have their
// memory from before.
TEST_F(TallyTAppTest, TextsWithoutMemoryAreReportedUnderTheirCodes) {
    StartupC& text = startup({"-t", "50", "10", "good.txt", "bad.doc"});
    text.listNames(GoodBadListC::GOOD);
    text.listNames(GoodBadListC::BAD);
    Texts expected;
    for (int code : {-2, -3, -4, -5, -6, -7, -9, -10})
        expected.push_back(box("TallyTAppC createBanStr() sprintf failed.", code));
    expected.push_back(
        box("Tallywave.TallyTAppC makeBanStr() returned failure.\n"
            "Startup message may be garbled or incorrect.",
            -10));
    {
        ListMemoryLimitC none(0);
        TallyTAppC app(&text, &Quitter, ReleaseStr);
        EXPECT_STREQ(app.MsgStr.c_str(), "");
    }
    EXPECT_EQ(testboxes::takeTexts(), expected);

    StartupC& silent = startup({"-s", "50", "10", "good.txt", "bad.doc"});
    silent.listNames(GoodBadListC::BAD);
    {
        ListMemoryLimitC none(0);
        TallyTAppC app(&silent, &Quitter, ReleaseStr);
    }
    EXPECT_EQ(testboxes::takeTexts(),
              (Texts{box("TallyTAppC reportBadNames() sprintf failed.", -2),
                     box("Tallywave.TallyTAppC reportBadNames() returned failure.\n"
                         "Text messages may be garbled or incorrect.",
                         -2)}));
}

// Silent mode: the bad-name line and an empty line, then one line per file;
// the first close is refused (No) with the text unchanged, the second ends
// the run with 0.
TEST_F(TallyTAppTest, SilentModeRunsAtOnceAndClosesOnlyOnYes) {
    const std::string good = wave("good.txt");
    StartupC& start = startup({"-s", "50", "10", "good.txt", "bad.doc", "missing.txt"});
    TallyTAppC app(&start, &Quitter, ReleaseStr);
    std::string afterNo;
    standin::setUserScript([&](TApplication&) { return false; });
    standin::setBoxAnswerer([&](const standin::ShownBox&) {
        if (!afterNo.empty()) return int(seam::AnswerYes);
        afterNo = standin::editOf(app.TextWinCP->TEditP).Shown;
        return int(seam::AnswerNo);
    });
    EXPECT_EQ(app.Run(), 0);
    const std::string text = standin::editOf(app.TextWinCP->TEditP).Shown;
    EXPECT_EQ(text, "Invalid fname: [bad.doc ]\r\n\r\n" + good +
                        " : 0.10 s (100.0 ms) | 0 spikes => 0.0/sec.\r\n"
                        "File=" +
                        Files.dir() + "/missing.txt.  Can't open for test read.\r\n");
    EXPECT_EQ(afterNo, text);
    EXPECT_EQ(standin::shownBoxes().size(), 2u);
}

// Silent mode with nothing to do: one empty line, and the failed pass is
// shown once more when the run ends.
TEST_F(TallyTAppTest, SilentModeWithoutFilesReportsTheFailedPass) {
    StartupC& start = startup({"-s", "50", "10", "bad.doc"});
    testboxes::takeTexts();
    TallyTAppC app(&start, &Quitter, ReleaseStr);
    EXPECT_EQ(run(app, {}), 0);
    EXPECT_EQ(standin::editOf(app.TextWinCP->TEditP).Shown, "Invalid fname: [bad.doc ]\r\n\r\n");
    const Texts boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 2u);  // the failed pass, then the quit question
    EXPECT_EQ(boxes[0], box("Tallywave:  TallyTAppC::doRun() Validate() call failed.\n"
                            "See text output window for possible details.",
                            -2));
}

// Text mode: Enter anywhere proceeds (the run starts at the next idle step);
// a key, or a paste without a line break, aborts and the text turns
// read-only; keys that change nothing do nothing.
TEST_F(TallyTAppTest, TheAnswerToThePromptDecidesTheRun) {
    const std::string good = wave("good.txt");
    const std::string result = good + " : 0.10 s (100.0 ms) | 0 spikes => 0.0/sec.\r\n";
    struct Case {
        const char* typed;
        bool runs;
    };
    for (const Case& answer : {Case{"\r\n", true}, Case{"x", false}, Case{"pasted", false}}) {
        StartupC& start = startup({"-t", "50", "10", "good.txt"});
        TallyTAppC app(&start, &Quitter, ReleaseStr);
        std::string banner;
        EXPECT_EQ(run(app, {[&](standin::EditControlC& edit) { banner = edit.Shown; },
                            [&](standin::EditControlC& edit) { edit.userTypes(answer.typed); },
                            [&](standin::EditControlC& edit) { edit.userTypes("more"); }}),
                  0);
        const standin::EditControlC& edit = standin::editOf(app.TextWinCP->TEditP);
        SCOPED_TRACE(answer.typed);
        EXPECT_EQ(banner, std::string(app.MsgStr.c_str()) + "\r\n");
        // What the user typed gives way to the program's own text.
        EXPECT_EQ(edit.Shown, banner + (answer.runs ? result : Aborted));
        EXPECT_TRUE(edit.ReadOnly);
        EXPECT_EQ(app.RunStarted, answer.runs);
    }
}

// A close during the run asks at once (the user's turns come from the
// pass). No lets the run end as it would have; Yes stops it, the window
// shows nothing more, and the run ends with 0 once the pass is over, in
// silent mode and in text mode after Enter.
TEST_F(TallyTAppTest, ACloseDuringTheRunIsAskedAtOnce) {
    windowclock::TurnAtEveryPollC turns;
    std::vector<std::string> paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        paths.push_back(
            Files.write(wavetext::header(5000) + wavetext::repeat("0.5\n", 5000), name));
    const std::string undisturbed = "\r\n" + testcheck::silentRunText(paths, 50, 10);
    struct Case {
        const char* mode;
        int answer;
    };
    for (const Case& close :
         {Case{"-s", seam::AnswerNo}, Case{"-s", seam::AnswerYes}, Case{"-t", seam::AnswerYes}}) {
        SCOPED_TRACE(std::string(close.mode) + (close.answer == seam::AnswerYes ? " Yes" : " No"));
        StartupC& start = startup({close.mode, "50", "10", "a.txt", "b.txt", "c.txt"});
        TallyTAppC app(&start, &Quitter, ReleaseStr);
        const int QuitTurn = 12;  // in the second file
        std::string atQuestion;
        int passTurns = 0;
        bool userClosedAfterYes = false;
        standin::setUserScript([&](TApplication&) {
            if (!app.RunStarted) {
                standin::editOf(app.TextWinCP->TEditP).userTypes("\r\n");  // text mode: Enter
                return true;
            }
            if (!app.PassRunning) {  // the run is over: a quit confirmed closes by itself
                userClosedAfterYes = Quitter.QuitState != QuitterS::Running;
                return false;
            }
            if (++passTurns == QuitTurn) atQuestion = app.TextWinCP->Text;
            return passTurns != QuitTurn;  // the close box
        });
        standin::clearShownBoxes();
        testboxes::answerInTurn({close.answer});
        Quitter.QuitState = QuitterS::Running;
        EXPECT_EQ(app.Run(), 0);
        const std::string text = app.TextWinCP->Text;
        EXPECT_EQ(standin::shownBoxes().size(), close.answer == seam::AnswerYes ? 1u : 2u);
        if (close.answer == seam::AnswerNo) {
            EXPECT_EQ(text, undisturbed);
            continue;
        }
        EXPECT_EQ(passTurns, QuitTurn);  // none after Yes
        EXPECT_FALSE(userClosedAfterYes);
        EXPECT_NE(atQuestion.find("a.txt : "), std::string::npos) << atQuestion;
        EXPECT_EQ(text, atQuestion);
    }
}

// Text mode with an unusable invocation: typing is never judged.
TEST_F(TallyTAppTest, AnInvalidInvocationIgnoresWhatIsTyped) {
    StartupC& start = startup({"-t", "50", "10"});
    TallyTAppC app(&start, &Quitter, ReleaseStr);
    EXPECT_EQ(run(app, {[](standin::EditControlC& edit) { edit.userTypes("x"); },
                        [](standin::EditControlC& edit) { edit.userTypes("\r\n"); }}),
              0);
    const standin::EditControlC& edit = standin::editOf(app.TextWinCP->TEditP);
    EXPECT_EQ(edit.Shown, std::string(app.MsgStr.c_str()) + "\r\nx\r\n");
    EXPECT_FALSE(edit.ReadOnly);
    EXPECT_FALSE(app.RunStarted);
}

}  // namespace
