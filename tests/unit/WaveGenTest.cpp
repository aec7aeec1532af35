// The wave-file generator (bench/wavegen) that benchmarks and tests build
// their files with: the header, one datum per line that the reader's datum
// conversion takes and that lies in [-1, 1], data shaped like a recording,
// the CR LF variant, repeatability, and the refusal of bad arguments.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/FileReadC.h"
#include "tests/common/Files.h"
#include "tests/common/WaveText.h"
#include "tests/unit/TempFiles.h"

namespace {

using testfiles::readFile;

// Runs wavegen with the given arguments; its exit status.
int wavegen(const std::string& args) {
    const std::string command = std::string("'") + TALLY_WAVEGEN + "' " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line has no line feed";
    return lines;
}

// One file of 200,000 samples, made once for the tests that read it.
class WaveGenTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Files = new testfiles::TempFilesC;
        Path = Files->dir() + "/lf.wave";
        ASSERT_EQ(wavegen("--rate 8000 --seed 9 200000 " + Path), 0);
        Lines = new std::vector<std::string>(splitLines(readFile(Path)));
    }
    static void TearDownTestSuite() {
        delete Lines;
        delete Files;
    }
    static testfiles::TempFilesC* Files;
    static std::string Path;
    static std::vector<std::string>* Lines;
};
testfiles::TempFilesC* WaveGenTest::Files = nullptr;
std::string WaveGenTest::Path;
std::vector<std::string>* WaveGenTest::Lines = nullptr;

TEST_F(WaveGenTest, WritesTheHeaderThenOneDatumPerLineInRange) {
    ASSERT_EQ(Lines->size(), 5u + 200000u);
    EXPECT_EQ(std::vector<std::string>(Lines->begin(), Lines->begin() + 5),
              wavetext::headerLines("200000", "8000"));
    for (std::size_t i = 5; i < Lines->size(); ++i) {
        const std::string& datum = (*Lines)[i];
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + datum);
        // With its CR LF the line still fits in one read of the reader.
        ASSERT_LE(datum.size() + 2, static_cast<std::size_t>(FileReadC::ReadMax));
        ASSERT_EQ(datum.find_first_not_of("-.0123456789e"), std::string::npos);
        double value = 2;
        ASSERT_TRUE(FileReadC::toDatum(datum.c_str(), value));
        ASSERT_GE(value, -1.0);
        ASSERT_LE(value, 1.0);
    }
}

TEST_F(WaveGenTest, DataAreMostlySmallNoiseWithRareSpikesInVariedForms) {
    std::size_t small = 0, spikes = 0, exponent = 0, bare = 0;
    double noiseSquares = 0;
    std::set<std::size_t> decimals;
    for (std::size_t i = 5; i < Lines->size(); ++i) {
        const std::string& datum = (*Lines)[i];
        double value = 0;
        ASSERT_TRUE(FileReadC::toDatum(datum.c_str(), value)) << datum;
        small += std::fabs(value) < 0.25;
        spikes += std::fabs(value) >= 0.85;
        if (std::fabs(value) < 0.85) noiseSquares += value * value;
        if (datum.find('e') != std::string::npos) {
            ++exponent;
        } else {
            const std::size_t point = datum.find('.');
            ASSERT_NE(point, std::string::npos) << datum;
            decimals.insert(datum.size() - point - 1);
            bare += point == 0 || (point == 1 && datum[0] == '-');
        }
    }
    const std::size_t data = Lines->size() - 5;
    EXPECT_GT(small, data * 95 / 100);
    // Noise of about 0.06 standard deviation: a digit printed in the wrong
    // place shows here.
    EXPECT_NEAR(std::sqrt(noiseSquares / static_cast<double>(data - spikes)), 0.06, 0.01);
    EXPECT_GT(spikes, data / 2000);  // about one burst of 6.5 in 5000 samples
    EXPECT_LT(spikes, data / 200);
    EXPECT_GT(exponent, 0u);
    EXPECT_GT(bare, data / 100);
    EXPECT_EQ(decimals, (std::set<std::size_t>{3, 4, 5, 6, 8, 9}));
}

TEST_F(WaveGenTest, CrlfFileIsTheSameFileWithACrBeforeEachLf) {
    const std::string crlfPath = Files->dir() + "/crlf.wave";
    ASSERT_EQ(wavegen("--crlf --rate 8000 --seed 9 200000 " + crlfPath), 0);
    std::string expected;
    for (char c : readFile(Path)) {
        if (c == '\n') expected += '\r';
        expected += c;
    }
    EXPECT_TRUE(readFile(crlfPath) == expected);
}

TEST_F(WaveGenTest, SameArgumentsGiveTheSameBytesAnotherSeedOtherData) {
    const std::string again = Files->dir() + "/again.wave";
    const std::string other = Files->dir() + "/other.wave";
    ASSERT_EQ(wavegen("--seed 9 --rate 8000 200000 " + again), 0);
    ASSERT_EQ(wavegen("--rate 8000 --seed 10 200000 " + other), 0);
    EXPECT_TRUE(readFile(again) == readFile(Path));
    const std::vector<std::string> otherLines = splitLines(readFile(other));
    ASSERT_EQ(otherLines.size(), Lines->size());
    EXPECT_TRUE(std::equal(Lines->begin(), Lines->begin() + 5, otherLines.begin()));
    std::size_t same = 0;
    for (std::size_t i = 5; i < Lines->size(); ++i) same += (*Lines)[i] == otherLines[i];
    EXPECT_LT(same, Lines->size() / 20);
}

TEST(WaveGen, ZeroSamplesGiveTheHeaderAloneWithTheDefaultRate) {
    testfiles::TempFilesC files;
    const std::string path = files.dir() + "/empty.wave";
    ASSERT_EQ(wavegen("0 " + path), 0);
    EXPECT_EQ(splitLines(readFile(path)), wavetext::headerLines("0", "44100"));
}

TEST(WaveGen, RefusesBadArgumentsAndWritesNothing) {
    testfiles::TempFilesC files;
    const std::string path = files.dir() + "/out.wave";
    const std::string refused[] = {
        "",
        "5",
        "x " + path,
        "-1 " + path,
        "4294967296 " + path,
        "12abc " + path,
        "5 " + path + " extra",
        "--bogus 5 " + path,
        "--rate 7x 5 " + path,
        "--rate -8 5 " + path,
        "--seed 5 " + path,
    };
    for (const std::string& args : refused) {
        EXPECT_EQ(wavegen(args), 2) << args;
        EXPECT_FALSE(std::filesystem::exists(path)) << args;
    }
    EXPECT_EQ(wavegen("5 " + files.dir() + "/no/such/folder.wave"), 1);
}

}  // namespace
