// Graphic mode's two threads end together: the output window's application
// runs in a real thread of its own, the graphic application runs here, both
// against the in-memory windowing layer (under the sanitizers, so a thread
// touching a freed object fails the test).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/TFileOpenDialog.h"
#include "framework/TThread.h"
#include "framework/native/StandIns.h"
#include "gui/TallyGAppC.h"
#include "tests/common/CountSummary.h"
#include "tests/common/WaveText.h"
#include "tests/common/WindowClock.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/NewThreadC.h"

namespace {

class GraphicQuitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        TextAppC::StartLineShown = false;
        standin::setBoxAnswerer([](const standin::ShownBox&) { return seam::AnswerYes; });
    }
    void TearDown() override {
        standin::resetAll();
        TextAppC::StartLineShown = false;
    }
    // The output window's thread, as the entry starts it; between messages its
    // user does nothing but wait.
    void startOutputWindow() {
        Quitter.TextAppP = new TextAppC(ReleaseStr, &Quitter);
        NewThreadC started(&Quitter);
        ASSERT_NE(started.ThreadHandle, thread::Failed);
    }
    // The graphic user's turns, in order; after the last one the user waits.
    void scriptGraphicUser(std::vector<bool (*)(TallyGAppC&)> turns) {
        Turns = std::move(turns);
        standin::setUserScript([this](TApplication& app) {
            auto* graphic = dynamic_cast<TallyGAppC*>(&app);
            if (graphic == nullptr || Turn == Turns.size()) {
                thread::sleepMillis(1);
                return true;
            }
            return Turns[Turn++](*graphic);
        });
    }
    bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 2000 && !condition(); ++i) thread::sleepMillis(5);
        return condition();
    }
    // The output window's user, between messages.
    static bool waitAWhile() {
        thread::sleepMillis(1);
        return true;
    }
    // Six files of 5,000 data, which the file dialog chooses; Selections
    // counts its uses.
    void offerSixFiles() {
        Selection = Files.dir() + "/w" + '\0';  // file names hold the backslash
        for (int i = 0; i < 6; ++i) {
            const std::string name = "w" + std::to_string(i) + ".txt";
            Files.write(wavetext::header(5000) + wavetext::repeat("0.25\n", 5000), "w\\" + name);
            Selection += name + '\0';
        }
        Selection += '\0';
        standin::setOpenDialogScript([this](TOpenSaveDataS& data, unsigned long& code) {
            ++Selections;
            std::copy(Selection.begin(), Selection.end(), data.FileName);
            code = 0;
            return TOpenSaveDataS::Ok;
        });
    }
    static TEdit* fieldOf(const DialogBoxC& dialog, int id) {
        for (TWindow* w = dialog.firstChild(); w != nullptr; w = w->nextSibling())
            if (w->Attr.Id == id) return dynamic_cast<TEdit*>(w);
        return nullptr;
    }
    standin::EditControlC& outputEdit() {
        return standin::editOf(Quitter.TextAppP.load()->TextWinCP->TEditP);
    }
    std::string outputText() { return Quitter.TextAppP.load()->TextWinCP->Text; }

    char Program[16] = "tallywave.exe";
    char* Argv[2] = {Program, nullptr};
    StartupC Startup{Argv};
    QuitterS Quitter;
    std::vector<bool (*)(TallyGAppC&)> Turns;
    std::size_t Turn = 0;
    testfiles::TempFilesC Files;
    std::string Selection;  // what the file dialog gives
    int Selections = 0;
};

const char StartLine[] = "Tallywave output messages will appear here.\r\n";

// The output window shows its start-up line alone; asked down, it goes, and
// only then is its application freed.
TEST_F(GraphicQuitTest, OutputWindowShowsItsLineAndEndsWhenAsked) {
    scriptGraphicUser({});
    startOutputWindow();
    TextAppC* app = Quitter.TextAppP;
    ASSERT_TRUE(waitFor([&] { return app->readyWindow() != nullptr; }));
    EXPECT_EQ(std::string(app->TextWinCP->Text), "Tallywave output messages will appear here.\r\n");
    EXPECT_FALSE(app->threadDone());
    EXPECT_FALSE(app->canClose());  // no close while both run

    releaseTextApp(Quitter);  // no quit was confirmed: the entry asks
    EXPECT_EQ(Quitter.TextAppP.load(), nullptr);
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakenDown);
    EXPECT_EQ(Quitter.ReleaseMode, QuitterS::EntryDestroys);
}

// Quit and Yes: the output window goes first, then the dialog and with it
// the frame, and the run returns 0.
TEST_F(GraphicQuitTest, QuitButtonEndsBothThreadsInTurn) {
    scriptGraphicUser({[](TallyGAppC& app) {
        app.DialogBoxCP->command(DialogBoxC::QuitId, 0);
        return true;
    }});
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakenDown);
    EXPECT_EQ(Quitter.ReleaseMode, QuitterS::ThreadDestroys);
    EXPECT_TRUE(Quitter.TextAppP.load()->threadDone());
    EXPECT_FALSE(graphic.DlgFrameP->created());
    releaseTextApp(Quitter);
    EXPECT_EQ(Quitter.TextAppP.load(), nullptr);
    EXPECT_EQ(standin::shownBoxes().size(), 1u);  // one question only
}

// No keeps everything; closing the frame then asks again, and Yes closes it
// at once while the output window takes itself down.
TEST_F(GraphicQuitTest, CloseBoxAsksAndYesClosesAtOnce) {
    testboxes::answerInTurn({seam::AnswerNo, seam::AnswerYes});
    scriptGraphicUser({[](TallyGAppC& app) {
        app.DialogBoxCP->command(DialogBoxC::QuitId, 0);  // No
        return false;                                     // then the close box
    }});
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_EQ(Quitter.ReleaseMode, QuitterS::ThreadDestroys);
    EXPECT_EQ(standin::shownBoxes().size(), 2u);
    releaseTextApp(Quitter);
    EXPECT_EQ(Quitter.TextAppP.load(), nullptr);
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakenDown);
}

// During a Count the user's turns come from the pass. Count, Check and
// Select do nothing then, the fields take no typing, Help works; the close box asks
// at once and No lets the Count end as it would have (as the next, unasked
// Count shows), with the user's selection in the output window kept.
TEST_F(GraphicQuitTest, DuringACountOnlyTheQuitQuestionComesAndNoLetsItEnd) {
    windowclock::TurnAtEveryPollC turns;
    offerSixFiles();
    int passTurns = 0;
    std::string afterFirstCount;
    standin::setUserScript([&](TApplication& app) {
        auto* graphic = dynamic_cast<TallyGAppC*>(&app);
        if (graphic == nullptr) return waitAWhile();
        DialogBoxC& dialog = *graphic->DialogBoxCP;
        if (dialog.passRunning()) {
            if (++passTurns == 1) {
                for (int id : {DialogBoxC::CountId, DialogBoxC::CheckId, DialogBoxC::SelectId,
                               DialogBoxC::HelpId})
                    dialog.command(id, 0);
                EXPECT_NE(standin::lastMenuTrack().owner, nullptr);  // Help works
                EXPECT_TRUE(standin::editOf(fieldOf(dialog, DialogBoxC::HeightId)).ReadOnly);
                outputEdit().userSelects(0, 9);
            }
            return passTurns != 2;  // the second turn: the close box
        }
        if (afterFirstCount.empty()) {
            dialog.command(DialogBoxC::SelectId, 0);
            dialog.command(DialogBoxC::CountId, 0);
            afterFirstCount = outputText();
            dialog.command(DialogBoxC::CountId, 0);
            EXPECT_FALSE(standin::editOf(fieldOf(dialog, DialogBoxC::HeightId)).ReadOnly);
        }
        return false;  // the close box, after the Counts
    });
    testboxes::answerInTurn({seam::AnswerNo, seam::AnswerYes});
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_GT(passTurns, 20);
    const std::string block = afterFirstCount.substr(std::strlen(StartLine));
    EXPECT_NE(block.find("w5.txt : "), std::string::npos) << block;
    EXPECT_EQ(outputText(), afterFirstCount + block);
    EXPECT_EQ(outputEdit().selectedText(), "Tallywave");
    EXPECT_EQ(Selections, 1);
    EXPECT_EQ(standin::shownBoxes().size(), 2u);
    releaseTextApp(Quitter);
}

// The user's last turn of a Count comes once its last line is written,
// while it still runs: Count, Check and Select pressed then (as when the
// clicks wait for the thread at the end of the pass) do nothing, and no
// pass follows.
TEST_F(GraphicQuitTest, ClicksAfterTheLastLineOfACountAreTakenWhileItRuns) {
    windowclock::TurnAtEveryPollC turns;
    offerSixFiles();
    bool counted = false, turnAfterLastLine = false;
    standin::setUserScript([&](TApplication& app) {
        auto* graphic = dynamic_cast<TallyGAppC*>(&app);
        if (graphic == nullptr) return waitAWhile();
        DialogBoxC& dialog = *graphic->DialogBoxCP;
        if (!dialog.passRunning()) {
            if (counted) return false;  // the close box, after the Count
            counted = true;
            dialog.command(DialogBoxC::SelectId, 0);
            dialog.command(DialogBoxC::CountId, 0);
            return true;
        }
        if (outputText().find(testcheck::SummaryEnd) != std::string::npos) {
            turnAfterLastLine = true;
            for (int id : {DialogBoxC::CountId, DialogBoxC::CheckId, DialogBoxC::SelectId})
                dialog.command(id, 0);
        }
        return true;
    });
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_TRUE(turnAfterLastLine);
    const std::string text = outputText();
    EXPECT_EQ(text.find(testcheck::SummaryEnd), text.size() - std::strlen(testcheck::SummaryEnd));
    EXPECT_EQ(Selections, 1);
    releaseTextApp(Quitter);
}

// The close box during a Count, Yes: the pass stops at its next check
// (no turn comes after) and writes nothing more; the windows it uses stay
// while it runs, even once the output window's thread has ended, and go
// after it; the run ends with 0 (the sanitizers watch what is freed).
TEST_F(GraphicQuitTest, AQuitConfirmedDuringACountStopsItAndTheWindowsGoAfterIt) {
    windowclock::TurnAtEveryPollC turns;
    offerSixFiles();
    const int QuitTurn = 25;
    int passTurns = 0;
    bool closed = true, windowsUp = false;
    std::string textAtQuit;
    standin::setUserScript([&](TApplication& app) {
        auto* graphic = dynamic_cast<TallyGAppC*>(&app);
        if (graphic == nullptr) return waitAWhile();
        if (!graphic->DialogBoxCP->passRunning()) {
            graphic->DialogBoxCP->command(DialogBoxC::SelectId, 0);
            graphic->DialogBoxCP->command(DialogBoxC::CountId, 0);
            return true;  // then the quit handshake ends the run
        }
        if (++passTurns == QuitTurn) {
            textAtQuit = outputText();
            closed = graphic->canClose() || graphic->canClose();  // asked once
            waitFor([&] { return Quitter.TextAppP.load()->threadDone(); });
            windowsUp = graphic->DlgFrameP->created() && graphic->DialogBoxCP->created();
        }
        return true;
    });
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_EQ(passTurns, QuitTurn);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(windowsUp);
    EXPECT_NE(textAtQuit.find("w1.txt : "), std::string::npos) << textAtQuit;
    EXPECT_EQ(outputText(), textAtQuit);
    EXPECT_FALSE(graphic.DlgFrameP->created());
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakenDown);
    releaseTextApp(Quitter);
    EXPECT_EQ(Quitter.TextAppP.load(), nullptr);
    EXPECT_EQ(standin::shownBoxes().size(), 1u);
}

}  // namespace
