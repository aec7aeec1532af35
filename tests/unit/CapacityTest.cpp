// Silent runs at the program's fixed sizes, from the invocation line to the
// output window: file paths of exactly 2048 characters and longer, and an
// invocation line as long as Windows passes, filled with names. Nothing may
// be cut that the user must read, and nothing may be written out of bounds
// (ASan).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/native/StandIns.h"
#include "startup/StartupC.h"
#include "tests/common/WaveText.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/TallyTAppC.h"

namespace {

const std::size_t NameMax = FNameSize - 1;  // 2048

class CapacityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
    }

    // Runs "tallywave -s 50 10 names..." to its end (Yes to the quit
    // question) and returns the output window's text.
    std::string silentRun(const std::vector<std::string>& names) {
        Words = {"C:\\Tally\\tallywave.exe", "-s", "50", "10"};
        Words.insert(Words.end(), names.begin(), names.end());
        std::vector<char*> argv;
        for (auto& word : Words) argv.push_back(&word[0]);
        argv.push_back(nullptr);
        StartupC start(argv.data());
        QuitterS quitter;
        TallyTAppC app(&start, &quitter, ReleaseStr);
        standin::setUserScript([](TApplication&) { return false; });
        standin::setBoxAnswerer([](const standin::ShownBox&) { return int(seam::AnswerYes); });
        EXPECT_EQ(app.Run(), 0);
        return standin::editOf(app.TextWinCP->TEditP).Shown;
    }

    // A path of exactly length characters below the temporary folder, its
    // folders made (each name at most 200 characters), ending in leaf.
    std::string pathOfLength(std::size_t length, const std::string& leaf) {
        std::string path = Files.dir();
        while (path.size() + 1 + leaf.size() < length) {
            // A separator and a folder name; no name longer than 200, and
            // never a rest of one character, which no folder could take.
            std::size_t rest = length - path.size() - 1 - leaf.size();
            if (rest > 201) rest = rest - 201 == 1 ? 150 : 201;
            path += "/" + std::string(rest - 2, 'd') + "x";
            mkdir(path.c_str(), 0700);
        }
        return path + "/" + leaf;
    }

    testfiles::TempFilesC Files;
    std::vector<std::string> Words;
};

// A path of exactly 2048 characters is read and named whole in its result
// line and, missing, in its reason line; one of 2049 is cut by the parser
// and listed as bad by its first 2048 characters.
TEST_F(CapacityTest, PathsOf2048CharactersGoThroughTheWholeRun) {
    const std::string good = pathOfLength(NameMax, "wave.txt");
    const std::string missing = pathOfLength(NameMax, "lost.txt");
    const std::string over = pathOfLength(NameMax + 1, "over.txt");
    ASSERT_EQ(good.size(), NameMax);
    ASSERT_EQ(missing.size(), NameMax);
    ASSERT_EQ(over.size(), NameMax + 1);
    Files.write(wavetext::header(1000) + wavetext::repeat("0.5\n", 1000),
                good.substr(Files.dir().size() + 1));

    const std::string text = silentRun({good, missing, over});
    EXPECT_EQ(text, "Invalid fname: [" + over.substr(0, NameMax) + " ]\r\n\r\n" + good +
                        " : 0.10 s (100.0 ms) | 0 spikes => 0.0/sec.\r\n"
                        "File=" +
                        missing + ".  Can't open for test read.\r\n");
    EXPECT_EQ(testboxes::takeTexts().size(), 1u);  // the quit question only
}

// As many bad names as the longest invocation line Windows passes holds
// (32,767 characters): the bad-name line lists every one of them, in order.
TEST_F(CapacityTest, AFullInvocationLineOfBadNamesIsListedWhole) {
    const std::size_t WindowsLineMax = 32767;
    std::vector<std::string> names;
    std::size_t line = std::string("C:\\Tally\\tallywave.exe -s 50 10 ").size();
    std::string listed;
    for (int i = 0; line + 14 <= WindowsLineMax; ++i) {
        names.push_back("bad" + std::to_string(100000 + i) + ".doc");  // 13 characters
        line += names.back().size() + 1;
        listed += names.back() + " ";
    }
    ASSERT_GT(names.size(), 2300u);

    const std::string text = silentRun(names);
    EXPECT_EQ(text, "Invalid fname: [" + listed + "]\r\n\r\n");
}

}  // namespace
