#pragma once
// A window's scan against the lines it holds: every read taken in order, at
// most as many as the scan may take, and the scan stopped at the first it
// does not take. Shared by the native and the Win32 tests (whose groups
// are half as wide).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/ReadWindows.h"

namespace testcheck {

// A datum's side of level: H (at least the level), L, or N (no number).
inline char sideOf(const char* read, double level) {
    char* end = nullptr;
    const double value = std::strtod(read, &end);
    return end == read ? 'N' : value >= level ? 'H' : 'L';
}

// A tally that tells every line spelled [-]0.dd... by its first two
// decimals against a level of level hundredths (High from it up, negative
// data Low; below 10, a quiet file's, only the prefixes under 10 tell, and
// those from the level up only when highsTold), and a line spelled as the
// datum read last by its value, and
// keeps the side of each datum a scan gives it, in order (sideOf), told or
// read (which of the two a scan does is its own choice).
struct RecordingTally {
    uint8_t Classes[readwindows::PrefixCount];
    readwindows::PrefixRangesS Ranges;
    double Level;
    std::string Taken;
    std::string LastRead;  // to its line's end
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
    static std::string lineOf(const char* read) {
        return std::string(read, std::strcspn(read, "\r\n"));
    }
    uint8_t repeatOf(const char* read) const {
        if (LastRead.empty() || lineOf(read) != LastRead) return readwindows::ReadDatum;
        const char side = sideOf(read, Level);
        return side == 'N'   ? readwindows::ReadDatum
               : side == 'H' ? readwindows::High
                             : readwindows::Low;
    }
    bool take(const char* read) {
        Taken += sideOf(read, Level);
        LastRead = lineOf(read);
        return true;
    }
    void takeClassed(uint64_t aboves, uint64_t, uint32_t count, const char*) {
        for (uint32_t i = 0; i < count; ++i) Taken += (aboves >> i) & 1 ? 'H' : 'L';
    }
};

// A window's lines, where each starts, and the side of each.
struct ScanWindowS {
    std::string Text;
    std::vector<std::size_t> Starts;
    std::string Expected;
    void add(const std::string& datum, bool crLf, unsigned level) {
        Starts.push_back(Text.size());
        Text += datum + (crLf ? "\r\n" : "\n");
        std::string read = datum;  // as the reader delivers it: CRs dropped
        read.erase(std::remove(read.begin(), read.end(), '\r'), read.end());
        Expected += sideOf(read.c_str(), level / 100.0);
    }
};

// The scan of window's first lines, cut where they end, at most maxReads
// of them: "" when it takes what it should, else what it did. Past the cut
// lie the window's other lines, and then more of its last, as a window has
// data there.
inline std::string scanMismatch(ScanWindowS window, std::size_t lines, uint32_t maxReads,
                                unsigned level, bool highsTold) {
    const std::size_t cut =
        lines < window.Starts.size() ? window.Starts[lines] : window.Text.size();
    const std::string last =
        window.Starts.empty() ? std::string(80, '\0') : window.Text.substr(window.Starts.back());
    while (window.Text.size() < cut + 80) window.Text += last;
    const uint32_t reads = std::min(maxReads, uint32_t(lines));
    RecordingTally tally(level, highsTold);
    const readwindows::ScanEndS end = readwindows::scanReads(
        reinterpret_cast<const unsigned char*>(window.Text.data()), 0, cut, maxReads, tally);
    const std::size_t stopAt = reads < lines ? window.Starts[reads] : cut;
    if (end.Reads == reads && end.StopAt == stopAt &&
        tally.Taken == window.Expected.substr(0, reads))
        return "";
    return std::to_string(end.Reads) + " reads of " + std::to_string(reads) + ", stopped at " +
           std::to_string(end.StopAt) + " not " + std::to_string(stopAt) + ", took " + tally.Taken +
           " of " + window.Expected;
}

// A datum spelled with white space, a '+' and text around it (an exponent
// among it), half of them in exponent form as printf's "%e" writes them,
// some with a CR in it.
inline std::string aroundDatum(std::string datum, std::mt19937& random) {
    static const char* const Leads[] = {"", " ", "\t", " \v\f "};
    static const char* const Trails[] = {"", " x", ",0.9", "e", "E+3"};
    if (random() % 2) {
        char text[40];
        std::snprintf(text, sizeof text, random() % 2 ? "%.*e" : "%.*E", int(random() % 8),
                      std::strtod(datum.c_str(), nullptr));
        datum = text;
    } else if (random() % 3 == 0) {
        datum.erase(datum[0] == '-', 1);  // ".d...", without its zero
    }
    if (random() % 8 == 0) datum.insert(random() % datum.size(), "\r");  // which the reader drops
    const bool plus = datum[0] != '-' && random() % 2;
    return Leads[random() % 4] + std::string(plus ? "+" : "") + datum + Trails[random() % 5];
}

// A datum as printf's "%e" writes it, or now and then a line that ends as
// that form ends but is of another spelling.
inline std::string exponentForm(const std::string& datum, std::mt19937& random) {
    static const char* const Others[] = {"50.0e-02", "0.5e-01", " 5.0e-01", "5.e-01",
                                         "-5e-01",   "5.5e+00", "5.0e-100", "9.9e-1x1"};
    if (random() % 8 == 0) return Others[random() % std::size(Others)];
    char text[40];
    std::snprintf(text, sizeof text, random() % 4 ? "%.*e" : "%+.*E", 1 + int(random() % 18),
                  std::strtod(datum.c_str(), nullptr));
    return text;
}

// Windows of lines the masks tell many at once, lines taken one by one,
// read alone, repeated (in blocks of either class), too long for a group,
// spelled with white space, a '+' and text around them (an exponent among
// it, or no zero before the point), as printf's "%e" writes them, and of
// all of these mixed; the scan may take as many reads as the window holds,
// fewer, or many more. "" when every scan takes what it should, else the
// first that does not.
inline std::string firstScanMismatchOneWay(int windows, unsigned seed, unsigned level,
                                           bool highsTold) {
    static const char* const OtherSpellings[] = {"5e-1",       " +.05E1 x", "-00.5e0",
                                                 "50.0E-2\tv", "0.0049e+1", "5.5e-00",
                                                 "-2.5E-001",  "9.5e-010x", "-.,5"};
    std::mt19937 random(seed);
    for (int i = 0; i < windows; ++i) {
        ScanWindowS window;
        const unsigned only = random() % 9;  // a window of one kind, or of all
        for (unsigned line = random() % 400; line > 0; --line) {
            const unsigned kind = only < 7 ? only : random() % 7, digit = random() % 10;
            std::string datum = random() % 3 == 0 ? "-0." : "0.";
            if (level < 10 && random() % 4 != 0) datum += '0';  // below 0.1, mostly
            datum += std::to_string(digit);
            if (kind == 1) datum += std::to_string(random() % 100000);
            if (kind == 2) datum = OtherSpellings[random() % std::size(OtherSpellings)];
            if (kind == 3) datum += std::string(random() % 30, '7');
            if (kind == 4) datum = line / 40 % 2 ? "0.25000000000" : "0.75000000000";
            if (kind == 5) datum = aroundDatum(datum + std::to_string(random() % 1000), random);
            if (kind == 6) datum = exponentForm(datum + std::to_string(random() % 1000), random);
            window.add(datum, random() % 5 == 0, level);
        }
        const uint32_t lines = uint32_t(window.Starts.size());
        const unsigned limit = random() % 3;  // the window's lines, fewer, or many more
        const uint32_t maxReads = limit == 0   ? lines
                                  : limit == 1 ? uint32_t(random() % (lines + 1))
                                               : lines + 1000;
        const std::string mismatch = scanMismatch(window, lines, maxReads, level, highsTold);
        if (!mismatch.empty()) return "window " + std::to_string(i) + ": " + mismatch;
    }
    return "";
}

// Runs of one line (told as a repeat of the datum read before it), each
// followed by the same spelled one byte longer, then by more of the first:
// runs of many groups, each cut at every line of its last 70 and stopped
// at every read there. "" when every scan takes what it should, else the
// first that does not.
inline std::string firstRunMismatch(unsigned level, bool highsTold) {
    for (const char* ending : {"\n", "\r\n"}) {
        for (std::size_t run = 150; run < 174; ++run) {
            ScanWindowS window;
            for (std::size_t line = 0; line < run + 6; ++line)
                window.add(line == run ? "0.250" : "0.25", ending[1] != 0, level);
            const std::size_t lines = window.Starts.size();
            for (std::size_t stop = run - 70; stop <= lines; ++stop) {
                std::string mismatch =
                    scanMismatch(window, stop, uint32_t(lines), level, highsTold);
                if (mismatch.empty())
                    mismatch = scanMismatch(window, lines, uint32_t(stop), level, highsTold);
                if (!mismatch.empty())
                    return "a run of " + std::to_string(run) + ", stopped at line " +
                           std::to_string(stop) + ": " + mismatch;
            }
        }
    }
    return "";
}

// The same, and the runs, in each copy of the scan the machine can run
// (its own and the wide one, QuickWide), each with the high lines found by
// the loop and, where the machine has a quick instruction for it, gathered;
// at a level of 0.5 and at a quiet file's 0.05, its high prefixes told or
// read.
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
                if (mismatch.empty()) mismatch = firstRunMismatch(level, highsTold);
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
