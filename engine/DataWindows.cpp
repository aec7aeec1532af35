#include "engine/DataWindows.h"

#include <cmath>
#include <cstring>

#include "engine/ExtendedPrecision.h"

double DatumS::value() const {
    if (!Keyed) return Value;
    return NegativeZero ? -0.0 : datum::valueOf(Key);
}

double GreatestC::value() const {
    if (!ValueKnown) {
        Value = datum::valueOf(Key);
        ValueKnown = true;
    }
    return Value;
}

// The keys at or below cutAbove(value) - 1 have values not above value.
void GreatestC::takeValue(double value) {
    Key = datum::cutAbove(value) - 1;
    Value = value;
    ValueKnown = true;
}

FirstPassRulesS::FirstPassRulesS(double level, double lowest, double highest, double height)
    : Level(CutS::above(level)),
      Lowest(CutS::atLeast(lowest)),
      Highest(CutS::above(highest)),
      Height(height),
      Sure(CutS::atLeast(heightOf(highest))),
      Tenth(CutS::atLeast(0.1)),
      NegativesJudged(lowest <= -1.0),
      TenthsJudged(highest >= 0.1 && level >= 0.1) {}

double spikeHeight(double greatest, double height) {
    ExtendedPrecisionC extended;
    return static_cast<double>(greatest * static_cast<long double>(height) * 0.01L);
}

void MarksC::start(uint64_t* bits, uint64_t* list, std::size_t listWords) {
    Bits = bits;
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

void MarksC::dropBelow(const CutS& floor) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < Count; ++i) {
        if (!datum(i).reaches(floor)) {
            clearMark(place(i));
            continue;
        }
        Keys[kept] = Keys[i];
        Places[kept] = Places[i];
        ++kept;
    }
    Count = kept;
}

bool MarksC::mark(uint32_t place, const DatumS& datum, const CutS& sure) {
    Bits[place >> 6] |= uint64_t{1} << (place & 63);
    if (datum.reaches(sure)) return true;
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

void FirstPassTallyC::start(const FirstPassRulesS& rules, const GreatestC& known,
                            const CutS& floor, const readwindows::WindowS& window) {
    Rules = &rules;
    Data = 0;
    Greatest = known;
    Rose = false;
    Runs = RunsS();
    FirstAbove = false;
    FirstRun = 0;
    Floor = floor;
    Refusal = None;
    Last = DatumS();
    LastText = nullptr;
    // A bit per datum, a datum taking a byte at least; the list after them.
    const std::size_t bitWords = (window.Cut - window.From) / 64 + 2;
    std::memset(window.Scratch, 0, bitWords * sizeof *window.Scratch);
    Marks.start(window.Scratch, window.Scratch + bitWords, window.ScratchWords - bitWords);
    judge();
}

DatumS FirstPassTallyC::lastDatum() const {
    if (LastText == nullptr) return Last;
    DatumS datum;
    if (datum::read(LastText, datum.Key, datum.Value) != datum::Keyed) {
        datum.Keyed = false;
    } else {
        datum.NegativeZero = datum.Key == 0 && LastText[0] == '-';
    }
    return datum;
}

// A datum without a key, by the same rules as a keyed one.
bool FirstPassTallyC::takeDatum(const DatumS& datum) {
    if (!Rules->Lowest.reachedBy(datum.Value) || Rules->Highest.reachedBy(datum.Value)) {
        Refusal = OutOfRange;
        return false;
    }
    LastText = nullptr;
    Last = datum;
    if (Greatest.lessThan(datum)) riseTo(datum);
    if (datum.reaches(Floor)) markLast();
    takeRun(Rules->Level.reachedBy(datum.Value));
    return true;
}

void FirstPassTallyC::riseTo(const DatumS& datum) {
    Greatest.take(datum);
    Rose = true;
    judge();
}

// The last datum taken is marked; a full list first drops what lies below
// the height of the window's own greatest datum, then gives up.
void FirstPassTallyC::markLast() {
    if (!Marks.listed()) return;
    if (Marks.full() && !Last.reaches(Rules->Sure)) raiseFloor();
    if (!Last.reaches(Floor)) return;
    if (!Marks.mark(Data, Last, Rules->Sure)) Floor = CutS::none();
}

void FirstPassTallyC::raiseFloor() {
    Floor = CutS::atLeast(Rules->heightOf(Greatest.value()));
    Marks.dropBelow(Floor);
    judge();
}

// Which spellings the tally judges without reading them: data in (-1, 0]
// when the floor lies above 0 (such data are then below it, the level and
// the greatest datum, and within the limits when the lowest is -1 or less);
// data spelled "0.0" once the greatest datum reaches 0.1, those whose next
// character shows them below the floor.
void FirstPassTallyC::judge() {
    const bool tenths = Rules->TenthsJudged && Greatest.reaches(Rules->Tenth);
    Quiet = {Rules->NegativesJudged && Floor.Value > 0.0, tenths ? tenthsBelow(Floor.Value) : 0u};
}

// Which data spelled "0.0" surely lie below floor, by their next character
// (readwindows::JudgedS): all of them once floor passes 0.1; else those
// whose hundredths digit lies two below floor's (a value below 0.01 less
// than floor), or that end there (0). A digit above floor's
// makes their value be needed.
unsigned FirstPassTallyC::tenthsBelow(double floor) {
    if (floor > 0.1) return 256;
    if (!(floor > 0.0)) return 0;
    const int hundredths = static_cast<int>(floor * 100);
    return '0' + (hundredths > 1 ? hundredths - 1 : 0);
}

// A datum on the other side than the run before it. The local runs start
// below, as the file's do; a first datum above starts the first run.
void FirstPassTallyC::newRun(bool above) {
    if (Data == 0) {
        FirstAbove = above;
    } else if (FirstRun == 0) {
        FirstRun = Data;
    }
    Runs.end();
    Runs.Run = 0;
    Runs.Above = above;
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
    if (tally.Runs.LongestAbove > Runs.LongestAbove) Runs.LongestAbove = tally.Runs.LongestAbove;
    if (tally.Runs.LongestBelow > Runs.LongestBelow) Runs.LongestBelow = tally.Runs.LongestBelow;
    Runs.Run = tally.Runs.Run;
    Runs.Above = tally.Runs.Above;
}

// The floor rises to the height of the greatest datum so far, and again
// only once that has grown by a 256th: each rise sweeps the list.
void FirstPassDataS::raiseFloor(const FirstPassRulesS& rules) {
    Floor = CutS::atLeast(rules.heightOf(Greatest.value()));
    const int64_t key = Greatest.key();
    RaiseAt = key > 0 ? key + key / 256 + 1 : 1;
    if (Marks != nullptr) Marks->dropBelow(Floor);
}

// The window's marks after the data so far, its listed data that reach the
// file's floor into the file's list; a full list first drops what lies
// below the height of the greatest datum so far, then gives up.
void FirstPassDataS::foldMarks(const FirstPassTallyC& tally, const FirstPassRulesS& rules) {
    if (Marks == nullptr || !Marks->listed()) return;
    if (!tally.Marks.listed()) {
        Marks->giveUp();
        return;
    }
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
        if (Marks->full()) raiseFloor(rules);
        if (!datum.reaches(Floor)) {
            Marks->clearMark(place);
        } else if (!Marks->mark(place, datum, rules.Sure)) {
            return;
        }
    }
}

CountRulesS::CountRulesS(double height)
    : H(CutS::atLeast(height)), NegativesLow(height > 0.0), TenthsLow(height > 0.1) {}

// The window's bits start clear: a read takes one byte at least.
CountTallyC::CountTallyC(const CountRulesS& rules, const readwindows::WindowS& window)
    : Data(0), Rules(rules), Bits(window.Scratch) {
    std::memset(Bits, 0, ((window.Cut - window.From) / 64 + 1) * sizeof *Bits);
}
