#pragma once
// The reader's tests: random files full of the bytes that matter, and the
// reader compared with the byte-at-a-time reference reader read by read.
// Shared by the native and the Win32 tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "engine/FileReadC.h"
#include "tests/common/EngineWindows.h"
#include "tests/common/ReferenceReader.h"

namespace testcheck {

// Lines of random length built from bytes that the rules treat specially,
// rarely a Ctrl-Z (which ends the file early).
inline std::string randomFile(std::mt19937& random, std::size_t size) {
    static const char Alphabet[] = "0123456789.-+e \t\r\r\n\n\n\0";
    std::string bytes;
    std::uniform_int_distribution<int> lineLength(0, 110);
    while (bytes.size() < size) {
        int length = lineLength(random);
        for (int i = 0; i < length; ++i) bytes += Alphabet[random() % (sizeof Alphabet - 1)];
        bytes += random() % 3 ? "\n" : "\r\n";
    }
    if (!bytes.empty() && random() % 8 == 0) bytes[random() % bytes.size()] = 26;
    return bytes;
}

inline void expectSameReads(FileReadC& reader, ReferenceReader& reference, int reads,
                            const std::string& where) {
    for (int i = 0; i < reads; ++i) {
        int expected = reference.readLine();
        ASSERT_EQ(reader.ReadLine(), expected) << where << " read " << i;
        ASSERT_EQ(reader.LineNo, reference.LineNo) << where << " read " << i;
        ASSERT_EQ(std::string(reader.Line, reader.LineLen), reference.Line)
            << where << " read " << i;
        if (expected != 0) return;
    }
}

// Reads a whole file with both readers, then rewinds both to random lines a
// few times and reads on, comparing every read; the reader's windows of
// windowBytes (0: the usual ones).
inline void compareReaders(const std::string& path, std::mt19937& random, const std::string& where,
                           std::size_t windowBytes = 0) {
    FileReadC reader;
    testwindows::apply(reader);
    if (windowBytes != 0) reader.setWindowBytes(windowBytes);
    ASSERT_EQ(reader.setFileName(path.c_str()), 0);
    ASSERT_EQ(reader.open(), 0);
    ReferenceReader reference(path);
    expectSameReads(reader, reference, 1 << 30, where);
    for (int seek = 0; seek < 3; ++seek) {
        uint32_t line = 1 + static_cast<uint32_t>(random() % (reference.LineNo + 5));
        ASSERT_EQ(reader.seekLine(line), reference.seekLine(line)) << where;
        expectSameReads(reader, reference, static_cast<int>(random() % 200), where);
    }
}

}  // namespace testcheck
