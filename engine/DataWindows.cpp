#include "engine/DataWindows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/ExtendedPrecision.h"

double DatumS::value() const {
    if (!Keyed) return Value;
    return NegativeZero ? -0.0 : spelling::keyValue(Key);
}

double GreatestC::value() const {
    if (!ValueKnown) {
        Value = spelling::keyValue(Key);
        ValueKnown = true;
    }
    return Value;
}

// The keys at or below cutAbove(value) - 1 have values not above value.
void GreatestC::takeValue(double value) {
    Key = spelling::cutAbove(value) - 1;
    Value = value;
    ValueKnown = true;
}

FirstPassRulesS::FirstPassRulesS(double level, double lowest, double highest, double height)
    : Level(CutS::above(level)),
      Lowest(CutS::atLeast(lowest)),
      Highest(CutS::above(highest)),
      Height(height),
      Sure(CutS::atLeast(heightOf(highest))) {}

double spikeHeight(double greatest, double height) {
    ExtendedPrecisionC extended;
    return static_cast<double>(greatest * static_cast<long double>(height) * 0.01L);
}

void MarksC::start(uint64_t* bits, uint64_t* list, std::size_t listWords, const CutS& unlisted) {
    Bits = bits;
    Unlisted = unlisted;
    Capacity = static_cast<uint32_t>(listWords * 8 / (sizeof *Keys + sizeof *Places));
    Keys = reinterpret_cast<int64_t*>(list);
    Places = reinterpret_cast<uint32_t*>(Keys + Capacity);
    Count = 0;
    Complete = true;
}

DatumS MarksC::datum(uint32_t i) const {
    DatumS datum;
    if ((Places[i] & ValueFlag) == 0) {
        datum.Key = Keys[i];
        return datum;
    }
    datum.Keyed = false;
    std::memcpy(&datum.Value, &Keys[i], sizeof datum.Value);
    return datum;
}

template <typename LeavesFn>
void MarksC::keepUnless(LeavesFn leaves) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < Count; ++i) {
        if (leaves(i)) continue;
        Keys[kept] = Keys[i];
        Places[kept] = Places[i];
        ++kept;
    }
    Count = kept;
}

void MarksC::dropBelow(const CutS& floor) {
    keepUnless([this, &floor](uint32_t i) {
        if (datum(i).reaches(floor)) return false;
        clearMark(place(i));
        return true;
    });
}

bool MarksC::mark(uint32_t place, const DatumS& datum) {
    Bits[place >> 6] |= uint64_t{1} << (place & 63);
    if (datum.reaches(Unlisted)) return true;
    if (Count == Capacity) {
        Complete = false;
        return false;
    }
    if (datum.Keyed) {
        Keys[Count] = datum.Key;
        Places[Count] = place;
    } else {
        std::memcpy(&Keys[Count], &datum.Value, sizeof datum.Value);
        Places[Count] = place | ValueFlag;
    }
    ++Count;
    return true;
}

void MarksC::listFewer() {
    if (Count == 0) return;
    const uint32_t most = 63;  // data sampled
    double sample[most];
    const uint32_t taken = Count < most ? Count : most;
    for (uint32_t i = 0; i < taken; ++i) sample[i] = datum(i * (Count / taken)).value();
    std::nth_element(sample, sample + taken / 2, sample + taken);
    // The middle datum reaches the cut its value gives: one entry at least
    // leaves the list. A sample far from the list's middle (data laid out
    // against it) frees little: rather than sweep the list again and again,
    // the marks give up, and the count reads the data again.
    const uint32_t before = Count;
    lowerUnlisted(CutS::atLeast(sample[taken / 2]));
    if (Count > before - before / 4) giveUp();
}

void MarksC::lowerUnlisted(const CutS& cut) {
    if (cut.Value >= Unlisted.Value) return;
    Unlisted = cut;
    keepUnless([this, &cut](uint32_t i) { return datum(i).reaches(cut); });
}

void FirstPassTallyC::start(const FirstPassRulesS& rules, const GreatestC& known, const CutS& floor,
                            const readwindows::WindowS& window) {
    Rules = &rules;
    Data = 0;
    Greatest = known;
    Rose = false;
    FirstAbove = false;
    FirstRun = 0;
    Floor = floor;
    Refusal = None;
    LongestAbove = 0;
    LongestBelow = 0;
    Run = 0;
    Above = false;
    LastKind = LastKey;
    LastKeyed = 0;
    LastValued = 0.0;
    LastRead = nullptr;
    Same.forget();
    // A bit per datum, a datum taking a byte at least; the list after them.
    const std::size_t bitWords = (window.Cut - window.From) / 64 + 2;
    std::memset(window.Scratch, 0, bitWords * sizeof *window.Scratch);
    Marks.start(window.Scratch, window.Scratch + bitWords, window.ScratchWords - bitWords,
                rules.Sure);
    classify();
    // A window that starts a file (no datum above 0 known) lets its floor
    // follow its data; the next windows start from the file's.
    RaiseAt = Greatest.key() > 0 ? spelling::KeyLimit : 1;
}

FirstPassTallyC::LastE FirstPassTallyC::minusZero(const char* read) {
    while (*read == ' ' || *read == '\t' || *read == '\v' || *read == '\f' || *read == '\r') ++read;
    return *read == '-' ? LastMinusZero : LastKey;
}

DatumS FirstPassTallyC::lastDatum() const {
    DatumS datum;
    datum.Key = LastKeyed;
    switch (LastKind) {
        case LastMinusZero:
            datum.NegativeZero = true;
            break;
        case LastValue:
            datum.Keyed = false;
            datum.Value = LastValued;
            break;
        case LastText:
            if (spelling::readDatum(LastRead, datum.Key, datum.Value) != spelling::Keyed) {
                datum.Keyed = false;
            } else if (datum.Key == 0) {
                datum.NegativeZero = minusZero(LastRead) == LastMinusZero;
            }
            break;
        default:
            break;
    }
    return datum;
}

RunsS FirstPassTallyC::runs() const {
    RunsS runs;
    runs.LongestAbove = LongestAbove;
    runs.LongestBelow = LongestBelow;
    runs.Run = Run;
    runs.Above = Above;
    return runs;
}

// A datum without a key (or none at all), by the same rules as a keyed one.
bool FirstPassTallyC::takeOther(spelling::FormE form, double value) {
    if (form == spelling::NotANumber) {
        Refusal = Unreadable;
        return false;
    }
    if (!Rules->Lowest.reachedBy(value) || Rules->Highest.reachedBy(value)) {
        Refusal = OutOfRange;
        return false;
    }
    LastKind = LastValue;
    LastValued = value;
    if (value > Greatest.value()) riseTo(value);
    if (Floor.reachedBy(value)) {
        DatumS datum;
        datum.Keyed = false;
        datum.Value = value;
        markListed(datum);
    }
    takeRuns(Rules->Level.reachedBy(value), 1);
    return true;
}

void FirstPassTallyC::riseTo(int64_t key) {
    Greatest.takeKey(key);
    risen();
}

void FirstPassTallyC::riseTo(double value) {
    Greatest.takeValue(value);
    risen();
}

// After the greatest datum rose: the floor follows it, or the classes that
// waited for it change.
void FirstPassTallyC::risen() {
    Rose = true;
    const int64_t key = Greatest.key();
    if (key >= RaiseAt && floorFollows()) {
        raiseFloor();
    } else if (key >= ClassifyAt) {
        classify();
    }
}

// In a file's first window (and in any other once its full list raised the
// floor) the floor follows the greatest datum once it has grown by half,
// while the marks are kept: the classes then tell the data below its height
// (a file's first window starts with the floor at 0), and the list is swept
// a few times at most.
bool FirstPassTallyC::floorFollows() const {
    return Marks.listed() && Floor.Key != spelling::KeyLimit;
}

void FirstPassTallyC::setRaiseAt() {
    const int64_t key = Greatest.key();
    RaiseAt = key > 0 ? key + key / 2 + 1 : 1;
}

// A datum at or above the floor and, unless it reaches Unlisted, listed; a
// full list first drops what lies below the height of the window's own
// greatest datum, then lists fewer.
void FirstPassTallyC::markListed(const DatumS& datum) {
    if (!Marks.listed()) return;
    if (Marks.full() && !datum.reaches(Marks.unlisted())) {
        raiseFloor();
        if (Marks.full()) Marks.listFewer();
        if (!Marks.listed()) return;
    }
    if (!datum.reaches(Floor)) return;
    if (!Marks.mark(Data, datum)) Floor = CutS::none();
}

void FirstPassTallyC::raiseFloor() {
    Floor = CutS::atMost(Rules->heightOf(Greatest.value()));
    Marks.dropBelow(Floor);
    classify();
    setRaiseAt();
}

// The prefix classes against the limits, the level, the floor, the sure
// height and the greatest datum, by the least and the most key of each
// prefix: a prefix is told when its keys lie within the limits and its most
// is not above the greatest datum; Low when its most lies below the floor
// and the level, High when its least reaches the floor, the sure height and
// the level. Each bound cuts the prefixes once (their keys grow with them),
// so the classes are three ranges, found without a look at each prefix.
// The greatest datum only grows: a class that waits for it to reach a
// prefix's most changes once it does (ClassifyAt).
void FirstPassTallyC::classify() {
    using namespace readwindows;
    const unsigned reached = prefixesUpTo(Greatest.key());
    const unsigned toldFrom = firstPrefixFrom(Rules->Lowest.Key);
    const unsigned toldTo = std::min(prefixesBelow(Rules->Highest.Key), reached);
    const unsigned lowTo =
        std::min({toldTo, prefixesBelow(Floor.Key), prefixesBelow(Rules->Level.Key)});
    const unsigned highFrom =
        std::max({toldFrom, firstPrefixFrom(Floor.Key), firstPrefixFrom(Rules->Sure.Key),
                  firstPrefixFrom(Rules->Level.Key)});
    std::memset(Prefixes, ReadDatum, NegativePrefix);
    if (toldFrom < lowTo) std::memset(Prefixes + toldFrom, Low, lowTo - toldFrom);
    if (highFrom < toldTo) std::memset(Prefixes + highFrom, High, toldTo - highFrom);
    ClassifyAt = reached < NegativePrefix ? prefixMost(reached) : spelling::KeyLimit;
    // Negative data lie in (-1, 0], their doubles in [-1, 0]: below the
    // level, not above the greatest.
    const bool lowNegatives =
        -spelling::KeyScale >= Rules->Lowest.Key && 0 < Floor.Key && 0 < Rules->Level.Key;
    Prefixes[NegativePrefix] = lowNegatives ? Low : ReadDatum;
    Prefixes[NoPrefix] = ReadDatum;
    Ranges.LowBelow = uint8_t(toldFrom == 0 && lowTo > 0 ? lowTo : 0);
    Ranges.HighFrom = uint8_t(highFrom < toldTo ? highFrom : NegativePrefix);
    Ranges.HighTo = uint8_t(highFrom < toldTo ? toldTo : NegativePrefix);
    Ranges.NegativeLow = lowNegatives;
    Ranges.Quiet = readwindows::quietRanges(Ranges);
}

// The greatest datum, the runs and the marks join as the sequential pass
// would have built them.
void FirstPassDataS::fold(const FirstPassTallyC& tally, const FirstPassRulesS& rules) {
    if (tally.Data == 0) return;
    Last = tally.lastDatum();
    AnyData = true;
    if (tally.Rose && tally.Greatest.value() > Greatest.value()) {
        Greatest = tally.Greatest;
        if (Greatest.key() >= RaiseAt) raiseFloor(rules);
    }
    foldMarks(tally, rules);
    Data += tally.Data;
    if (tally.FirstRun == 0) {
        Runs.takeRun(tally.FirstAbove, tally.Data);
        return;
    }
    Runs.takeRun(tally.FirstAbove, tally.FirstRun);
    Runs.end();
    const RunsS windowRuns = tally.runs();
    if (windowRuns.LongestAbove > Runs.LongestAbove) Runs.LongestAbove = windowRuns.LongestAbove;
    if (windowRuns.LongestBelow > Runs.LongestBelow) Runs.LongestBelow = windowRuns.LongestBelow;
    Runs.Run = windowRuns.Run;
    Runs.Above = windowRuns.Above;
}

// The floor rises to the height of the greatest datum so far, and again
// only once that has grown by a 256th: each rise sweeps the list. Once it
// rises above Unlisted, so will H: the marks cannot tell the high data.
void FirstPassDataS::raiseFloor(const FirstPassRulesS& rules) {
    Floor = CutS::atMost(rules.heightOf(Greatest.value()));
    const int64_t key = Greatest.key();
    RaiseAt = key > 0 ? key + key / 256 + 1 : 1;
    if (Marks == nullptr) return;
    if (Floor.Value > Marks->unlisted().Value) {
        Marks->giveUp();
        return;
    }
    Marks->dropBelow(Floor);
}

// The window's marks after the data so far, its listed data that reach the
// file's floor into the file's list (unlisted as the window's are, or
// less); a full list first drops what lies below the height of the
// greatest datum so far, then lists fewer.
void FirstPassDataS::foldMarks(const FirstPassTallyC& tally, const FirstPassRulesS& rules) {
    if (Marks == nullptr || !Marks->listed()) return;
    if (!tally.Marks.listed()) {
        Marks->giveUp();
        return;
    }
    Marks->lowerUnlisted(tally.Marks.unlisted());
    uint64_t* bits = Marks->bits();
    const uint64_t* window = tally.Marks.bits();
    const uint32_t shift = Data & 63;
    uint64_t* to = bits + Data / 64;
    const uint32_t words = (tally.Data + 63) / 64;
    for (uint32_t i = 0; i < words; ++i) {
        to[i] |= window[i] << shift;
        to[i + 1] = shift != 0 ? window[i] >> (64 - shift) : 0;
    }
    for (uint32_t i = 0; i < tally.Marks.count(); ++i) {
        const DatumS datum = tally.Marks.datum(i);
        const uint32_t place = Data + tally.Marks.place(i);
        if (!datum.reaches(Floor)) {
            Marks->clearMark(place);
            continue;
        }
        if (Marks->full()) {
            raiseFloor(rules);
            if (Marks->full()) Marks->listFewer();
            if (!Marks->listed()) return;
        }
        if (!datum.reaches(Floor)) {
            Marks->clearMark(place);
        } else if (!Marks->mark(place, datum)) {
            return;
        }
    }
}

CountRulesS::CountRulesS(double height) : H(CutS::atLeast(height)) {
    using namespace readwindows;
    for (unsigned prefix = 0; prefix < NegativePrefix; ++prefix) {
        Prefixes[prefix] = prefixMost(prefix) < H.Key     ? Low
                           : prefixLeast(prefix) >= H.Key ? High
                                                          : ReadDatum;
    }
    Prefixes[NegativePrefix] = 0 < H.Key ? Low : ReadDatum;  // data in (-1, 0]
    Prefixes[NoPrefix] = ReadDatum;
    Ranges = readwindows::prefixRanges(Prefixes);
}

// The window's bits start clear: a read takes one byte at least.
CountTallyC::CountTallyC(const CountRulesS& rules, const readwindows::WindowS& window)
    : Data(0), Rules(rules), Bits(window.Scratch) {
    std::memset(Bits, 0, ((window.Cut - window.From) / 64 + 2) * sizeof *Bits);
}
