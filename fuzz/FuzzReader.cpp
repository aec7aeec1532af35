// Fuzz target: the wave-file line reader and its conversions against the
// straightforward byte-at-a-time reader of the tests and the plain
// conversions of the reference pass.
//
// Input: a control byte, a seek byte, then the file's bytes. Control bit 0
// puts nearly a block of filler lines before the bytes, so that they
// straddle the reader's first block boundary (the other seven bits move them
// over 128 places around it). The whole file is read with ReadLine, every
// read converted as a datum and as header values; then, from the line the
// seek byte chooses, it is read again the way the engine reads data
// (nextRead), each text checked against the reference read, its conversion
// and what its spelling claims.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/FileReadC.h"
#include "engine/ReadWindows.h"
#include "engine/Spelling.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Oracle.h"

namespace {

using fuzzsupport::visible;

// Filler of whole reads: lines of 46 characters, each ending in a line feed.
std::string filler(std::size_t size) {
    const std::string line = "0.25" + std::string(FileReadC::ReadMax - 5, '0') + "\n";
    std::string bytes;
    while (bytes.size() < size) bytes += line;
    bytes.resize(size);
    return bytes;
}

std::string where(uint32_t lineNo, const std::string& read) {
    return "line " + std::to_string(lineNo) + " [" + visible(read) + "]";
}

std::string converted(bool ok, double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return ok ? text : "none";
}

bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// A datum converted by both sides; text is a read as the engine sees it,
// expected the reference's read.
void compareDatum(const char* text, const std::string& expected, uint32_t lineNo) {
    double value = 0.0, expectedValue = 0.0;
    const bool ok = spelling::datumValue(text, value);
    const bool expectedOk = oracle::datum(expected.c_str(), expectedValue);
    FUZZ_CHECK(ok == expectedOk && (!ok || sameValue(value, expectedValue)),
               "datum " + where(lineNo, expected) + ": reader " + converted(ok, value) +
                   ", reference " + converted(expectedOk, expectedValue));
}

// Header values from the start of the read and from after its first TAB,
// where a header line keeps its value.
void compareHeaderValues(const char* text, uint32_t lineNo) {
    for (const char* at : {text, std::strchr(text, '\t')}) {
        if (at == nullptr) continue;
        if (at != text) ++at;
        uint32_t number = 0, expectedNumber = 0;
        const bool numbered = spelling::headerNumber(at, number);
        const bool expectedNumbered = oracle::headerNumber(at, expectedNumber);
        FUZZ_CHECK(numbered == expectedNumbered && (!numbered || number == expectedNumber),
                   "header number " + where(lineNo, text) + ": reader " +
                       (numbered ? std::to_string(number) : "none") + ", reference " +
                       (expectedNumbered ? std::to_string(expectedNumber) : "none"));
        char word[FileReadC::LineSize];
        std::string expectedWord;
        const bool worded = spelling::headerWord(at, word, sizeof word);
        const bool expectedWorded = oracle::headerWord(at, expectedWord);
        FUZZ_CHECK(worded == expectedWorded && (!worded || expectedWord == word),
                   "header word " + where(lineNo, text) + ": reader [" +
                       (worded ? visible(word) : "none") + "], reference [" +
                       visible(expectedWord) + "]");
    }
}

// The reference's reads of the filler and the bytes: the filler's whole
// lines are whole reads of their own (no CR, NUL or Ctrl-Z in them), so
// only what follows them is given to the reference reader.
class ReferenceReadsC {
  public:
    ReferenceReadsC(const std::string& bytes, std::size_t fillerLines)
        : FillerLines(fillerLines),
          FillerLine(bytes.substr(0, fillerLines ? FileReadC::ReadMax : 0)) {
        static fuzzsupport::MemFileC tail("fuzz-reader-tail");
        const std::size_t whole = fillerLines * FileReadC::ReadMax;
        tail.write(bytes.data() + whole, bytes.size() - whole);
        Tail = oracle::reads(tail.path());
    }
    std::size_t size() const { return FillerLines + Tail.size(); }
    const std::string& operator[](std::size_t index) const {
        return index < FillerLines ? FillerLine : Tail[index - FillerLines];
    }

  private:
    std::size_t FillerLines;
    std::string FillerLine;
    std::vector<std::string> Tail;
};

// The read in Line against the reference's read number index (0-based).
void compareLine(const FileReadC& reader, const ReferenceReadsC& reads, std::size_t index,
                 const char* how) {
    const std::string& expected = reads[index];
    FUZZ_CHECK(reader.LineLen == expected.size() &&
                   std::memcmp(reader.Line, expected.data(), expected.size()) == 0 &&
                   reader.Line[reader.LineLen] == '\0' && reader.LineLen <= FileReadC::ReadMax,
               std::string(how) + " " +
                   where(reader.LineNo, std::string(reader.Line, reader.LineLen)) +
                   " differs from reference [" + visible(expected) + "]");
}

// A datum's key gives its value, and the range its first two decimals
// claim holds for its value.
void checkKey(const char* text, const std::string& expected, uint32_t lineNo) {
    double value = 0.0;
    const bool ok = oracle::datum(expected.c_str(), value);
    int64_t key = 0;
    double keyless = 0.0;
    if (spelling::readDatum(text, key, keyless) == spelling::Keyed) {
        FUZZ_CHECK(ok && spelling::keyValue(key) == value,
                   "key " + where(lineNo, expected) + " reads as " +
                       converted(true, spelling::keyValue(key)) + ", reference " +
                       converted(ok, value));
    }
    const std::size_t length = expected.find('\n');
    if (length == std::string::npos || expected.find_first_of("eE") != std::string::npos) return;
    const unsigned prefix = readwindows::prefixOf(reinterpret_cast<const unsigned char*>(text));
    if (prefix == readwindows::NoPrefix) return;
    const int64_t least = prefix == readwindows::NegativePrefix ? -spelling::KeyScale
                                                                : readwindows::prefixLeast(prefix);
    const int64_t most =
        prefix == readwindows::NegativePrefix ? 0 : readwindows::prefixMost(prefix);
    const bool holds =
        ok && value >= spelling::keyValue(least) && value <= spelling::keyValue(most);
    FUZZ_CHECK(holds, "prefix " + where(lineNo, expected) + " claimed [" +
                          converted(true, spelling::keyValue(least)) + ", " +
                          converted(true, spelling::keyValue(most)) + "] but reads as " +
                          converted(ok, value));
}

fuzzsupport::MemFileC& file() {
    static fuzzsupport::MemFileC memFile("fuzz-reader");
    return memFile;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return -1;
    const uint8_t control = data[0];
    const uint8_t seek = data[1];
    std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    // Reads that lie wholly in the filler are all alike: they are compared
    // but not converted, and the second reading starts after them.
    uint32_t fillerReads = 0;
    if (control & 1) {
        const std::string before = filler(FileReadC::WindowSize - 64 + (control >> 1));
        fillerReads = static_cast<uint32_t>(before.size() / FileReadC::ReadMax);
        bytes = before + bytes;
    }
    file().write(bytes);
    const ReferenceReadsC reads(bytes, fillerReads);
    const uint32_t total = static_cast<uint32_t>(reads.size());

    FileReadC reader;
    FUZZ_CHECK(reader.setFileName(file().path().c_str()) == 0 && reader.open() == 0, "cannot open");
    // Every read to the end, then once more past it: Line stays as it was.
    for (uint32_t index = 0; index < total; ++index) {
        FUZZ_CHECK(reader.ReadLine() == 0 && reader.LineNo == index + 1,
                   "ReadLine fails or miscounts at read " + std::to_string(index + 1) + " of " +
                       std::to_string(total) + " [" + visible(reads[index]) + "]");
        compareLine(reader, reads, index, "ReadLine");
        if (reader.LineNo <= fillerReads) continue;
        compareDatum(reader.Line, reads[index], reader.LineNo);
        compareHeaderValues(reader.Line, reader.LineNo);
    }
    const std::string last(reader.Line, reader.LineLen);
    for (int past = 0; past < 2; ++past)
        FUZZ_CHECK(reader.ReadLine() == -4 && reader.LineNo == total &&
                       std::string(reader.Line, reader.LineLen) == last && !reader.readFailed(),
                   "a read past the end after " + std::to_string(total) + " reads");

    // From a chosen line on, the engine's way of reading data: after
    // seekLine(n) the next read is the n-th, numbered n + 1.
    const uint32_t base = fillerReads < total ? fillerReads : total;
    const uint32_t from = base + 1 + seek % (total - base + 3);
    FUZZ_CHECK(reader.seekLine(from) == 0 && reader.LineNo == from,
               "seekLine(" + std::to_string(from) + ") failed");
    for (uint32_t index = from - 1;; ++index) {
        const char* text = reader.nextRead();
        if (text == nullptr) {
            FUZZ_CHECK(index >= total && reader.LineNo == from + (index - (from - 1)),
                       "nextRead ends at read " + std::to_string(index + 1) + " of " +
                           std::to_string(total));
            break;
        }
        FUZZ_CHECK(index < total && reader.LineNo == index + 2,
                   "nextRead gives read " + std::to_string(index + 1) + " of " +
                       std::to_string(total) + " numbered " + std::to_string(reader.LineNo));
        checkKey(text, reads[index], reader.LineNo);
        compareDatum(text, reads[index], reader.LineNo);
        reader.keepRead(text);
        compareLine(reader, reads, index, "nextRead then keepRead");
    }
    FUZZ_CHECK(reader.close() == 0, "close failed");
    return 0;
}
