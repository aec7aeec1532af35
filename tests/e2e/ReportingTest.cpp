// The real report boxes of the Win32 build, made by the test-only reportprobe
// program and read back from the screen: captions, texts, buttons, the default
// button of the quit question, and the signed exit code of a fatal report.
// (Wine does not show MB_TOPMOST as WS_EX_TOPMOST; the unit tests check the flags.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/ProgramTest.h"
#include "windriver/WinDriver.h"

namespace {

const std::string Head = " Tallywave Release v. 1.0 of 2003-05-22\n\n\n";

class ReportingTest : public e2e::ProgramTest {
  protected:
    void start(const char* report) {
        ASSERT_TRUE(launch(Program, e2e::exeDir() + "\\reportprobe.exe", report));
    }
    e2e::MessageBoxInfo box(const char* caption) {
        e2e::MessageBoxInfo info;
        EXPECT_TRUE(e2e::waitForMessageBox(Program.pid(), caption, Patience, &info))
            << "no box captioned " << caption;
        return info;
    }
};

struct ReportCase {
    const char* report;
    const char* caption;
    std::string text;
    int32_t exitCode;
};

void PrintTo(const ReportCase& c, std::ostream* out) {
    *out << c.report;
}

class ReportBoxTest : public ReportingTest, public ::testing::WithParamInterface<ReportCase> {};

// Each report box has OK alone; pressing it lets the probe end with the
// report's status.
TEST_P(ReportBoxTest, ShowsItsCaptionAndTextThenEndsWithItsStatus) {
    const ReportCase& c = GetParam();
    start(c.report);
    auto shown = box(c.caption);
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.buttonIds, std::vector<int>{IDOK});
    e2e::answerBox(shown.hwnd, IDOK);
    EXPECT_EQ(exitCode(), c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReportBoxTest,
    ::testing::Values(
        ReportCase{"info", "Tallywave Message:",
                   Head + "ReportProbe: information [one line].\n   -----> Status=0 *****\n", 0},
        // 2.25 prints as 2.2 with C99 rounding on both builds (msvcrt's own printf says 2.3).
        ReportCase{
            "warning", "Tallywave WARNING!",
            Head + "ReportProbe: warning\nsecond line [42] [2.2].\n   -----> Status=-3 *****\n",
            -3},
        ReportCase{"errno", "Tallywave WARNING!",
                   Head + "ReportProbe: open failed.\n   -----> Status=-1 *****\n" +
                       "\nSYSTEM ERROR: errno=2 : No such file or directory\n",
                   -1},
        ReportCase{"fatal", "Tallywave FATAL!",
                   Head + "ReportProbe: fatal [7].\n   -----> Status=-2 *****\n" +
                       "\n\nFatal Error.   Aborting ...\n",
                   -2}),
    [](const ::testing::TestParamInfo<ReportCase>& param) {
        return std::string(param.param.report);
    });

TEST_F(ReportingTest, QuitQuestionAnswersNoOnEnter) {
    start("quit");
    auto question = box(" Tallywave Release v. 1.0 of 2003-05-22");
    EXPECT_EQ(question.text,
              "QUIT Tallywave?    Are you sure?\n\nYES\t= quit now.\nNO\t= continue processing.");
    EXPECT_EQ(question.buttonIds, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(question.defaultButton, IDNO);
    e2e::pressEnter(question.hwnd);
    EXPECT_EQ(exitCode(), IDNO);
}

TEST_F(ReportingTest, QuitQuestionAnswersYesOnYes) {
    start("quit");
    auto question = box(" Tallywave Release v. 1.0 of 2003-05-22");
    e2e::answerBox(question.hwnd, IDYES);
    EXPECT_EQ(exitCode(), IDYES);
}

// Wine lets Escape close a yes/no box with Cancel: that is not a Yes.
TEST_F(ReportingTest, QuitQuestionClosedWithEscapeAnswersNo) {
    start("quit");
    auto question = box(" Tallywave Release v. 1.0 of 2003-05-22");
    e2e::pressKey(question.hwnd, VK_ESCAPE);
    EXPECT_EQ(exitCode(), IDNO);
}

// Both threads' boxes are up at once: a box on one thread holds up no report
// on the other.
TEST_F(ReportingTest, TwoThreadsShowTheirBoxesAtTheSameTime) {
    start("twothreads");
    std::vector<HWND> boxes;
    const DWORD deadline = GetTickCount() + Patience;
    while (boxes.size() < 2 && GetTickCount() < deadline) {
        boxes = e2e::topWindows(Program.pid(), e2e::SystemDialogClass);
        Sleep(20);
    }
    ASSERT_EQ(boxes.size(), 2u);
    std::vector<std::string> texts;
    for (HWND b : boxes) texts.push_back(e2e::childText(b, e2e::MessageBoxTextId));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts[0], Head + "ReportProbe: first thread [A].\n   -----> Status=-4 *****\n");
    EXPECT_EQ(texts[1], Head + "ReportProbe: second thread [B].\n   -----> Status=-5 *****\n");
    for (HWND b : boxes) e2e::answerBox(b, IDOK);
    EXPECT_EQ(exitCode(), 0);
}

}  // namespace
