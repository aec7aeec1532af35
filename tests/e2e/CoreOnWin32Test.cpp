// The engine's reader and conversions as the Win32 build compiles them (SSE2
// doubles, the Win32 C runtime's files): the same reads and the same values as
// the native build gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "tests/common/DatumCheck.h"
#include "tests/common/ReaderCheck.h"
#include "tests/e2e/driver/WinDriver.h"

namespace {

TEST(CoreOnWin32, DataConvertToTheCorrectlyRoundedDoubles) {
    EXPECT_EQ(testcheck::firstDatumMismatch(200000, 12345), "");
}

TEST(CoreOnWin32, BlockReaderDeliversWhatTheByteReaderDelivers) {
    std::string path = e2e::exeDir() + "\\reader-check.txt";
    std::mt19937 random(20261207);
    for (int fileNo = 0; fileNo < 40; ++fileNo) {
        std::size_t size = fileNo % 8 == 0 ? 3 * FileReadC::BlockSize : random() % 4000;
        {
            std::string bytes = testcheck::randomFile(random, size);
            std::ofstream out(path, std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            ASSERT_TRUE(out.good()) << path;
        }
        testcheck::compareReaders(path, random, "file " + std::to_string(fileNo));
    }
    std::remove(path.c_str());
}

}  // namespace
