// The block reader against a byte-at-a-time reference reader that follows the
// text-mode rules literally, on generated files full of the bytes that matter
// (LF, CR, NUL, Ctrl-Z) and of lines that cross block boundaries.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "engine/FileReadC.h"
#include "tests/common/ReaderCheck.h"
#include "tests/unit/Environment.h"
#include "tests/unit/TempFiles.h"

namespace {

using testcheck::compareReaders;
using testcheck::randomFile;

// 300 files in the test command; TALLY_DIFF_FILES and TALLY_DIFF_SEED make a
// longer run by hand (tools/differential).
TEST(FileReadDifferential, BlockReaderDeliversWhatTheByteReaderDelivers) {
    const unsigned long seed = testenv::number("TALLY_DIFF_SEED", 20261207);
    const unsigned long count = testenv::number("TALLY_DIFF_FILES", 300);
    std::mt19937 random(static_cast<unsigned>(seed));
    std::printf("seed %lu, %lu files\n", seed, count);
    const std::size_t Block = FileReadC::WindowSize;
    for (unsigned long fileNo = 0; fileNo < count; ++fileNo) {
        testfiles::TempFilesC files;
        std::size_t size = fileNo % 10 == 0 ? 2 * Block + random() % Block : random() % 4000;
        std::string path = files.write(randomFile(random, size));
        compareReaders(path, random, "file " + std::to_string(fileNo));
    }
}

// Windows of 64 to 300 bytes: their ends fall inside long lines, beside and
// between CRs and line feeds, at NULs and Ctrl-Zs, and the bytes of a read
// begun at a window's end move on to the next.
TEST(FileReadDifferential, SmallWindowsDeliverWhatTheByteReaderDelivers) {
    const unsigned long seed = testenv::number("TALLY_DIFF_SEED", 20261208);
    const unsigned long count = testenv::number("TALLY_DIFF_FILES", 300);
    std::mt19937 random(static_cast<unsigned>(seed));
    for (unsigned long fileNo = 0; fileNo < count; ++fileNo) {
        testfiles::TempFilesC files;
        std::string path = files.write(randomFile(random, random() % 3000));
        compareReaders(path, random, "file " + std::to_string(fileNo), 64 + random() % 237);
    }
}

// Line ends, CRs and Ctrl-Z placed on both sides of the end of a file's
// first fetch.
TEST(FileReadDifferential, SpecialBytesAtBlockBoundaries) {
    testfiles::TempFilesC files;
    std::mt19937 random(7);
    const std::size_t Block = FileReadC::FirstFetch;
    for (const char* tail : {"\n", "\r", "\r\n", "\x1A", "\0", "\n\r", "\r\r\n"}) {
        for (std::size_t before : {Block - 47, Block - 46, Block - 3, Block - 2, Block - 1, Block,
                                   Block + 1, Block + 2}) {
            std::string bytes(before, '5');
            for (std::size_t i = 40; i < before; i += 40) bytes[i] = '\n';
            bytes += std::string(tail, std::char_traits<char>::length(tail) + (*tail == 0));
            bytes += "0.25\n-1\n";
            std::string path = files.write(bytes, "boundary.txt");
            compareReaders(path, random, "boundary " + std::to_string(before));
        }
    }
}

}  // namespace
