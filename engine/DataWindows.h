#pragma once
// What the two passes gather from a window of data reads, on whichever
// thread scans it, and how the validation pass folds a window's share into
// the file's. Each datum is placed against the thresholds by its key
// (spelling::read): one integer comparison per threshold, exact; the few data
// without a key are converted and compared as doubles.
//
// The validation pass also marks, one bit per datum, every datum that may
// reach the spike height H = p h / 100: those at or above the height that
// the greatest datum so far gives (H never lies below it, as p only grows).
// Marked data at or above the height of the greatest datum the limits
// allow are surely high; the others, few, are kept with their keys (the
// list), so that once H is known the count clears the marks of those below
// it and runs its state machine over the marks, without reading the file
// again. When they are too many for the list, it keeps the lower ones: the
// marks then serve an H at or below the rest.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/ReadWindows.h"
#include "engine/Spelling.h"

// A threshold as a datum meets it: by key (at least Key) or by value (at
// least Value, or above it when Strict).
struct CutS {
    int64_t Key = spelling::KeyLimit;
    double Value = 0.0;
    bool Strict = false;

    static CutS atLeast(double x) { return {spelling::cutAtLeast(x), x, false}; }
    static CutS above(double x) { return {spelling::cutAbove(x), x, true}; }
    // A cut at or below atLeast(x), found without a search: every datum
    // that reaches x reaches it, and a few that lie just below x.
    static CutS atMost(double x) { return {spelling::cutAtMost(x), x, false}; }
    // A threshold no datum reaches.
    static CutS none() { return {spelling::KeyLimit, HUGE_VAL, true}; }
    bool reachedBy(double value) const { return Strict ? value > Value : value >= Value; }
};

// A datum as the pass keeps it: a key, or a value when it has none.
struct DatumS {
    int64_t Key = 0;
    double Value = 0.0;
    bool Keyed = true;
    bool NegativeZero = false;  // the key 0 of a datum spelled with a minus

    double value() const;
    bool reaches(const CutS& cut) const { return Keyed ? Key >= cut.Key : cut.reachedBy(Value); }
};

// The greatest datum so far (p, which starts at 0). Key is a key that no
// greater datum's key lies at or below, so that a keyed datum is greater
// only when its key is; Value is its double, worked out when it is needed.
class GreatestC {
  public:
    int64_t key() const { return Key; }
    double value() const;
    // A keyed datum with a key above key().
    void takeKey(int64_t key) {
        Key = key;
        ValueKnown = false;
    }
    // A datum with a value above value(), that has no key.
    void takeValue(double value);
    // Whether the greatest datum reaches cut.
    bool reaches(const CutS& cut) const {
        return ValueKnown ? cut.reachedBy(Value) : Key >= cut.Key;
    }
    // A datum that is greater than the greatest so far.
    bool lessThan(const DatumS& datum) const {
        return datum.Keyed ? datum.Key > Key : datum.Value > value();
    }
    void take(const DatumS& datum) {
        if (datum.Keyed) {
            takeKey(datum.Key);
        } else {
            takeValue(datum.Value);
        }
    }

  private:
    int64_t Key = 0;
    mutable double Value = 0.0;
    mutable bool ValueKnown = true;
};

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

// The spike height H = p h / 100 of greatest datum p and percentage h,
// formed in extended precision and rounded to a double. It never falls as
// p grows.
double spikeHeight(double greatest, double height);

// The validation pass's rules for a datum: within [Lowest, Highest], above
// the level or not; the height a greatest datum gives, and the height of
// the greatest the limits allow (Sure: a datum at least that is high
// whatever p turns out to be).
struct FirstPassRulesS {
    FirstPassRulesS(double level, double lowest, double highest, double height);
    double heightOf(double greatest) const { return spikeHeight(greatest, Height); }

    CutS Level;
    CutS Lowest;
    CutS Highest;  // a datum reaching it lies above the limits
    double Height;
    CutS Sure;
};

// Marks, one bit per datum, and the list of marked data that may yet lie
// below H, each with its place (from 0) and key or value. Marked data that
// reach Unlisted are not listed: at first the sure height, which every
// H lies at or below; a full list lowers it to free room, and the marks
// then serve only an H at or below it.
class MarksC {
  public:
    // Marks in bits (one per datum, set bits set by mark only), the list in
    // listWords words of memory, data reaching unlisted not listed.
    void start(uint64_t* bits, uint64_t* list, std::size_t listWords, const CutS& unlisted);
    // Forgets the list entries and marks of data below floor.
    void dropBelow(const CutS& floor);
    // Marks datum place; false when the list, full, cannot hold it (the
    // marks are then incomplete: listed() is false).
    bool mark(uint32_t place, const DatumS& datum);
    // Marks datum place, that reaches the sure height: not listed.
    void markSure(uint32_t place) { Bits[place >> 6] |= uint64_t{1} << (place & 63); }
    // Marks the data from place on whose bits are set in data, likewise.
    void markSure(uint32_t place, uint64_t data) {
        const uint32_t shift = place & 63;
        Bits[place >> 6] |= data << shift;
        if (shift != 0) Bits[(place >> 6) + 1] |= data >> (64 - shift);
    }
    // A full list's upper half unlisted: Unlisted falls to the middle of the
    // listed data (as a sample of them puts it), freeing half the room; the
    // marks give up when that frees less than a quarter.
    void listFewer();
    // Unlisted lowered to cut, when it lies lower; the listed data that
    // reach it leave the list (their marks stay).
    void lowerUnlisted(const CutS& cut);
    const CutS& unlisted() const { return Unlisted; }
    // Whether every marked datum below Unlisted is in the list.
    bool listed() const { return Complete; }
    // Whether the marks tell which data reach H = height: listed, and every
    // datum marked but not listed reaches it.
    bool tellHigh(double height) const { return Complete && Unlisted.Value >= height; }
    void giveUp() { Complete = false; }
    uint32_t count() const { return Count; }
    bool full() const { return Count == Capacity; }
    uint32_t place(uint32_t i) const { return Places[i] & PlaceMask; }
    DatumS datum(uint32_t i) const;
    uint64_t* bits() const { return Bits; }
    void clearMark(uint32_t place) { Bits[place >> 6] &= ~(uint64_t{1} << (place & 63)); }

  private:
    enum : uint32_t { ValueFlag = 1u << 31, PlaceMask = ValueFlag - 1 };
    // Keeps, in order, the listed data for which leaves(i) is false.
    template <typename LeavesFn>
    void keepUnless(LeavesFn leaves);
    uint64_t* Bits = nullptr;
    int64_t* Keys = nullptr;  // a key, or the bits of a value (ValueFlag in the place)
    uint32_t* Places = nullptr;
    uint32_t Count = 0;
    uint32_t Capacity = 0;
    bool Complete = false;
    CutS Unlisted;  // from sure, at least an H (never strict)
};

// The key of the last datum read whose line ends within its first 16
// bytes, and those bytes: a datum spelled alike has the same key, which
// need not be read again (a constant or clipped signal).
class SameSpellingC {
  public:
    bool holds(const char* read, int64_t& key) const {
        uint64_t low, high;
        std::memcpy(&low, read, sizeof low);
        std::memcpy(&high, read + 8, sizeof high);
        key = Key;
        return ((low ^ Low) | (high ^ High)) == 0 && Kept;
    }
    void forget() { Kept = false; }
    void keep(const char* read, int64_t key) {
        if (!readwindows::lineFeedWithin16(reinterpret_cast<const unsigned char*>(read))) return;
        std::memcpy(&Low, read, sizeof Low);
        std::memcpy(&High, read + 8, sizeof High);
        Key = key;
        Kept = true;
    }

  private:
    uint64_t Low = 0;
    uint64_t High = 0;
    int64_t Key = 0;
    bool Kept = false;
};

// One window's share of the validation pass, gathered as if no datum came
// before it: the data, the greatest datum (from the file's greatest when the
// window was handed out), the runs, the last datum, the marks (against the
// file's floor then, raised by the window itself when its list fills).
class FirstPassTallyC {
  public:
    enum RefusalE { None, Unreadable, OutOfRange };

    // A window's tally; its marks and list in the window's scratch.
    void start(const FirstPassRulesS& rules, const GreatestC& known, const CutS& floor,
               const readwindows::WindowS& window);
    // Takes the next datum; false, with Refusal, when it does not convert or
    // lies out of range (the window stops before it).
    bool take(const char* read) {
        int64_t key;
        if (Same.holds(read, key)) return takeKey(key, read);
        double value;
        const spelling::FormE form = spelling::readDatum(read, key, value);
        if (__builtin_expect(form == spelling::Keyed, 1)) {
            if (!takeKey(key, read)) return false;
            Same.keep(read, key);  // taken: within the limits
            return true;
        }
        return takeOther(form, value);
    }
    // The prefix classes of the data (readwindows::prefixOf): Low for those
    // surely within the limits, at or below the level, below the floor and
    // not above the greatest datum (nothing to note but their count); High
    // for those surely within the limits, above the level, at or above the
    // sure height and not above the greatest datum (marked, not listed).
    const uint8_t* prefixes() const { return Prefixes; }
    const readwindows::PrefixRangesS& prefixRanges() const { return Ranges; }
    // The class of a datum spelled as the last one read (its line ending
    // within 16 bytes), when it needs no more than its bits: not above the
    // greatest datum, not listed. ReadDatum otherwise.
    uint8_t repeatOf(const char* read) const {
        int64_t key;
        if (!Same.holds(read, key) || key > Greatest.key()) return readwindows::ReadDatum;
        const bool marked = key >= Floor.Key;
        if (marked && key < Rules->Sure.Key) return readwindows::ReadDatum;
        return readwindows::Told | (key >= Rules->Level.Key ? readwindows::AboveBit : 0) |
               (marked ? readwindows::MarkBit : 0);
    }
    // count data in a row told by their class or as repeats, a bit each in
    // aboves and in marks: a group's lines, in words of the group's size (a
    // 32-bit build shifts those in one register).
    __attribute__((always_inline)) void takeClassed(readwindows::MaskT aboves,
                                                    readwindows::MaskT marks, uint32_t count,
                                                    const char* last) {
        if (marks != 0) Marks.markSure(Data, marks);
        takeSides(aboves, count);
        LastKind = LastText;
        LastRead = last;
    }
    // The window's last datum (none when it took none).
    DatumS lastDatum() const;
    // The window's runs, closed: the longest of each side, the last run.
    RunsS runs() const;

    uint32_t Data;
    GreatestC Greatest;
    bool Rose;          // above the greatest datum it started from
    bool FirstAbove;    // the side of the first datum
    uint32_t FirstRun;  // the length of the first run once another began; 0 before
    CutS Floor;
    RefusalE Refusal;

  private:
    enum LastE { LastKey, LastMinusZero, LastValue, LastText };

    bool takeKey(int64_t key, const char* read) {
        if (__builtin_expect(key < Rules->Lowest.Key || key >= Rules->Highest.Key, 0)) {
            Refusal = OutOfRange;
            return false;
        }
        LastKind = key != 0 ? LastKey : minusZero(read);
        LastKeyed = key;
        if (__builtin_expect(key > Greatest.key(), 0)) riseTo(key);
        if (key >= Floor.Key) {
            if (key >= Rules->Sure.Key) {
                Marks.markSure(Data);
            } else {
                DatumS datum;
                datum.Key = key;
                markListed(datum);
            }
        }
        takeRuns(key >= Rules->Level.Key, 1);
        return true;
    }
    bool takeOther(spelling::FormE form, double value);
    // The last datum taken, of the key 0: spelled with a minus or not.
    static LastE minusZero(const char* read);
    void riseTo(int64_t key);
    void riseTo(double value);
    void risen();
    void markListed(const DatumS& datum);
    void raiseFloor();
    bool floorFollows() const;
    void setRaiseAt();
    void classify();
    // count data (1 to a group's bytes) in a row, their sides a bit each in
    // aboves: the first run joins the run before, the last stays open, and
    // the runs in between, each whole, only raise the longest of their side.
    __attribute__((always_inline)) void takeSides(readwindows::MaskT aboves, uint32_t count) {
        using readwindows::MaskT;
        const MaskT data = readwindows::lowBits(count);
        // Bit i set: datum i + 1 lies on the other side from datum i.
        const MaskT changes = (aboves ^ (aboves >> 1)) & (data >> 1);
        const bool firstAbove = aboves & 1;
        if (changes == 0) return takeRuns(firstAbove, count);
        const uint32_t firstLength = uint32_t(readwindows::lowestBit(changes)) + 1;
        const uint32_t lastStart = uint32_t(readwindows::highestBit(changes)) + 1;
        takeRuns(firstAbove, firstLength);
        // Runs between can only raise a longest shorter than their span.
        const uint32_t span = lastStart - firstLength;
        if (__builtin_expect(span > LongestAbove || span > LongestBelow, 0)) {
            const MaskT between = data & ~(data << lastStart) & (~MaskT{0} << firstLength);
            raiseLongest(LongestAbove, aboves & between);
            raiseLongest(LongestBelow, ~aboves & between);
        }
        FirstRun = FirstRun == 0 ? Data : FirstRun;
        Data += lastStart - firstLength;
        Above = !((aboves >> lastStart) & 1);
        takeRuns(!Above, count - lastStart);
    }
    // Raises longest to the longest run of set bits in runs when one is
    // longer: most calls find none, by a few shifts (of the machine's word).
    static void raiseLongest(uint32_t& longest, readwindows::MaskT runs) {
        if (longest >= readwindows::GroupBytes) return;
        readwindows::MaskT longer = runs;  // bit i set: runs holds bits i to i + have - 1
        uint32_t have = 1;
        for (; 2 * have <= longest + 1; have *= 2) longer &= longer >> have;
        if (have < longest + 1) longer &= longer >> (longest + 1 - have);
        if (longer != 0) longest = longestRun(runs);
    }
    __attribute__((noinline)) static uint32_t longestRun(readwindows::MaskT runs) {
        uint32_t length = 0;
        for (; runs != 0; ++length) runs &= runs >> 1;
        return length;
    }
    // count data in a row on one side. A run's longest is kept as it grows.
    void takeRuns(bool above, uint32_t count) {
        const bool change = above != Above;
        if (__builtin_expect(Data == 0, 0)) FirstAbove = above;
        FirstRun = FirstRun == 0 && change && Data != 0 ? Data : FirstRun;
        Run = change ? count : Run + count;
        Above = above;
        uint32_t& longest = above ? LongestAbove : LongestBelow;
        longest = Run > longest ? Run : longest;
        Data += count;
    }
    const FirstPassRulesS* Rules;
    uint32_t LongestAbove;
    uint32_t LongestBelow;
    uint32_t Run;
    bool Above;
    LastE LastKind;  // which of these holds the last datum:
    int64_t LastKeyed;
    double LastValued;
    const char* LastRead;  // its text, when its prefix class told
    int64_t ClassifyAt;    // the greatest key from which the classes change
    SameSpellingC Same;
    uint8_t Prefixes[readwindows::PrefixCount];
    readwindows::PrefixRangesS Ranges;  // of Prefixes
    int64_t RaiseAt;                    // the greatest key from which the floor rises

  public:
    // Last: ahead of the fields above, its size placed them where the
    // Windows build's code for a datum read took a fifth longer (data in
    // many spellings under Wine, 0.195 s against 0.245 s).
    MarksC Marks;  // places from 0, the window's first datum
};

// The validation pass's statistics of the data so far, and its marks.
struct FirstPassDataS {
    explicit FirstPassDataS(MarksC* marks) : Marks(marks) {}

    DatumS Last;  // the last datum
    bool AnyData = false;
    GreatestC Greatest;
    RunsS Runs;
    uint32_t Data = 0;  // taken so far
    MarksC* Marks;      // of the file (none: not kept)
    CutS Floor;         // the height of the greatest datum when the floor last rose

    // The window's data after those so far.
    void fold(const FirstPassTallyC& tally, const FirstPassRulesS& rules);
    // Raises the floor to the height of the greatest datum so far.
    void raiseFloor(const FirstPassRulesS& rules);

  private:
    void foldMarks(const FirstPassTallyC& tally, const FirstPassRulesS& rules);
    int64_t RaiseAt = 0;  // the greatest key from which the floor is raised again
};

// The count's rules for a datum: high when it reaches H, most told by
// their prefix class (readwindows::prefixOf).
struct CountRulesS {
    explicit CountRulesS(double height);
    // Whether the datum is high; false when it does not convert.
    bool judge(const char* read, bool& high) const {
        DatumS datum;
        switch (spelling::readDatum(read, datum.Key, datum.Value)) {
            case spelling::Keyed:
                high = datum.Key >= H.Key;
                return true;
            case spelling::Valued:
                high = datum.Value >= H.Value;
                return true;
            default:
                return false;
        }
    }

    CutS H;
    uint8_t Prefixes[readwindows::PrefixCount];
    readwindows::PrefixRangesS Ranges;  // of Prefixes
};

// One window's share of the count: a bit per datum, set for a high one.
class CountTallyC {
  public:
    CountTallyC(const CountRulesS& rules, const readwindows::WindowS& window);
    // Takes the next datum; false when it does not convert.
    bool take(const char* read) {
        bool high;
        if (!Rules.judge(read, high)) return false;
        takeClassed(high, high, 1, read);
        return true;
    }
    const uint8_t* prefixes() const { return Rules.Prefixes; }
    const readwindows::PrefixRangesS& prefixRanges() const { return Rules.Ranges; }
    uint8_t repeatOf(const char*) const { return readwindows::ReadDatum; }
    // count data in a row told by their class, a bit each in highs (set:
    // high).
    void takeClassed(uint64_t highs, uint64_t, uint32_t count, const char*) {
        const uint32_t shift = Data & 63;
        Bits[Data >> 6] |= highs << shift;
        if (shift != 0) Bits[(Data >> 6) + 1] |= highs >> (64 - shift);
        Data += count;
    }

    uint32_t Data;

  private:
    const CountRulesS& Rules;
    uint64_t* Bits;
};
