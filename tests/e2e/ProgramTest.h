#pragma once
// The fixture of the tests that run the real tallywave.exe (or another
// program built beside them, launched into Program): the program started,
// its message boxes described, the output window's text read and waited
// for, its exit code awaited.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "windriver/WinDriver.h"

namespace e2e {

class ProgramTest : public E2eTest {
  protected:
    static constexpr DWORD Patience = 20000;  // for a window, a box, a text or the exit

    static std::string programPath() { return exeDir() + "\\tallywave.exe"; }
    // Runs `tallywave.exe args` in workDir (empty: the current folder).
    bool startProgram(const std::string& args, const std::string& workDir = "") {
        return launch(Program, programPath(), args, workDir);
    }
    // Caption and text of every message box the program shows.
    std::string boxesShown() {
        std::string said;
        for (HWND box : topWindows(Program.pid(), "#32770"))
            said += "\n[" + windowText(box) + "] " + childText(box, 0xFFFF);
        return said;
    }
    bool noBoxes() { return topWindows(Program.pid(), "#32770").empty(); }
    // The code the program ended with; a failure when it does not end.
    int32_t exitCode() {
        int32_t code = 12345;
        EXPECT_TRUE(Program.waitExit(Patience, &code)) << "the program did not end";
        return code;
    }
    void expectExitCode(int32_t wanted) { EXPECT_EQ(exitCode(), wanted); }
    std::string text() { return windowText(Edit); }
    bool textBecomes(const std::string& wanted) {
        return waitUntil([&] { return text() == wanted; }, Patience);
    }

    LaunchedProcess Program;
    HWND Edit = nullptr;  // the output window's edit control, once found
};

}  // namespace e2e
