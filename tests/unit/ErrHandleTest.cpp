// The reporting facility: exact box texts, captions and flags, the status and
// system-error lines, the cut at capacity, concurrent reports and the quit
// question, as the user sees them in the boxes.
#include "core/ErrHandleC.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <string>
#include <thread>

#include "core/RunModeC.h"
#include "framework/PlatformSeams.h"
#include "framework/native/StandIns.h"

namespace {

const std::string Head = std::string(ReleaseStr) + "\n\n\n";
const unsigned InfoFlags = seam::BoxOk | seam::BoxIconInformation | seam::BoxTaskModal;
const unsigned WarningFlags = seam::BoxOk | seam::BoxIconExclamation | seam::BoxTaskModal;

class ErrHandleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        Handle.setTitle(ReleaseStr);
    }
    void TearDown() override { standin::resetAll(); }

    standin::ShownBox onlyBox() {
        auto boxes = standin::shownBoxes();
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? standin::ShownBox{} : boxes.front();
    }
    // The next report starts from the title alone: nothing of earlier ones is left.
    void expectFreshStart() {
        standin::clearShownBoxes();
        errno = 0;
        Handle.report(0, "next");
        EXPECT_EQ(onlyBox().text, Head + "next\n   -----> Status=0 *****\n");
    }

    ErrHandleC Handle;
};

TEST_F(ErrHandleTest, StatusZeroShowsAnInformationBoxAndReturnsZero) {
    EXPECT_EQ(Handle.report(0, "Fname=[%s].", "a.txt"), 0);
    auto box = onlyBox();
    EXPECT_EQ(box.caption, "Tallywave Message:");
    EXPECT_EQ(box.flags, InfoFlags);
    EXPECT_EQ(box.text, Head + "Fname=[a.txt].\n   -----> Status=0 *****\n");
}

TEST_F(ErrHandleTest, AnyOtherStatusShowsAWarningBoxWhateverTheText) {
    EXPECT_EQ(Handle.report(-3, "WARNING! %u of %d %X %.1f %.2d %%", 7u, -1, 255u, 2.25, 5), -3);
    EXPECT_EQ(Handle.report(4, "positive"), 4);
    auto boxes = standin::shownBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Tallywave WARNING!");
    EXPECT_EQ(boxes[0].flags, WarningFlags);
    EXPECT_EQ(boxes[0].text, Head + "WARNING! 7 of -1 FF 2.2 05 %\n   -----> Status=-3 *****\n");
    EXPECT_EQ(boxes[1].caption, "Tallywave WARNING!");
}

TEST_F(ErrHandleTest, KnownErrnoAddsTheSystemErrorLineOnceThenIsCleared) {
    errno = ENOENT;
    Handle.report(-2, "open failed");
    Handle.report(-2, "again");
    auto boxes = standin::shownBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, Head + "open failed\n   -----> Status=-2 *****\n" +
                                 "\nSYSTEM ERROR: errno=2 : " + std::strerror(ENOENT) + "\n");
    EXPECT_EQ(boxes[1].text, Head + "again\n   -----> Status=-2 *****\n");
    EXPECT_EQ(errno, 0);
}

TEST_F(ErrHandleTest, ZeroNegativeOrUnknownErrnoAddsNoSystemErrorLine) {
    for (int number : {0, -1, seam::largestErrnoWithText() + 1}) {
        standin::clearShownBoxes();
        errno = number;
        Handle.report(-1, "x");
        EXPECT_EQ(onlyBox().text, Head + "x\n   -----> Status=-1 *****\n") << number;
    }
    errno = seam::largestErrnoWithText();
    Handle.report(-1, "x");
    EXPECT_NE(standin::shownBoxes().back().text.find("SYSTEM ERROR"), std::string::npos);
}

TEST_F(ErrHandleTest, AfterAReportTheNextStartsAfreshAndErrnoIsClearedEvenIfTheBoxSetIt) {
    standin::setBoxAnswerer([](const standin::ShownBox&) {
        errno = EACCES;  // the platform's box may leave an error number behind
        return int(seam::AnswerOk);
    });
    Handle.report(-7, "text");
    EXPECT_EQ(errno, 0);
    expectFreshStart();
}

TEST(ErrHandleTitle, ReportBeforeAnyTitleStartsWithTheThreeLineEndsAlone) {
    standin::resetAll();
    ErrHandleC fresh;
    fresh.report(0, "early");
    ASSERT_EQ(standin::shownBoxes().size(), 1u);
    EXPECT_EQ(standin::shownBoxes()[0].text, "\n\n\nearly\n   -----> Status=0 *****\n");
    standin::resetAll();
}

TEST(ErrHandleTitle, ATitleLongerThanItsFieldIsCut) {
    standin::resetAll();
    ErrHandleC fresh;
    fresh.setTitle(std::string(200, 'T').c_str());
    fresh.askQuit();
    ASSERT_EQ(standin::shownBoxes().size(), 1u);
    EXPECT_EQ(standin::shownBoxes()[0].caption, std::string(ErrHandleC::TitleSize - 1, 'T'));
    standin::resetAll();
}

TEST_F(ErrHandleTest, ATextLongerThanTheMessageIsCutAndTheClosingLinesStillShow) {
    const std::string huge(3 * ErrHandleC::MsgSize, 'q');
    errno = ENOENT;
    Handle.report(-2, "[%s]", huge.c_str());
    const std::string text = onlyBox().text;
    const std::string ending = std::string("\n   -----> Status=-2 *****\n") +
                               "\nSYSTEM ERROR: errno=2 : " + std::strerror(ENOENT) + "\n";
    EXPECT_EQ(text.size(), size_t(ErrHandleC::MsgSize - 1));
    EXPECT_EQ(text.substr(0, Head.size() + 2), Head + "[q");
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    expectFreshStart();
}

TEST_F(ErrHandleTest, ATextThatJustFitsIsNotCut) {
    const std::string ending = "\n   -----> Status=-1 *****\n";
    const std::string fits(ErrHandleC::MsgSize - 1 - Head.size() - ending.size(), 'f');
    Handle.report(-1, "%s", fits.c_str());
    EXPECT_EQ(onlyBox().text, Head + fits + ending);
}

TEST_F(ErrHandleTest, AskQuitShowsTheQuestionWithNoAsDefaultAndLeavesTheMessageAlone) {
    errno = ENOENT;
    EXPECT_EQ(Handle.askQuit(), seam::AnswerNo);  // Enter picks the default button
    EXPECT_EQ(errno, ENOENT);
    standin::setBoxAnswerer([](const standin::ShownBox&) { return int(seam::AnswerYes); });
    EXPECT_EQ(Handle.askQuit(), seam::AnswerYes);
    standin::setBoxAnswerer([](const standin::ShownBox&) { return int(seam::AnswerCancel); });
    EXPECT_EQ(Handle.askQuit(), seam::AnswerNo);  // closed some other way: not a Yes
    auto boxes = standin::shownBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, ReleaseStr);
    EXPECT_EQ(boxes[0].flags, seam::BoxYesNo | seam::BoxIconHand | seam::BoxDefButton2 |
                                  seam::BoxTaskModal | seam::BoxTopmost);
    EXPECT_EQ(boxes[0].text,
              "QUIT Tallywave?    Are you sure?\n\nYES\t= quit now.\nNO\t= continue processing.");
    standin::setBoxAnswerer(nullptr);
    expectFreshStart();
}

// One thread's box stays up until the other thread's box has been shown too:
// this only finishes if no lock is held while a box is up.
TEST_F(ErrHandleTest, ABoxOnOneThreadDoesNotHoldUpAReportOnTheOther) {
    std::mutex gate;
    std::condition_variable shown;
    int boxesUp = 0;
    standin::setBoxAnswerer([&](const standin::ShownBox&) {
        std::unique_lock<std::mutex> lock(gate);
        ++boxesUp;
        shown.notify_all();
        bool both = shown.wait_for(lock, std::chrono::seconds(10), [&] { return boxesUp == 2; });
        return both ? int(seam::AnswerOk) : -1;
    });
    int first = 0, second = 0;
    std::thread a([&] { first = Handle.report(-4, "first [%s]", "A"); });
    std::thread b([&] { second = Handle.report(-5, "second [%s]", "B"); });
    a.join();
    b.join();
    EXPECT_EQ(first, -4);
    EXPECT_EQ(second, -5);
    EXPECT_EQ(boxesUp, 2);
}

TEST_F(ErrHandleTest, ConcurrentReportsNeverMixTheirTexts) {
    const int perThread = 300;
    auto hammer = [&](char mark, int status) {
        const std::string body(500, mark);
        for (int i = 0; i < perThread; ++i) Handle.report(status, "%s %d", body.c_str(), i);
    };
    std::thread a(hammer, 'a', -1);
    std::thread b(hammer, 'b', -2);
    a.join();
    b.join();
    auto boxes = standin::shownBoxes();
    ASSERT_EQ(boxes.size(), size_t(2 * perThread));
    int seenA = 0, seenB = 0;
    for (const auto& box : boxes) {
        const char mark = box.text[Head.size()];
        const int status = mark == 'a' ? -1 : -2;
        const std::string body = box.text.substr(Head.size(), 500);
        ASSERT_EQ(body, std::string(500, mark));
        int index = std::stoi(box.text.substr(Head.size() + 501));
        ASSERT_EQ(box.text, Head + body + " " + std::to_string(index) +
                                "\n   -----> Status=" + std::to_string(status) + " *****\n");
        (mark == 'a' ? seenA : seenB)++;
    }
    EXPECT_EQ(seenA, perThread);
    EXPECT_EQ(seenB, perThread);
}

using ErrHandleDeathTest = ErrHandleTest;

TEST_F(ErrHandleDeathTest, FatalShowsTheFatalBoxThenExitsWithTheStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto fatalReport = [this](int status) {
        standin::echoBoxesToStderr(true);
        Handle.fatal(status, "Fname=[%s].", "x.txt");
    };
    EXPECT_EXIT(fatalReport(-2), ::testing::ExitedWithCode(254),
                "^\\[Tallywave FATAL!\\]\n Tallywave Release v\\. 1\\.0 of 2003-05-22\n\n\n"
                "Fname=\\[x\\.txt\\]\\.\n   -----> Status=-2 \\*\\*\\*\\*\\*\n"
                "\n\nFatal Error\\.   Aborting \\.\\.\\.\n$");
    EXPECT_EXIT(fatalReport(-6), ::testing::ExitedWithCode(250), "Status=-6");
}

}  // namespace
