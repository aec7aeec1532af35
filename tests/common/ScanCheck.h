#pragma once
// A window's scan against the lines it holds: every read taken in order, at
// most as many as the scan may take, and the scan stopped at the first it
// does not take. Shared by the native and the Win32 tests (whose groups
// are half as wide).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/ReadWindows.h"

namespace testcheck {

// A tally that tells every line spelled [-]0.dd... by its first two
// decimals against a level of level hundredths (High from it up, negative
// data Low; below 10, a quiet file's, only the prefixes under 10 tell, and
// those from the level up only when highsTold) and
// keeps the side of each datum a scan gives it, in order: H (at least the
// level) or L, told or read (which of the two a scan does is its own choice).
struct RecordingTally {
    uint8_t Classes[readwindows::PrefixCount];
    readwindows::PrefixRangesS Ranges;
    double Level;
    std::string Taken;
    RecordingTally(unsigned level, bool highsTold) : Level(level / 100.0) {
        using namespace readwindows;
        for (unsigned prefix = 0; prefix < NegativePrefix; ++prefix)
            Classes[prefix] = prefix < level                               ? Low
                              : level < 10 && (prefix >= 10 || !highsTold) ? ReadDatum
                                                                           : High;
        Classes[NegativePrefix] = Low;
        Classes[NoPrefix] = ReadDatum;
        Ranges = readwindows::prefixRanges(Classes);
    }
    const uint8_t* prefixes() const { return Classes; }
    const readwindows::PrefixRangesS& prefixRanges() const { return Ranges; }
    uint8_t repeatOf(const char*) const { return readwindows::ReadDatum; }
    bool take(const char* read) {
        Taken += std::strtod(read, nullptr) >= Level ? 'H' : 'L';
        return true;
    }
    void takeClassed(uint64_t aboves, uint64_t, uint32_t count, const char*) {
        for (uint32_t i = 0; i < count; ++i) Taken += (aboves >> i) & 1 ? 'H' : 'L';
    }
};

// Windows of lines the masks tell many at once, lines taken one by one,
// read alone, repeated (in blocks of either class), too long for a group,
// and of all of these mixed; the scan may take as many reads as the window
// holds, fewer, or many more. "" when every scan takes what it should,
// else the first that does not.
inline std::string firstScanMismatchOneWay(int windows, unsigned seed, unsigned level,
                                           bool highsTold) {
    std::mt19937 random(seed);
    for (int i = 0; i < windows; ++i) {
        std::string text, expected;
        std::vector<std::size_t> starts;
        const unsigned only = random() % 7;  // a window of one kind, or of all
        for (unsigned line = random() % 400; line > 0; --line) {
            starts.push_back(text.size());
            const unsigned kind = only < 5 ? only : random() % 5, digit = random() % 10;
            std::string datum = random() % 3 == 0 ? "-0." : "0.";
            if (level < 10 && random() % 4 != 0) datum += '0';  // below 0.1, mostly
            datum += std::to_string(digit);
            if (kind == 1) datum += std::to_string(random() % 100000);
            if (kind == 2) datum = "5e-1";
            if (kind == 3) datum += std::string(random() % 30, '7');
            if (kind == 4) datum = line / 40 % 2 ? "0.25000000000" : "0.75000000000";
            text += datum + (random() % 5 == 0 ? "\r\n" : "\n");
            expected += std::strtod(datum.c_str(), nullptr) >= level / 100.0 ? 'H' : 'L';
        }
        const std::size_t cut = text.size();
        text += std::string(80, '\0');
        const uint32_t lines = uint32_t(starts.size());
        const unsigned limit = random() % 3;  // the window's lines, fewer, or many more
        const uint32_t maxReads = limit == 0   ? lines
                                  : limit == 1 ? uint32_t(random() % (lines + 1))
                                               : lines + 1000;
        const uint32_t reads = std::min(maxReads, lines);
        RecordingTally tally(level, highsTold);
        const readwindows::ScanEndS end = readwindows::scanReads(
            reinterpret_cast<const unsigned char*>(text.data()), 0, cut, maxReads, tally);
        const std::size_t stopAt = reads < lines ? starts[reads] : cut;
        if (end.Reads != reads || end.StopAt != stopAt || tally.Taken != expected.substr(0, reads))
            return "window " + std::to_string(i) + ": " + std::to_string(end.Reads) + " reads of " +
                   std::to_string(reads) + ", stopped at " + std::to_string(end.StopAt) + " not " +
                   std::to_string(stopAt) + ", took " + tally.Taken + " of " + expected;
    }
    return "";
}

// The same in each copy of the scan the machine can run (its own and the
// wide one, QuickWide), each with the high lines found by the loop and, where
// the machine has a quick instruction for it, gathered; at a level of 0.5
// and at a quiet file's 0.05, its high prefixes told or read.
inline std::string firstScanMismatch(int windows, unsigned seed) {
    const bool quickGather = readwindows::quickGatherHere();
    const bool quickWide = readwindows::quickWideHere();
    std::string mismatch;
    for (const bool wide : {false, true}) {
        for (const bool gather : {false, true}) {
            for (const unsigned tally : {0u, 1u, 2u}) {
                const unsigned level = tally == 0 ? 50 : 5;
                const bool highsTold = tally != 2;
                if ((gather && !quickGather) || (wide && !quickWide) || !mismatch.empty()) continue;
                readwindows::QuickGather = gather;
                readwindows::QuickWide = wide;
                mismatch = firstScanMismatchOneWay(windows, seed, level, highsTold);
                if (!mismatch.empty())
                    mismatch = std::string(wide ? "wide, " : "own, ") +
                               (gather ? "gathered, " : "by the loop, ") + "level " +
                               std::to_string(level) + (highsTold ? "%, " : "%, highs read, ") +
                               mismatch;
            }
        }
    }
    readwindows::QuickGather = quickGather;
    readwindows::QuickWide = quickWide;
    return mismatch;
}

}  // namespace testcheck
