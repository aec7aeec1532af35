// The real tallywave.exe saves its results as a user asks it to, with keys
// given as input into the output window: a silent run's table and text
// through the system's Save As dialog, which asks before it overwrites; and
// graphic mode's output window, which has no system menu, offers the command
// in a menu of its own on Alt+Space.
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

// The lines of text, each without its CR LF.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& row) {
    std::vector<std::string> fields;
    std::stringstream in(row);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    if (!row.empty() && row.back() == ',') fields.push_back("");
    return fields;
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

// The window rounds the table's figures to its result lines: each row gives
// back its line of the samples' expected text.
std::string linesFromTable(const std::string& table) {
    std::string lines;
    for (const std::string& row : linesOf(table.substr(std::string(Header).size()))) {
        const std::vector<std::string> field = fieldsOf(row);
        if (field.size() != 6) return "a row of " + std::to_string(field.size()) + " fields";
        if (field[1] == "refused") {
            lines += field[5] + "\r\n";
            continue;
        }
        const double duration = std::strtod(field[2].c_str(), nullptr);
        char line[200];
        std::snprintf(line, sizeof line, "%s : %.2f s (%.1f ms) | %s spikes => %.1f/sec.\r\n",
                      field[0].c_str(), duration, duration * 1000, field[3].c_str(),
                      std::strtod(field[4].c_str(), nullptr));
        lines += line;
    }
    return lines;
}

// Ctrl+S saves the table as r.csv; Alt+Space and the menu's last entry the
// window's text as r.txt, byte for byte; a second r.csv is asked about,
// and No leaves the file as it was.
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
    EXPECT_EQ("\r\n" + linesFromTable(table), shown);

    ASSERT_EQ(e2e::saveResultsAs(Program.pid(), frame, true, "r.txt", Patience), "")
        << boxesShown();
    EXPECT_EQ(savedOnceThere("r.txt"), shown);
    EXPECT_EQ(text(), shown);

    HWND dialog = e2e::openSaveDialog(Program.pid(), frame, false, Patience);
    ASSERT_NE(dialog, nullptr) << "no Save As dialog the third time";
    EXPECT_EQ(e2e::childText(dialog, 0x471), "save-results") << "the dialog opens elsewhere";
    ASSERT_EQ(e2e::typeSaveName(dialog, "r.csv", Patience), "");
    HWND question = nullptr;
    ASSERT_TRUE(e2e::waitUntil(
        [&] {
            for (HWND box : e2e::topWindows(Program.pid(), "#32770"))
                if (box != dialog) question = box;
            return question != nullptr;
        },
        Patience))
        << "no question before r.csv is overwritten";
    EXPECT_NE(e2e::childText(question, 0xFFFF).find("exists"), std::string::npos);
    e2e::answerBox(question, IDNO);
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindow(question); }, Patience));
    e2e::answerBox(dialog, IDCANCEL);
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindow(dialog); }, Patience));
    EXPECT_EQ(saved("r.csv"), table);

    e2e::closeAnswering(Program.pid(), frame, IDYES, Patience);
    expectExitCode(0);
}

// Graphic mode's output window keeps to title bar and border; Alt+Space
// there opens its own menu, whose entry saves the table of the last pass:
// after a Check, the rows of the files it refused and of those it listed.
TEST_F(SaveResultsTest, GraphicModeSavesFromAMenuOfItsOwn) {
    ASSERT_TRUE(startProgram("", Folder));
    e2e::GraphicWindows windows;
    ASSERT_TRUE(e2e::waitForGraphicWindows(Program.pid(), Patience, &windows)) << boxesShown();
    Edit = e2e::outputEdit(windows.Output);
    ASSERT_TRUE(textBecomes(e2e::StartLine)) << text();
    ASSERT_EQ(e2e::selectFiles(Program.pid(), windows.Dialog, Folder,
                               R"("calm.txt" "stereo.txt" "crlf.txt")", Patience),
              "");
    e2e::clickControl(windows.Dialog, e2e::CheckButton);
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
