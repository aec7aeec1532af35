// The real tallywave.exe in silent and text modes: the output window's frame
// and font, the text a silent run leaves, the banner and the answers to its
// prompt, and closing only on a confirmed quit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/common/SampleRun.h"
#include "tests/e2e/ProgramTest.h"
#include "windriver/OutputWindow.h"

namespace {

const std::string Samples = TALLY_SAMPLES_DIR;
const std::string SampleArgs = "calm.txt lively.asc crlf.txt stereo.txt clipped.txt";

class TextModeTest : public e2e::ProgramTest {
  protected:
    // Starts the program in the samples folder and finds its output window.
    void start(const std::string& args) {
        ASSERT_TRUE(startProgram(args, Samples));
        Frame = e2e::waitForOutputWindow(Program.pid(), Patience);
        ASSERT_NE(Frame, nullptr) << "no output window";
        Edit = e2e::outputEdit(Frame);
        ASSERT_NE(Edit, nullptr) << "no edit control in the output window";
    }
    bool textEndsWith(const std::string& end) { return e2e::textEndsWith(Edit, end, Patience); }

    HWND Frame = nullptr;
};

// Silent mode: an empty first line, one line per file, the window where and
// as it should be; No keeps it with its text, Yes ends the run with 0.
TEST_F(TextModeTest, SilentRunWritesOneLinePerFileAndEndsOnlyOnYes) {
    start("-s 50 10 " + SampleArgs);
    const std::string expected =
        "\r\n" + testcheck::expectedSampleText(Samples + "/expected-results.txt");
    ASSERT_TRUE(textBecomes(expected)) << text();

    RECT place;
    GetWindowRect(Frame, &place);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 200);
    EXPECT_EQ(place.right - place.left, 645);
    EXPECT_EQ(place.bottom - place.top, 524);
    const LONG style = GetWindowLongA(Frame, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU);
    const LONG editStyle = GetWindowLongA(Edit, GWL_STYLE);
    // (The edit control draws the border it was asked for itself and drops WS_BORDER.)
    const LONG wanted =
        ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP;
    EXPECT_EQ(editStyle & wanted, wanted);
    // Courier New 14 high and 9 wide: every character of a line steps 9 pixels.
    const int lineStart = static_cast<int>(SendMessageA(Edit, EM_LINEINDEX, 1, 0));
    const LRESULT first = SendMessageA(Edit, EM_POSFROMCHAR, lineStart, 0);
    const LRESULT tenth = SendMessageA(Edit, EM_POSFROMCHAR, lineStart + 10, 0);
    EXPECT_EQ(static_cast<short>(LOWORD(tenth)) - static_cast<short>(LOWORD(first)), 90);

    closeAnswering(Frame, IDNO);
    EXPECT_TRUE(e2e::waitUntil([&] { return noBoxes(); }, Patience));
    EXPECT_TRUE(IsWindowVisible(Frame));
    EXPECT_EQ(text(), expected);
    closeAnswering(Frame, IDYES);
    expectExitCode(0);
}

// More lines than the window shows: the newest stay in view, with no empty
// space scrolled in below them.
TEST_F(TextModeTest, ALongRunKeepsTheNewestLinesInView) {
    std::string names;
    for (int i = 0; i < 80; ++i) names += " calm.txt";
    start("-s 50 10" + names);
    const std::string line = "calm.txt : 1.00 s (1000.0 ms) | 0 spikes => 0.0/sec.\r\n";
    std::string expected = "\r\n";
    for (int i = 0; i < 80; ++i) expected += line;
    ASSERT_TRUE(textBecomes(expected)) << text();
    const int lines = static_cast<int>(SendMessageA(Edit, EM_GETLINECOUNT, 0, 0));
    const int first = static_cast<int>(SendMessageA(Edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    RECT area;
    GetClientRect(Edit, &area);
    const int shown = area.bottom / 14;
    EXPECT_GE(first + shown, lines - 1) << "the last line is out of view";
    EXPECT_LE(first, lines - shown + 1) << "empty space scrolled into view";
    closeAnswering(Frame, IDYES);
    expectExitCode(0);
}

// Text mode: the banner in order, then Enter runs the count.
TEST_F(TextModeTest, BannerThenEnterRunsTheCommand) {
    start("-t 50 10 calm.txt bad.doc");
    ASSERT_TRUE(textEndsWith("CR to proceed; x to abort:  \r\n")) << text();
    const std::string banner = text();
    std::size_t at = 0;
    for (const char* piece :
         {" invoked  Tallywave Release v. 1.0 of 2003-05-22\r\n",
          "   +---------------------------------------------\r\n   |SAMPLES:(tab)       (decimal "
          "integer > 999)  *\r\n",
          "   Tallywave [-s|-t] (height)(width) fname1 [fname2 . . .]\r\n", "In: ",
          "\r\nInvalid fname: [bad.doc ]\r\nThe command will be: [tallywave 50 10 calm.txt "
          "]\r\n"}) {
        const std::size_t found = banner.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << piece << "\n"
                                            << banner;
        at = found;
    }
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(Frame, nullptr), &focus));
    EXPECT_EQ(focus.hwndFocus, Edit) << "the text area does not have the keyboard";
    e2e::pressKey(Edit, VK_RETURN);
    EXPECT_TRUE(textEndsWith("calm.txt : 1.00 s (1000.0 ms) | 0 spikes => 0.0/sec.\r\n")) << text();
    closeAnswering(Frame, IDYES);
    expectExitCode(0);
}

// Text mode: any other key aborts, and the text turns read-only.
TEST_F(TextModeTest, AnyOtherKeyAbortsAndTheTextTurnsReadOnly) {
    start("-t 50 10 calm.txt");
    ASSERT_TRUE(textEndsWith("CR to proceed; x to abort:  \r\n")) << text();
    e2e::typeText(Edit, "x");
    ASSERT_TRUE(textEndsWith("Tallywave terminated at user request.\r\n")) << text();
    EXPECT_NE(GetWindowLongA(Edit, GWL_STYLE) & ES_READONLY, 0);
    // Read-only, the text area stays white (a corner below the text).
    RECT area;
    GetClientRect(Edit, &area);
    POINT corner{area.right - 30, area.bottom - 30};
    ClientToScreen(Edit, &corner);
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(e2e::waitUntil(
        [&] { return GetPixel(screen, corner.x, corner.y) == RGB(255, 255, 255); }, Patience))
        << std::hex << GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(text().find("calm.txt : "), std::string::npos);
    closeAnswering(Frame, IDYES);
    expectExitCode(0);
}

// Text mode without a usable file: no prompt, and typing changes nothing
// but the text typed.
TEST_F(TextModeTest, AnInvalidInvocationIgnoresTyping) {
    start("-t 50 10 bad.doc");
    const std::string invalid = "Invalid Invocation line.\r\nPlease exit and try again.\r\n\r\n";
    ASSERT_TRUE(textEndsWith(invalid)) << text();
    e2e::typeText(Edit, "x");
    ASSERT_TRUE(textEndsWith(invalid + "x")) << text();
    e2e::pressKey(Edit, VK_RETURN);
    EXPECT_FALSE(
        e2e::waitUntil([&] { return text().find("terminated") != std::string::npos; }, 1500));
    EXPECT_EQ(GetWindowLongA(Edit, GWL_STYLE) & ES_READONLY, 0);
    closeAnswering(Frame, IDYES);
    expectExitCode(0);
}

}  // namespace
