// The real tallywave.exe saves its results as a user asks it to, with keys
// given as input into the output window: a silent run's table and text
// through the system's Save As dialog; and graphic mode's output window,
// which has no system menu, offers the command in a menu of its own on
// Alt+Space.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/SampleRun.h"
#include "tests/e2e/ProgramTest.h"
#include "windriver/GraphicWindows.h"
#include "windriver/SaveDialog.h"

namespace {

const std::string Samples = TALLY_SAMPLES_DIR;
const char Header[] = "file,result,duration_s,spikes,rate_per_s,reason\r\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SaveResultsTest : public e2e::ProgramTest {
  protected:
    // A folder of copies of the samples, nothing else, for the program to
    // run in: the Save As dialog opens there.
    void SetUp() override {
        Folder = e2e::exeDir() + "\\save-results";
        CreateDirectoryA(Folder.c_str(), nullptr);
        for (const char* name : {"r.csv", "r.txt", "g.csv"})
            DeleteFileA((Folder + "\\" + name).c_str());
        for (const char* name : testcheck::SampleNames)
            CopyFileA((Samples + "/" + name).c_str(), (Folder + "\\" + name).c_str(), FALSE);
    }
    std::string saved(const std::string& name) { return readFile(Folder + "\\" + name); }
    // The file once it is there: it is written after the dialog has gone,
    // and takes its name only when whole.
    std::string savedOnceThere(const std::string& name) {
        EXPECT_TRUE(e2e::waitUntil([&] { return !saved(name).empty(); }, Patience))
            << "no " << name << boxesShown();
        return saved(name);
    }

    std::string Folder;
};

// The counted rows of table, rounded as the window rounds, as result lines.
std::string resultLines(const std::string& table) {
    std::istringstream rows(table);
    std::string lines;
    for (std::string row; std::getline(rows, row);) {
        char name[64], line[200];
        double duration, rate;
        unsigned spikes;
        if (std::sscanf(row.c_str(), "%63[^,],counted,%lf,%u,%lf,", name, &duration, &spikes,
                        &rate) != 4)
            continue;
        std::snprintf(line, sizeof line, "%s : %.2f s (%.1f ms) | %u spikes => %.1f/sec.\r\n", name,
                      duration, duration * 1000, spikes, rate);
        lines += line;
    }
    return lines;
}

// Ctrl+S saves the table as r.csv, in the folder of the run, its figures
// those the window rounds; Alt+Space and the menu's last entry save the
// window's text as r.txt, byte for byte.
TEST_F(SaveResultsTest, ASilentRunSavedAsTableAndAsText) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_TRUE(
        startProgram("-s 50 10 calm.txt lively.asc crlf.txt stereo.txt clipped.txt", Folder));
    HWND frame = e2e::waitForOutputWindow(Program.pid(), Patience);
    ASSERT_NE(frame, nullptr) << "no output window";
    Edit = e2e::outputEdit(frame);
    const std::string shown =
        "\r\n" + testcheck::expectedSampleText(Samples + "/expected-results.txt");
    ASSERT_TRUE(textBecomes(shown)) << text();

    std::string offered;
    ASSERT_EQ(e2e::saveResultsAs(Program.pid(), frame, false, "r.csv", Patience, &offered), "")
        << boxesShown();
    char day[16];
    std::snprintf(day, sizeof day, "%04u%02u%02u-", before.wYear, before.wMonth, before.wDay);
    EXPECT_EQ(offered.rfind(std::string("tallywave-results-") + day, 0), 0u) << offered;
    EXPECT_EQ(offered.size(), std::string("tallywave-results-YYYYMMDD-HHMMSS").size()) << offered;
    const std::string table = savedOnceThere("r.csv");
    EXPECT_EQ(table,
              std::string(Header) +
                  "calm.txt,counted,1,0,0,\r\n"
                  "lively.asc,counted,0.45351473922902497,5,11.024999999999999,\r\n"
                  "crlf.txt,counted,0.54421768707482998,2,3.6749999999999998,\r\n"
                  "stereo.txt,refused,,,,File=stereo.txt line 3 failed header check:  Possible "
                  "bad format or invalid param.\r\n"
                  "clipped.txt,refused,,,,File=clipped.txt line 2000 bad datum or size:  Found "
                  "1995 good data; header said 6000.\r\n");
    EXPECT_EQ(resultLines(table), shown.substr(2, shown.find("File=") - 2));  // the 3 counted

    ASSERT_EQ(e2e::saveResultsAs(Program.pid(), frame, true, "r.txt", Patience), "")
        << boxesShown();
    EXPECT_EQ(savedOnceThere("r.txt"), shown);
    EXPECT_EQ(text(), shown);

    closeAnswering(frame, IDYES);
    expectExitCode(0);
}

// Graphic mode's output window keeps to title bar and border; Alt+Space
// there opens its own menu, whose entry saves the table of the last pass:
// after a Check, the rows of the files it refused and of those it listed.
TEST_F(SaveResultsTest, GraphicModeSavesFromAMenuOfItsOwn) {
    ASSERT_TRUE(startProgram("", Folder));
    e2e::GraphicWindows windows;
    ASSERT_TRUE(e2e::waitForGraphicWindows(Program.pid(), Patience, &windows)) << windowsShown();
    Edit = e2e::outputEdit(windows.Output);
    ASSERT_TRUE(textBecomes(e2e::StartLine)) << text();
    ASSERT_EQ(e2e::selectFiles(Program.pid(), windows.Dialog, Folder,
                               R"("calm.txt" "stereo.txt" "crlf.txt")", Patience),
              "");
    e2e::clickControl(windows.Dialog, IDC_CHECK_BUTTON);
    ASSERT_TRUE(e2e::waitUntil(
        [&] { return text().find("Files to be processed") != std::string::npos; }, Patience))
        << text();
    ASSERT_TRUE(e2e::waitForPassOver(windows.Dialog, Patience));

    ASSERT_EQ(e2e::saveResultsAs(Program.pid(), windows.Output, true, "g.csv", Patience), "")
        << boxesShown();
    EXPECT_EQ(savedOnceThere("g.csv"),
              std::string(Header) + Folder + "\\stereo.txt,refused,,,,File=" + Folder +
                  "\\stereo.txt line 3 failed header check:  Possible bad format "
                  "or invalid param.\r\n" +
                  Folder + "\\calm.txt,checked,,,,\r\n" + Folder + "\\crlf.txt,checked,,,,\r\n");
    EXPECT_EQ(GetWindowLongA(windows.Output, GWL_STYLE) & WS_SYSMENU, 0);

    PostMessageA(windows.Main, WM_SYSCOMMAND, SC_CLOSE, 0);
    e2e::MessageBoxInfo box;
    ASSERT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, Patience, &box));
    e2e::answerBox(box.hwnd, IDYES);
    expectExitCode(0);
}

}  // namespace
