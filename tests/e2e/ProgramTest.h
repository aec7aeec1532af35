#pragma once
// The fixture of the tests that run the real tallywave.exe (or another
// program built beside them, launched into Program): the program started,
// its message boxes described, the output window's text read and waited
// for, its exit code awaited. Programs started with launch() are ended with
// the test if they still run; when the test failed, the screen is first
// saved to <exeDir>\e2e-shots\<Suite>.<Test>.bmp. A fixture overriding
// TearDown must call ProgramTest::TearDown().
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "windriver/OutputWindow.h"
#include "windriver/WinDriver.h"

namespace e2e {

class ProgramTest : public ::testing::Test {
  protected:
    static constexpr DWORD Patience = 20000;  // for a window, a box, a text or the exit

    static std::string programPath() { return exeDir() + "\\tallywave.exe"; }
    // process.launch(...), recording a test failure with the reason when the
    // program cannot be started. Wine now and then fails to set up a new
    // process, before any of the program runs (ERROR_INTERNAL_ERROR, seen
    // under 64-bit Wine): that start is tried again, twice at most, and said.
    bool launch(LaunchedProcess& process, const std::string& exePath, const std::string& args = "",
                const std::string& workDir = "") {
        const int tries = 3;
        DWORD error = 0;
        for (int attempt = 1; attempt <= tries; ++attempt) {
            if (process.launch(exePath, args, workDir)) {
                if (HANDLE own = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.pid()))
                    Launched.push_back(own);
                return true;
            }
            error = GetLastError();
            if (error != ERROR_INTERNAL_ERROR || attempt == tries) break;
            std::printf("Wine could not set up %s (error %lu), try %d of %d\n", exePath.c_str(),
                        static_cast<unsigned long>(error), attempt, tries);
            Sleep(500);
        }
        ADD_FAILURE() << "cannot start " << exePath << " (error " << error << ")";
        return false;
    }
    // Runs `tallywave.exe args` in workDir (empty: the current folder).
    bool startProgram(const std::string& args, const std::string& workDir = "") {
        return launch(Program, programPath(), args, workDir);
    }
    // Caption and text of every message box the program shows.
    std::string boxesShown() { return e2e::boxesShown(Program.pid()); }
    // Every window of the program, then its boxes' texts: for a window that
    // did not come.
    std::string windowsShown() { return e2e::windowsOf(Program.pid()) + boxesShown(); }
    bool noBoxes() { return topWindows(Program.pid(), SystemDialogClass).empty(); }
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
    // Closes frame with its close box and answers the quit question with
    // answer (IDYES, IDNO); false, with a test failure, when no quit
    // question came.
    bool closeAnswering(HWND frame, int answer) {
        const std::string failed = e2e::closeAnswering(Program.pid(), frame, answer, Patience);
        if (failed.empty()) return true;
        ADD_FAILURE() << failed;
        return false;
    }

    void TearDown() override {
        if (HasFailure()) {
            const std::string folder = exeDir() + "\\e2e-shots";
            CreateDirectoryA(folder.c_str(), nullptr);
            const std::string shot = folder + "\\" + testFileName() + ".bmp";
            std::printf("%s screenshot %s\n", saveScreenshot(shot) ? "saved" : "could not save",
                        shot.c_str());
        }
        for (HANDLE process : Launched) {
            terminateIfRunning(process);
            CloseHandle(process);
        }
        Launched.clear();
    }

    LaunchedProcess Program;
    HWND Edit = nullptr;  // the output window's edit control, once found

  private:
    // "Suite.Test" of the running test, usable as a file name (parameterised
    // names contain '/').
    static std::string testFileName() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name)
            if (c == '/' || c == '\\' || c == ':') c = '_';
        return name;
    }

    // Own handles, so the processes can be ended even when their
    // LaunchedProcess objects are gone.
    std::vector<HANDLE> Launched;
};

}  // namespace e2e
