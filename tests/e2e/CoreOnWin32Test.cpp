// The engine as the Win32 build compiles it (SSE2 doubles, x87 extended
// thresholds, the Win32 C runtime's files and printf): the same reads, values,
// thresholds and window text as the native build gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "tests/common/DatumCheck.h"
#include "tests/common/Files.h"
#include "tests/common/ReaderCheck.h"
#include "tests/common/SampleRun.h"
#include "tests/common/ScanCheck.h"
#include "tests/common/ThresholdCheck.h"
#include "windriver/WinDriver.h"

namespace {

TEST(CoreOnWin32, DataConvertToTheCorrectlyRoundedDoubles) {
    EXPECT_EQ(testcheck::firstDatumMismatch(200000, 12345), "");
}

TEST(CoreOnWin32, BlockReaderDeliversWhatTheByteReaderDelivers) {
    std::string path = e2e::exeDir() + "\\reader-check.txt";
    std::mt19937 random(20261207);
    for (int fileNo = 0; fileNo < 40; ++fileNo) {
        std::size_t size = fileNo % 8 == 0 ? 3 * FileReadC::WindowSize : random() % 4000;
        ASSERT_TRUE(testfiles::writeFile(path, testcheck::randomFile(random, size))) << path;
        testcheck::compareReaders(path, random, "file " + std::to_string(fileNo));
    }
    std::remove(path.c_str());
}

// Windows of 64 to 300 bytes, read by the SSE2 code of the Win32 build.
TEST(CoreOnWin32, SmallWindowsReadAsTheByteReaderDoes) {
    std::string path = e2e::exeDir() + "\\reader-windows.txt";
    std::mt19937 random(20261208);
    for (int fileNo = 0; fileNo < 40; ++fileNo) {
        ASSERT_TRUE(testfiles::writeFile(path, testcheck::randomFile(random, random() % 3000)))
            << path;
        testcheck::compareReaders(path, random, "file " + std::to_string(fileNo),
                                  64 + random() % 237);
    }
    std::remove(path.c_str());
}

// Groups of 32 bytes, whose lines' bits fill 32-bit words.
TEST(CoreOnWin32, AScanTakesReadsInOrderUpToItsLimit) {
    EXPECT_EQ(testcheck::firstScanMismatch(300, 42), "");
}

TEST(CoreOnWin32, ThresholdsInExtendedPrecision) {
    EXPECT_EQ(testcheck::thresholdMismatches(), "");
}

// Also in small windows, the worker taking many of them, with the count
// from the candidates and from a second reading.
TEST(CoreOnWin32, SamplesGiveTheTextOfTheNativeBuild) {
    const std::string dir = TALLY_SAMPLES_DIR;
    const std::string expected = testcheck::expectedSampleText(dir + "/expected-results.txt");
    EXPECT_EQ(testcheck::runSamples(dir, '/'), expected);
    EXPECT_EQ(testcheck::runSamples(dir, '/', 200, -1), expected);
    EXPECT_EQ(testcheck::runSamples(dir, '/', 1000, 0), expected);
}

}  // namespace
