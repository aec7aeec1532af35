// The wave-file generator (bench/wavegen) that benchmarks and tests build
// their files with: the header, one datum per line that the reader's datum
// conversion takes and that lies in [-1, 1], data shaped like a recording,
// the CR LF variant, repeatability, the other kinds of the benchmark
// corpus, data taken from sox's text, and the refusal of bad arguments.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/FileReadC.h"
#include "engine/Spelling.h"
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
        ASSERT_TRUE(spelling::datumValue(datum.c_str(), value));
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
        ASSERT_TRUE(spelling::datumValue(datum.c_str(), value)) << datum;
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
        "--kind noise 5 " + path,
        "--kind uniform --from " + path + " 5 " + path,
    };
    for (const std::string& args : refused) {
        EXPECT_EQ(wavegen(args), 2) << args;
        EXPECT_FALSE(std::filesystem::exists(path)) << args;
    }
    EXPECT_EQ(wavegen("5 " + files.dir() + "/no/such/folder.wave"), 1);
}

// A kind's file of 100,000 samples as lines, its header checked; every datum
// is read as strtod reads it (the datum rule: what follows the number is
// left aside), lies in [-1, 1], is read alike by the reader's conversion, and
// fits one read with CR LF. Each datum and its value go to look.
void checkKind(const std::string& kind,
               const std::function<void(const std::string&, double, const char*)>& look) {
    testfiles::TempFilesC files;
    const std::string path = files.dir() + "/" + kind + ".wave";
    ASSERT_EQ(wavegen("--kind " + kind + " 100000 " + path), 0);
    const std::vector<std::string> lines = splitLines(readFile(path));
    ASSERT_EQ(lines.size(), 5u + 100000u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              wavetext::headerLines("100000", "44100"));
    for (std::size_t i = 5; i < lines.size(); ++i) {
        const std::string& datum = lines[i];
        SCOPED_TRACE(kind + " line " + std::to_string(i + 1) + ": [" + datum + "]");
        ASSERT_LE(datum.size() + 2, static_cast<std::size_t>(FileReadC::ReadMax));
        char* end = nullptr;
        const double expected = std::strtod(datum.c_str(), &end);
        ASSERT_NE(end, datum.c_str());
        ASSERT_TRUE(expected >= -1.0 && expected <= 1.0);
        double value = 2;
        ASSERT_TRUE(spelling::datumValue(datum.c_str(), value));
        ASSERT_EQ(value, expected);
        look(datum, value, end);
    }
    std::string again = files.dir() + "/again.wave";
    ASSERT_EQ(wavegen("--kind " + kind + " 100000 " + again), 0);
    EXPECT_TRUE(readFile(again) == readFile(path)) << "the same arguments, other bytes";
}

TEST(WaveGen, UniformExponentSquareAndConstantKindsHaveTheirShape) {
    double least = 1, most = -1;
    checkKind("uniform", [&](const std::string& datum, double value, const char*) {
        EXPECT_EQ(datum.size() - datum.find('.'), 7u) << datum;
        least = std::min(least, value);
        most = std::max(most, value);
    });
    EXPECT_LT(least, -0.999);
    EXPECT_GT(most, 0.999);
    least = 1, most = -1;
    checkKind("exponent", [&](const std::string& datum, double value, const char*) {
        const std::size_t sign = datum[0] == '-';
        EXPECT_EQ(datum.size() - sign, 24u) << datum;  // d.[18 digits]e-dd
        EXPECT_EQ(datum.substr(sign + 1, 1) + datum.substr(sign + 20, 1), ".e") << datum;
        least = std::min(least, value);
        most = std::max(most, value);
    });
    EXPECT_LT(least, -0.999);
    EXPECT_GT(most, 0.999);
    std::size_t index = 0;
    checkKind("square", [&](const std::string& datum, double value, const char*) {
        const double level = index++ % 100 < 50 ? 0.8 : -0.8;
        EXPECT_LE(std::fabs(value - level), 0.01 + 1e-12) << datum;
        EXPECT_EQ(datum.size() - datum.find('.'), 5u) << datum;
    });
    checkKind("constant",
              [](const std::string& datum, double, const char*) { EXPECT_EQ(datum, "0.5"); });
}

TEST(WaveGen, SpellingsKindSpellsDataInEveryWayADatumMayTake) {
    std::set<std::size_t> decimals;
    std::set<std::string> traits;
    std::size_t large = 0, small = 0;
    checkKind("spellings", [&](const std::string& datum, double value, const char* end) {
        const std::size_t start = datum.find_first_not_of(" \t");
        const std::string number = datum.substr(start, end - datum.c_str() - start);
        const std::size_t point = number.find('.');
        const std::size_t exponent = number.find_first_of("eE");
        const std::size_t digitsEnd = std::min(exponent, number.size());
        decimals.insert(point == std::string::npos ? 0 : digitsEnd - point - 1);
        if (start > 0) traits.insert("leading white space");
        if (*end != '\0') traits.insert("text after the number");
        if (number[0] == '+') traits.insert("plus");
        const std::size_t sign = number[0] == '+' || number[0] == '-';
        const std::string whole = number.substr(sign, std::min(point, digitsEnd) - sign);
        if (whole.empty()) traits.insert("no leading zero");
        if (whole.size() > 1 && whole[0] == '0') traits.insert("leading zeros");
        if (exponent != std::string::npos)
            traits.insert(std::string("exponent ") + number[exponent]);
        large += std::fabs(value) >= 0.5;
        small += value != 0 && std::fabs(value) < 1e-9;
    });
    std::set<std::size_t> all;
    for (std::size_t d = 0; d <= 17; ++d) all.insert(d);
    EXPECT_EQ(decimals, all);
    EXPECT_EQ(traits, (std::set<std::string>{"leading white space", "text after the number", "plus",
                                             "no leading zero", "leading zeros", "exponent e",
                                             "exponent E"}));
    EXPECT_GT(large, 100000u / 10);
    EXPECT_GT(small, 100000u / 100);
}

TEST(WaveGen, FromTakesSoxValuesAndRateAndStartsTheFileAgainAtItsEnd) {
    testfiles::TempFilesC files;
    const std::string dat = files.dir() + "/sound.dat";
    ASSERT_TRUE(testfiles::writeFile(dat,
                                     "; Sample Rate 22050\n; Channels 1\n"
                                     "               0   0.054024391808 \n"
                                     "   2.2675737e-05  -0.0039367675781 \n"
                                     "   4.5351474e-05                0 \n"));
    const std::string path = files.dir() + "/out.wave";
    ASSERT_EQ(wavegen("--crlf --from " + dat + " 7 " + path), 0);
    std::string expected;
    for (const std::string& line : wavetext::headerLines("7", "22050")) expected += line + "\r\n";
    const std::string data = "0.054024391808\r\n-0.0039367675781\r\n0\r\n";
    EXPECT_EQ(readFile(path), expected + data + data + "0.054024391808\r\n");
    ASSERT_EQ(wavegen("--rate 8000 --from " + dat + " 2 " + path), 0);
    EXPECT_EQ(splitLines(readFile(path))[3], "SAMPLERATE:\t8000");
    // A pipe is not read again: it must hold every datum. A line without a
    // value fails too; neither leaves a file.
    EXPECT_EQ(wavegen("--from - 4 " + path + " < " + dat), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(testfiles::writeFile(dat, "; Sample Rate 22050\n0.5\n"));
    EXPECT_EQ(wavegen("--from " + dat + " 1 " + path), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
