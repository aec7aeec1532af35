// Graphic mode's two threads end together: the output window's application
// runs in a real thread of its own, the graphic application runs here, both
// against the in-memory windowing layer (under the sanitizers, so a thread
// touching a freed object fails the test).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/TFileOpenDialog.h"
#include "framework/TThread.h"
#include "framework/native/StandIns.h"
#include "gui/TallyGAppC.h"
#include "startup/ErrHandleC.h"
#include "tests/common/WaveText.h"
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

    char Program[16] = "tallywave.exe";
    char* Argv[2] = {Program, nullptr};
    StartupC Startup{Argv};
    QuitterS Quitter;
    std::vector<bool (*)(TallyGAppC&)> Turns;
    std::size_t Turn = 0;
};

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

// What the clock of the Count below does: at its QuitAt-th reading the user
// confirms a quit, as from the nested loop of a box, and the output window's
// thread is left time to take its windows down and end under the pass.
struct QuitDuringCountS {
    static TallyGAppC* Graphic;
    static QuitterS* Quitter;
    static int Readings;
    static std::string TextAtQuit;
    static constexpr int QuitAt = 10;
    static std::time_t clock(std::time_t* out) {
        if (++Readings == QuitAt) {
            TextAtQuit = Quitter->TextAppP.load()->TextWinCP->Text;
            Graphic->DialogBoxCP->command(DialogBoxC::QuitId, 0);
            for (int i = 0; i < 2000 && !Quitter->TextAppP.load()->threadDone(); ++i)
                thread::sleepMillis(5);
        }
        if (out != nullptr) *out = 1000000;
        return 1000000;
    }
};
TallyGAppC* QuitDuringCountS::Graphic = nullptr;
QuitterS* QuitDuringCountS::Quitter = nullptr;
int QuitDuringCountS::Readings = 0;
std::string QuitDuringCountS::TextAtQuit;

// A quit confirmed while a Count runs: the output window goes under the
// pass, the pass stops at once (its clock is not read again) and writes
// nothing more, and the run ends with 0 with no thread touching what the
// other freed (the sanitizers watch).
TEST_F(GraphicQuitTest, AQuitConfirmedDuringACountEndsThePassAndBothThreads) {
    testfiles::TempFilesC files;
    std::string selection = files.dir() + "/w" + '\0';  // file names hold the backslash
    for (int i = 0; i < 6; ++i) {
        const std::string name = "w" + std::to_string(i) + ".txt";
        files.write(wavetext::header(5000) + wavetext::repeat("0.25\n", 5000), "w\\" + name);
        selection += name + '\0';
    }
    selection += '\0';
    standin::setOpenDialogScript([&](TOpenSaveDataS& data, unsigned long& code) {
        std::copy(selection.begin(), selection.end(), data.FileName);
        code = 0;
        return TOpenSaveDataS::Ok;
    });
    scriptGraphicUser({[](TallyGAppC& app) {
        app.DialogBoxCP->setClock(QuitDuringCountS::clock);
        app.DialogBoxCP->command(DialogBoxC::SelectId, 0);
        app.DialogBoxCP->command(DialogBoxC::CountId, 0);
        return true;
    }});
    startOutputWindow();
    TallyGAppC graphic(&Startup, &Quitter, ReleaseStr);
    QuitDuringCountS::Graphic = &graphic;
    QuitDuringCountS::Quitter = &Quitter;
    QuitDuringCountS::Readings = 0;
    EXPECT_EQ(graphic.Run(), 0);
    EXPECT_EQ(QuitDuringCountS::Readings, QuitDuringCountS::QuitAt);  // no reading after
    EXPECT_TRUE(Quitter.TextAppP.load()->threadDone());
    EXPECT_NE(QuitDuringCountS::TextAtQuit.find("w1.txt : "), std::string::npos);
    EXPECT_EQ(std::string(Quitter.TextAppP.load()->TextWinCP->Text), QuitDuringCountS::TextAtQuit);
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakenDown);
    releaseTextApp(Quitter);
    EXPECT_EQ(Quitter.TextAppP.load(), nullptr);
    EXPECT_EQ(standin::shownBoxes().size(), 1u);  // the quit question only
}

}  // namespace
