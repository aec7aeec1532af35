// The wave-file reader as the engine sees it: reads, line numbers and return
// codes on the awkward files users produce, the progress-dot rhythm, and the
// conversions of header and data lines.
#include "engine/FileReadC.h"
#include "engine/Spelling.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "tests/common/DatumCheck.h"
#include "tests/common/EngineWindows.h"
#include "tests/unit/TempFiles.h"

namespace {

using namespace std::string_literals;

class FileReadTest : public ::testing::Test {
  protected:
    void SetUp() override { testwindows::apply(Reader); }
    // Opens a file holding bytes; the test fails if it cannot.
    void openWith(const std::string& bytes) {
        ASSERT_EQ(Reader.setFileName(Files.write(bytes).c_str()), 0);
        ASSERT_EQ(Reader.open(), 0);
    }
    // Every read until the first failure.
    std::vector<std::string> readAll() {
        std::vector<std::string> reads;
        while (Reader.ReadLine() == 0) reads.emplace_back(Reader.Line, Reader.LineLen);
        return reads;
    }

    testfiles::TempFilesC Files;
    FileReadC Reader;
};

using Reads = std::vector<std::string>;

TEST_F(FileReadTest, EmptyFileGivesNoLineAndLineNoStaysZero) {
    openWith("");
    EXPECT_EQ(Reader.ReadLine(), -4);
    EXPECT_EQ(Reader.LineNo, 0u);
    EXPECT_STREQ(Reader.Line, "");
}

TEST_F(FileReadTest, LastLineWithoutLineEndCountsAndEndOfFileKeepsIt) {
    openWith("SAMPLES:\t1000\n0.5");
    EXPECT_EQ(readAll(), (Reads{"SAMPLES:\t1000\n", "0.5"}));
    EXPECT_EQ(Reader.LineNo, 2u);
    EXPECT_STREQ(Reader.Line, "0.5");
    EXPECT_EQ(Reader.ReadLine(), -4);
    EXPECT_EQ(Reader.LineNo, 2u);
}

TEST_F(FileReadTest, LongLinesArriveIn47CharacterReadsEachCountingAsALine) {
    std::string sixty(60, '7');
    std::string fortySeven(47, 'x');
    openWith(sixty + "\n" + fortySeven + "\n" + std::string(46, 'y') + "\r\n");
    EXPECT_EQ(readAll(), (Reads{sixty.substr(0, 47), sixty.substr(47) + "\n", fortySeven, "\n",
                                std::string(46, 'y') + "\n"}));
    EXPECT_EQ(Reader.LineNo, 5u);
}

TEST_F(FileReadTest, TextModeRulesCrDroppedCtrlZEndsNulStaysInTheRead) {
    openWith("a\r\nb\rc\r\r\n\r\nd\0e\nf\x1Ag\nh\n"s);
    EXPECT_EQ(readAll(), (Reads{"a\n", "bc\n", "\n", "d\0e\n"s, "f"}));
    EXPECT_STREQ(Reader.Line, "f");
    EXPECT_EQ(Reader.ReadLine(), -4);  // nothing after the Ctrl-Z, ever
    EXPECT_EQ(Reader.LineNo, 5u);

    openWith("x\n\x1A");
    EXPECT_EQ(readAll(), (Reads{"x\n"}));

    // Bytes with no line feed after the Ctrl-Z, more than a window holds:
    // the window is still cut after whole reads (the reader used to wait for
    // one forever).
    openWith("x\nab\x1A"s + std::string(300000, 'z') + "\n");
    EXPECT_EQ(readAll(), (Reads{"x\n", "ab"}));
}

TEST_F(FileReadTest, CrLfFileReadsExactlyLikeItsLfTwin) {
    std::string lf = "SAMPLES:\t1000\nBITSPERSAMPLE:\t16\n0.25\n" + std::string(50, '1') + "\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    openWith(lf);
    Reads fromLf = readAll();
    openWith(crlf);
    EXPECT_EQ(readAll(), fromLf);
    EXPECT_EQ(fromLf.size(), 5u);
}

TEST_F(FileReadTest, SeekLineRewindsSoTheNextReadIsLineNAndNumbersItNPlusOne) {
    openWith("one\ntwo\nthree\n");
    readAll();
    EXPECT_EQ(Reader.seekLine(2), 0);
    EXPECT_EQ(Reader.LineNo, 2u);
    EXPECT_STREQ(Reader.Line, "");
    ASSERT_EQ(Reader.ReadLine(), 0);
    EXPECT_STREQ(Reader.Line, "two\n");
    EXPECT_EQ(Reader.LineNo, 3u);

    Status = -9;
    EXPECT_EQ(Reader.seekLine(6), 0);  // beyond the end: fine, then nothing to read
    EXPECT_EQ(Status.load(), 0);
    EXPECT_EQ(Reader.LineNo, 6u);
    EXPECT_EQ(Reader.ReadLine(), -4);
    EXPECT_EQ(Reader.LineNo, 6u);

    EXPECT_EQ(Reader.seekLine(0), 0);  // n - 1 wraps: reads to the end, without hanging
    EXPECT_EQ(Reader.LineNo, 0u);
    EXPECT_EQ(Reader.ReadLine(), -4);
}

TEST_F(FileReadTest, WithoutAnOpenFileSeekFailsAndCloseSucceeds) {
    EXPECT_EQ(Reader.close(), 0);
    EXPECT_EQ(Reader.seekLine(4), -2);
    EXPECT_EQ(Status.load(), -2);
    EXPECT_EQ(Reader.LineNo, 4u);
    EXPECT_EQ(Reader.ReadLine(), -4);

    openWith("a\n");
    EXPECT_EQ(Reader.close(), 0);
    EXPECT_EQ(Reader.close(), 0);
    EXPECT_EQ(Reader.ReadLine(), -4);
}

TEST_F(FileReadTest, OpenFailsForAMissingFileAndRestartsAFileFromItsTop) {
    ASSERT_EQ(Reader.setFileName((Files.dir() + "/missing.txt").c_str()), 0);
    errno = 0;
    EXPECT_EQ(Reader.open(), -2);
    EXPECT_EQ(errno, ENOENT);

    openWith("first\nsecond\n");
    readAll();
    ASSERT_EQ(Reader.open(), 0);
    EXPECT_EQ(Reader.LineNo, 0u);
    EXPECT_STREQ(Reader.Line, "");
    EXPECT_EQ(readAll(), (Reads{"first\n", "second\n"}));
}

TEST_F(FileReadTest, ADirectoryCannotBeReadAsLines) {
    if (Reader.setFileName(Files.dir().c_str()) == 0 && Reader.open() == 0) {
        EXPECT_EQ(Reader.ReadLine(), -4);
        EXPECT_EQ(Reader.LineNo, 0u);
    }
}

TEST_F(FileReadTest, FileNamesUpTo2048CharactersAreStoredLongerOnesRefused) {
    std::string longest(2048, 'n');
    EXPECT_EQ(Reader.setFileName(longest.c_str()), 0);
    EXPECT_EQ(std::string(Reader.FName), longest);
    EXPECT_EQ(Reader.setFileName((longest + "x").c_str()), -6);
    EXPECT_EQ(std::string(Reader.FName), longest);
    EXPECT_EQ(Reader.setFileName(nullptr), -5);
}

std::time_t FakeNow = 0;
std::time_t fakeClock(std::time_t*) {
    return FakeNow;
}

TEST(FileReadDots, FirstCallStartsTheRhythmThenADotEachTimeMoreThanTwoSecondsPassed) {
    FileReadC reader;
    reader.setClock(fakeClock);
    std::vector<std::pair<std::time_t, bool>> calls = {
        {1000, false}, {1001, false}, {1002, false}, {1003, true},
        {1005, false}, {1006, true},  {1100, true},  {1100, false},
    };
    for (auto [now, due] : calls) {
        FakeNow = now;
        EXPECT_EQ(reader.dotDue(), due) << "at " << now;
    }
}

struct DatumCase {
    const char* text;
    double value;
};

TEST(FileReadConvert, DataWithSignPointExponentAndTrailingTextConvert) {
    const DatumCase cases[] = {
        {"1", 1.0},
        {"-1.0", -1.0},
        {"+0.5e0", 0.5},
        {"0.25 text", 0.25},
        {" 0.5", 0.5},
        {"\t-0.75\n", -0.75},
        {"5.", 5.0},
        {".5", 0.5},
        {"-.5E+1x", -5.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"0.1", 0.1},
        {"1.0000001", 1.0000001},
        {"-0", -0.0},
        {"000.000", 0.0},
        {"1e-400", 0.0},
        {"1e400", HUGE_VAL},
        {"-1e99999999999", -HUGE_VAL},
        {"0.1000000000000000055511151231257827021181583404541015625", 0.1},
        {"9007199254740993", 9007199254740992.0},  // halfway: rounds to even
        {"9007199254740993.0000000000000000001", 9007199254740994.0},
        {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022},
        {"4.9406564584124654e-324", 0x1p-1074},
        {"0x1p-1", 0.0},  // no hexadecimal: the leading 0, then ignored text
        {"-0X10", -0.0},
    };
    for (const DatumCase& c : cases) {
        double value = 7.0;
        EXPECT_TRUE(spelling::datumValue(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
    }
}

TEST(FileReadConvert, TextsWithoutADecimalNumberDoNotConvert) {
    for (const char* text : {"", " ", "\n", "inf", "-INF", "nan", "NaN(1)", ".", "-", "+", "e5",
                             "+-1", "- 1", "abc", ".e1", "\x1A"}) {
        double value = 7.0;
        EXPECT_FALSE(spelling::datumValue(text, value)) << "[" << text << "]";
        EXPECT_EQ(value, 7.0) << text;
    }
}

// Random decimals of every shape against the C library's correctly rounded strtod.
TEST(FileReadConvert, DataAreCorrectlyRoundedLikeStrtod) {
    EXPECT_EQ(testcheck::firstDatumMismatch(200000, 12345), "");
}

struct HeaderCase {
    const char* text;
    uint32_t value;
};

TEST(FileReadConvert, HeaderNumbersFollowUnsignedInputRules) {
    const HeaderCase cases[] = {
        {"1000", 1000u},
        {" \t1000 Hz", 1000u},
        {"+26000000", 26000000u},
        {"-1", 4294967295u},
        {"-999", 4294966297u},
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"99999999999999999999999", 4294967295u},
        {"-4294967296", 4294967295u},
        {"65537\n", 65537u},
        {"0007", 7u},
    };
    for (const HeaderCase& c : cases) {
        uint32_t value = 3;
        EXPECT_TRUE(spelling::headerNumber(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    for (const char* text : {"", "\n", "x1", "-", "+ 5", "--1", ".5"}) {
        uint32_t value = 3;
        EXPECT_FALSE(spelling::headerNumber(text, value)) << text;
        EXPECT_EQ(value, 3u);
    }
}

TEST(FileReadConvert, TheHeaderWordIsTheFirstRunOfNonBlanksCutToItsField) {
    char word[NormalizedSize] = "unchanged";
    EXPECT_TRUE(spelling::headerWord("TRUE and more\n", word, sizeof word));
    EXPECT_STREQ(word, "TRUE");
    EXPECT_TRUE(spelling::headerWord(" \ttrue\n", word, sizeof word));
    EXPECT_STREQ(word, "true");
    EXPECT_TRUE(spelling::headerWord("TRUEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE", word, sizeof word));
    EXPECT_STREQ(word, "TRUEEEEEEEEEE");
    EXPECT_FALSE(spelling::headerWord(" \t\n", word, sizeof word));
    EXPECT_STREQ(word, "TRUEEEEEEEEEE");
}

}  // namespace
