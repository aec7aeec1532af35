// The real tallywave.exe expands the wildcards * and ? in file names itself,
// as Windows leaves that to each program: the files a name matches, in name
// order; a name that matches none stays as typed and is refused; a match
// holding a blank is refused whole and never names another file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/Files.h"
#include "tests/common/SampleRun.h"
#include "tests/e2e/ProgramTest.h"
#include "windriver/OutputWindow.h"

namespace {

const std::string Samples = TALLY_SAMPLES_DIR;

// The samples' result line for sample, under another name.
std::string resultLine(const std::string& sample, const std::string& name) {
    const std::string expected = testcheck::expectedSampleText(Samples + "/expected-results.txt");
    const std::size_t at = expected.find(sample + " : ");
    return name +
           expected.substr(at + sample.size(), expected.find("\r\n", at) + 2 - at - sample.size());
}

class WildcardTest : public e2e::ProgramTest {
  protected:
    void SetUp() override {
        Folder = e2e::exeDir() + "\\wildcards";
        CreateDirectoryA(Folder.c_str(), nullptr);
        const std::string calm = testfiles::readFile(Samples + "/calm.txt");
        const std::vector<std::pair<std::string, std::string>> files = {
            {"w1.txt", calm},
            {"w2.txt", testfiles::readFile(Samples + "/lively.asc")},
            {"w10.txt", testfiles::readFile(Samples + "/crlf.txt")},
            {"w3.asc", calm},
            {"aw.txt", calm},
            {"x1.txt", calm},
            {"1.txt", calm},
            {"y 1.txt", calm}};
        for (const auto& file : files)
            ASSERT_TRUE(testfiles::writeFile(Folder + "\\" + file.first, file.second));
    }

    // A silent run with args in Folder shows expected and, with nothing left
    // to count, the warning that says so; Yes to the quit question ends it
    // with 0.
    void silentRunShows(const std::string& args, const std::string& expected,
                        bool nothingCounted = false) {
        ASSERT_TRUE(startProgram("-s 50 10 " + args, Folder));
        HWND frame = e2e::waitForOutputWindow(Program.pid(), Patience);
        ASSERT_NE(frame, nullptr) << "no output window" << boxesShown();
        Edit = e2e::outputEdit(frame);
        EXPECT_TRUE(textBecomes(expected)) << text();
        if (nothingCounted) {
            e2e::MessageBoxInfo box;
            ASSERT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, Patience, &box));
            EXPECT_NE(box.text.find("TallyTAppC::doRun() Validate() call failed."),
                      std::string::npos)
                << box.text;
            e2e::answerBox(box.hwnd, IDOK);
            ASSERT_TRUE(e2e::waitUntil([&] { return noBoxes(); }, Patience));
        }
        EXPECT_TRUE(noBoxes()) << boxesShown();
        closeAnswering(frame, IDYES);
        expectExitCode(0);
    }

    std::string Folder;
};

TEST_F(WildcardTest, NamesWithWildcardsStandForTheirMatchesInNameOrder) {
    silentRunShows("w*.txt y*.txt",
                   "Invalid fname: [y 1.txt ]\r\n\r\n" + resultLine("calm.txt", "w1.txt") +
                       resultLine("crlf.txt", "w10.txt") + resultLine("lively.asc", "w2.txt"));
    silentRunShows("nomatch*.txt", "Invalid fname: [nomatch*.txt ]\r\n\r\n", true);
}

}  // namespace
