#pragma once
// What the two passes gather from a window of data reads, on whichever
// thread scans it, and how the validation pass folds a window's statistics
// into the file's. A datum is judged by the rules the sequential loops of
// ValidateC and CountC apply; a short decimal is mostly judged from its
// digits (DecimalBoundS) and its value computed only where they do not
// decide.
#include <cmath>
#include <cstdint>

#include "engine/DecimalBound.h"
#include "engine/FileReadC.h"

// The longest runs of consecutive data above, and at or below, the level.
// The first datum starts a run of its own side, as if an empty run at or
// below came before it.
struct RunsS {
    uint32_t LongestAbove = 0;
    uint32_t LongestBelow = 0;
    uint32_t Run = 0;
    bool Above = false;

    void take(bool above) { takeRun(above, 1); }
    // length data in a row on one side.
    void takeRun(bool above, uint32_t length) {
        if (above != Above) {
            end();
            Run = 0;
            Above = above;
        }
        Run += length;
    }
    void end() {
        uint32_t& longest = Above ? LongestAbove : LongestBelow;
        if (Run > longest) longest = Run;
    }
};

// The last datum converted, kept as a fixed-point spelling (sign and
// billionths) or as its value.
struct KeptDatumS {
    enum KindE : uint32_t { None, Fixed, Computed };
    uint32_t Kind = None;
    uint32_t Nanos = 0;
    bool Negative = false;
    double Value = 0.0;

    // Keeps the spelling when keep (without a branch: most data are such).
    void keepFixed(bool keep, bool negative, uint32_t nanos) {
        Kind = keep ? uint32_t{Fixed} : Kind;
        Nanos = keep ? nanos : Nanos;
        Negative = keep ? negative : Negative;
    }
    void keepValue(double value) {
        Kind = Computed;
        Value = value;
    }
    double value() const {
        return Kind == Fixed ? FileReadC::shortValue(Negative, Nanos, 9) : Value;
    }
};

// The data of a file that may reach the spike height H, each with its
// place (1 for the first datum) and value, kept by the validation pass so
// that the count need not read the file again. The greatest datum so far, p'
// <= p, bounds H = p h / 100 from below: a datum below floor(p') is low for
// sure. Up to Capacity data are kept; when more would be, those below the
// latest floor are dropped, and when that does not help the list gives up
// (Complete false) and the count reads the file again.
struct CandidatesS {
    uint32_t Count = 0;
    uint32_t Capacity = 0;
    bool Complete = false;
    double* Values = nullptr;
    uint32_t* Places = nullptr;

    // The list in words of memory, empty.
    void start(uint64_t* memory, std::size_t words);
    void keep(uint32_t place, double value, double floor) {
        if (Count == Capacity) dropBelow(floor);
        if (Count == Capacity) {
            Complete = false;
            return;
        }
        Values[Count] = value;
        Places[Count] = place;
        ++Count;
    }
    void dropBelow(double floor);
};

// A floor of H = p h / 100 (formed in extended precision and rounded) from
// a greatest datum p' <= p, as a double: a hair below p' h / 100, so that it
// lies at or below H however either is rounded.
inline double heightFloor(double greatest, double heightFraction) {
    return greatest * heightFraction * (1.0 - 1.0 / (1ull << 40));
}

// The validation pass's rules for a datum: within [Lowest, Highest], above
// the level or not; data in (-1, 0] judged from their spelling when the
// limits allow it, data below 0.1 too once the greatest datum and the level
// reach 0.1.
struct FirstPassRulesS {
    FirstPassRulesS(double level, double lowest, double highest, double height);

    double Level;
    double Lowest;
    double Highest;
    double HeightFraction;  // h / 100
    bool NegativesJudged;
    bool TenthsJudged;
    // The level and the limits against the digits of positive data ([0]),
    // and their negatives against those of negative data ([1]).
    struct BoundsS {
        DecimalBoundS Level, Lowest, Highest;
    } Bounds[2];
};

// One window's share of the validation pass, gathered as if no datum came
// before it: the data, the greatest datum (from 0), the runs, and the last
// datum converted. Whether data below 0.1 are judged from their spelling
// depends on the greatest datum of the whole file so far; the window takes
// its own greatest for it, and keeps the last datum converted also as the
// file's greatest would have it from 0.1 on (LastNotTenth): those are the
// only differences that makes (data below 0.1 lie at or below the level and
// below any greatest datum of 0.1 or more).
class FirstPassTallyC {
  public:
    // A window's tally, the greatest datum taken from known (the greatest of
    // the file before some earlier window), its candidates in the window's
    // scratch.
    void start(const FirstPassRulesS& rules, double known, const readwindows::WindowS& window);
    // Takes the next datum; false when it does not convert or lies out of
    // range (the window stops before it). Most data are judged by their
    // spelling alone: at or below the level and below H, nothing more to
    // note. A short one (readwindows::scanReads) is told by its first three
    // characters.
    bool take(const char* read, bool isShort) {
        if (isShort && Quiet.takes(readwindows::headOf(read), read)) {
            takeJudged(1);
            return true;
        }
        const FileReadC::FixedS spelling = FileReadC::fixedPoint(read);
        return (spelling.Fixed && takeFixed(read, spelling)) || takeOther(read);
    }
    // The data judged by their spelling that lie below the floor of H, too:
    // nothing of them to note.
    readwindows::JudgedS judged() const { return Quiet; }
    // So many data judged by their spelling (none at all too).
    void takeJudged(uint32_t count) {
        if (Runs.Above & (count != 0)) newRun(false);
        Runs.Run += count;
        Data += count;
    }

    uint32_t Data;
    double Max;
    RunsS Runs;
    bool FirstAbove;    // the side of the first datum
    uint32_t FirstRun;  // the length of the first run once another began; 0 before
    KeptDatumS Last;
    KeptDatumS LastNotTenth;
    CandidatesS Candidates;  // places from 0, the window's first datum

  private:
    bool takeFixed(const char* read, const FileReadC::FixedS& spelling);
    bool takeOther(const char* read);
    void keepCandidate(double value) {
        if (value >= Floor) Candidates.keep(Data, value, Floor);
    }
    void newMax(double value);
    void takeRun(bool above) {
        if (above != Runs.Above) newRun(above);
        ++Runs.Run;
        ++Data;
    }
    void newRun(bool above);
    static unsigned tenthsBelow(double floor);

    const FirstPassRulesS* Rules;
    bool TenthsJudged;  // data below 0.1 judged by their spelling: Max reached 0.1
    DecimalBoundS MaxBound;
    double Floor;                 // of H, from Max
    DecimalBoundS FloorBound[2];  // Floor against positive digits, -Floor negative ones
    readwindows::JudgedS Quiet;
};

// The validation pass's statistics of the data so far.
struct FirstPassDataS {
    double Value;  // the last datum converted
    double MaxValue;
    RunsS Runs;
    uint32_t Data;            // taken so far
    CandidatesS* Candidates;  // of the file

    // The window's data after those so far.
    void fold(const FirstPassTallyC& tally, const FirstPassRulesS& rules);

  private:
    void foldCandidates(const CandidatesS& window, double floor);
};

// The count's rules for a datum: high when it reaches H; data in (-1, 0]
// are low when H > 0, data below 0.1 when H > 0.1, by their spelling.
struct CountRulesS {
    explicit CountRulesS(double height);
    // Whether the datum is high; false when it does not convert.
    bool judge(const char* read, bool& high) const;

    double H;
    bool NegativesLow;
    bool TenthsLow;
    DecimalBoundS High[2];  // H against the digits of positive data, -H of negative ones
};

// One window's share of the count: a bit per datum, set for a high one.
// Most data are low by their spelling alone.
class CountTallyC {
  public:
    CountTallyC(const CountRulesS& rules, const readwindows::WindowS& window);
    // Takes the next datum; false when it does not convert. A short one
    // (readwindows::scanReads) is told by its first three characters when
    // they make it low.
    bool take(const char* read, bool isShort) {
        const readwindows::HeadE head =
            isShort ? readwindows::headOf(read) : readwindows::OtherHead;
        if (!(head == readwindows::NegativeHead && Rules.NegativesLow) &&
            !(head == readwindows::TenthHead && Rules.TenthsLow)) {
            bool high;
            if (!Rules.judge(read, high)) return false;
            Bits[Data >> 6] |= uint64_t{high} << (Data & 63);
        }
        ++Data;
        return true;
    }
    readwindows::JudgedS judged() const {
        return {Rules.NegativesLow, Rules.TenthsLow ? 256u : 0u};
    }
    // So many data low by their spelling.
    void takeJudged(uint32_t count) { Data += count; }

    uint32_t Data;

  private:
    const CountRulesS& Rules;
    uint64_t* Bits;
};
