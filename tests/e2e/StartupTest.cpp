// The real tallywave.exe at start-up: invalid invocation lines end the
// process with the switch's status after two boxes, a missing w warns and the
// run goes on, and a program in a folder whose path holds blanks still reads
// h and w and names itself after its own file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/ProgramTest.h"
#include "windriver/OutputWindow.h"

namespace {

const std::string Head = " Tallywave Release v. 1.0 of 2003-05-22\n\n\n";

std::string statusLine(int status) {
    return "\n   -----> Status=" + std::to_string(status) + " *****\n";
}

std::string invalidLine(const std::string& line, const std::string& exeName, int status) {
    return Head + "InvokeParseC:  The invocation line was invalid:\n[" + line + "]\n\n" +
           "Syntax: " + exeName + " [-s|-t] [h w] [fname1 [fname2 . . .] ]\n" +
           "-s for silent; -t for text; neither for graphic mode; never both.\n" +
           "h and w are in percent, 0.0001..99.9999.\n\nTry " + exeName + " and view help menues." +
           statusLine(status) + "\n\nFatal Error.   Aborting ...\n";
}

std::string unknownSwitch(const std::string& line) {
    return Head + "InvokeParseC::storeRunMode() Unknown switch on invocation line.\n" +
           "Invoked as: [" + line + "]\n\nThe only allowed switches are -s or -t.\n" +
           "File names beginning with \"-\" are not allowed." + statusLine(-4);
}

class StartupTest : public e2e::ProgramTest {
  protected:
    // Starts the program with args; returns the line it was invoked with.
    std::string start(const std::string& args, const std::string& exe = programPath()) {
        EXPECT_TRUE(launch(Program, exe, args));
        return exe + " " + args + " ";
    }
    // Waits for the box with that caption, checks its text and presses OK.
    void answer(const char* caption, const std::string& text) {
        e2e::MessageBoxInfo info;
        ASSERT_TRUE(e2e::waitForMessageBox(Program.pid(), caption, Patience, &info))
            << "no box captioned " << caption;
        EXPECT_EQ(info.text, text);
        e2e::answerBox(info.hwnd, IDOK);
    }
    // The text-mode window shows the end of its banner; closed with Yes.
    void bannerEndsWith(const std::string& end) {
        HWND frame = e2e::waitForOutputWindow(Program.pid(), Patience);
        ASSERT_NE(frame, nullptr) << "no output window";
        EXPECT_TRUE(e2e::textEndsWith(e2e::outputEdit(frame), end, Patience))
            << e2e::windowText(e2e::outputEdit(frame));
        closeAnswering(frame, IDYES);
    }
};

TEST_F(StartupTest, TwoSwitchesWarnThenEndTheRunWithTheirStatus) {
    const std::string line = start("-s -t 1 2 x.txt");
    answer("Tallywave WARNING!",
           Head + "InvokeParseC::storeRunMode() Apparent multiple switches.\nInvoked as: [" + line +
               "]\n\nMore than one \" -xxx\" found.  Only one of -s or -t allowed.\n" +
               "File names beginning with \"-\" are not allowed." + statusLine(-2));
    answer("Tallywave FATAL!", invalidLine(line, "tallywave", -2));
    EXPECT_EQ(exitCode(), -2);
}

TEST_F(StartupTest, AnUnknownSwitchWarnsThenEndsTheRunWithItsStatus) {
    const std::string line = start("-x");
    answer("Tallywave WARNING!", unknownSwitch(line));
    answer("Tallywave FATAL!", invalidLine(line, "tallywave", -4));
    EXPECT_EQ(exitCode(), -4);
}

TEST_F(StartupTest, ALoneMinusWarnsThenEndsTheRunWithItsStatus) {
    const std::string line = start("- a.txt");
    answer("Tallywave WARNING!",
           Head + "InvokeParseC::storeRunMode() Apparent lost switch char '-'.\nInvoked as: [" +
               line + "]\n\nThe only allowed switches are -s or -t.   No isolated '-' allowed.\n" +
               "File names beginning with \"-\" are not allowed." + statusLine(-3));
    answer("Tallywave FATAL!", invalidLine(line, "tallywave", -3));
    EXPECT_EQ(exitCode(), -3);
}

// Not fatal: the run goes on after the warning, to a text-mode window that
// asks for a better invocation.
TEST_F(StartupTest, OneNumberOnlyWarnsAndTheRunGoesOn) {
    const std::string line = start("-t 5");
    answer("Tallywave WARNING!",
           Head + "InvokeParseC::storeParams() Just one Height h or Width w found.\n" +
               "Invoked as: [" + line + "]\n\nBoth h and w must be provided.\n" +
               "Neither, or both, is OK for graphic mode.\n" +
               "Each must be a percent value x, with 0.0001 <= x <= 99.9999.\n" +
               "Possible typo on invocation line?" + statusLine(-3));
    bannerEndsWith("Invalid Invocation line.\r\nPlease exit and try again.\r\n\r\n");
    EXPECT_EQ(exitCode(), 0);
}

TEST_F(StartupTest, AProgramInAFolderWithBlanksReadsHeightAndWidth) {
    const std::string folder = e2e::exeDir() + "\\Program Files\\tally wave 1.0";
    CreateDirectoryA((e2e::exeDir() + "\\Program Files").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\tally wave.exe";
    ASSERT_TRUE(CopyFileA(programPath().c_str(), copy.c_str(), FALSE)) << GetLastError();

    // h and w are found after the whole program path, and the program names
    // itself after its own file, blanks and all.
    start("-t 5 2 a.txt", copy);
    bannerEndsWith(
        "The command will be: [tally wave 5 2 a.txt ]\r\nCR to proceed; x to abort:  \r\n");
    EXPECT_EQ(exitCode(), 0);

    // A fatal report names the program after its file too.
    const std::string line = start("-x 5 2", copy);
    answer("Tallywave WARNING!", unknownSwitch(line));
    answer("Tallywave FATAL!", invalidLine(line, "tally wave", -4));
    EXPECT_EQ(exitCode(), -4);
}

}  // namespace
