#include "engine/DataWindows.h"

#include <cmath>
#include <cstring>

void CandidatesS::start(uint64_t* memory, std::size_t words) {
    Count = 0;
    Capacity = static_cast<uint32_t>(words * 8 / (sizeof *Values + sizeof *Places));
    Complete = true;
    Values = reinterpret_cast<double*>(memory);
    Places = reinterpret_cast<uint32_t*>(Values + Capacity);
}

void CandidatesS::dropBelow(double floor) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < Count; ++i) {
        if (Values[i] < floor) continue;
        Values[kept] = Values[i];
        Places[kept] = Places[i];
        ++kept;
    }
    Count = kept;
}

FirstPassRulesS::FirstPassRulesS(double level, double lowest, double highest, double height)
    : Level(level),
      Lowest(lowest),
      Highest(highest),
      HeightFraction(height / 100),
      NegativesJudged(lowest <= -1.0),
      TenthsJudged(highest >= 0.1 && level >= 0.1),
      Bounds{{DecimalBoundS(level), DecimalBoundS(lowest), DecimalBoundS(highest)},
             {DecimalBoundS(-level), DecimalBoundS(-lowest), DecimalBoundS(-highest)}} {}

void FirstPassTallyC::start(const FirstPassRulesS& rules, double known,
                            const readwindows::WindowS& window) {
    Data = 0;
    Runs = RunsS();
    FirstAbove = false;
    FirstRun = 0;
    Last = KeptDatumS();
    LastNotTenth = KeptDatumS();
    Candidates.start(window.Scratch, window.ScratchWords);
    Rules = &rules;
    newMax(known);
}

// A fixed-point datum that is converted: judged from its digits when they
// tell that it lies within the limits, below the greatest datum so far and
// on one side of the level. False when they do not (takeOther converts it).
bool FirstPassTallyC::takeFixed(const char* read, const FileReadC::FixedS& spelling) {
    const uint32_t nanos = FileReadC::fixedNanos(read, spelling);
    const int sign = spelling.Negative ? -1 : 1;
    const bool tenth = !spelling.Negative && spelling.Tenth && Rules->TenthsJudged;
    const bool judged = (spelling.Negative && Rules->NegativesJudged) || (tenth && TenthsJudged);
    const int toFloor = sign * FloorBound[spelling.Negative].order(nanos, 9);
    if (toFloor == 0) return false;
    const FirstPassRulesS::BoundsS& bounds = Rules->Bounds[spelling.Negative];
    const int level = sign * bounds.Level.order(nanos, 9);
    const bool known = sign * bounds.Lowest.order(nanos, 9) > 0 &&
                       sign * bounds.Highest.order(nanos, 9) < 0 &&
                       (spelling.Negative || MaxBound.order(nanos, 9) < 0) && level != 0;
    if (!judged && !known) return false;
    if (toFloor > 0) keepCandidate(FileReadC::shortValue(spelling.Negative, nanos, 9));
    Last.keepFixed(!judged, spelling.Negative, nanos);
    LastNotTenth.keepFixed(!judged && !tenth, spelling.Negative, nanos);
    takeRun(!judged && level > 0);
    return true;
}

void FirstPassTallyC::newMax(double value) {
    Max = value;
    MaxBound.set(value);
    TenthsJudged = Rules->TenthsJudged && Max >= 0.1;
    Floor = heightFloor(Max, Rules->HeightFraction);
    FloorBound[0].set(Floor);
    FloorBound[1].set(-Floor);
    Quiet = {Rules->NegativesJudged && Floor > 0.0, TenthsJudged ? tenthsBelow(Floor) : 0u};
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

// Any datum, by the sequential loop's rules (ValidateC::firstPass), with
// this window's greatest datum for the file's.
bool FirstPassTallyC::takeOther(const char* read) {
    const FileReadC::SmallSpelling small = FileReadC::smallSpelling(read);
    const bool tenth = small == FileReadC::SmallTenth && Rules->TenthsJudged;
    const bool judged =
        (small == FileReadC::SmallNegative && Rules->NegativesJudged) || (tenth && Max >= 0.1);
    double value;
    bool above = false;
    if (!judged) {
        if (!FileReadC::toDatum(read, value)) return false;
        if (value < Rules->Lowest || value > Rules->Highest) return false;
        Last.keepValue(value);
        if (!tenth) LastNotTenth.keepValue(value);
        if (value > Max) newMax(value);
        above = value > Rules->Level;
        keepCandidate(value);
    } else if (FileReadC::toDatum(read, value)) {  // judged, and yet it may reach H
        keepCandidate(value);
    }
    takeRun(above);
    return true;
}

// The greatest datum and the runs join as the sequential loop would have
// built them; the last datum is the window's last converted as the file's
// greatest datum so far has it judge data below 0.1.
void FirstPassDataS::fold(const FirstPassTallyC& tally, const FirstPassRulesS& rules) {
    if (tally.Data == 0) return;
    const KeptDatumS& last =
        rules.TenthsJudged && MaxValue >= 0.1 ? tally.LastNotTenth : tally.Last;
    if (last.Kind != KeptDatumS::None) Value = last.value();
    if (tally.Max > MaxValue) MaxValue = tally.Max;
    foldCandidates(tally.Candidates, heightFloor(MaxValue, rules.HeightFraction));
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

// The window's candidates that reach the file's floor, placed after the
// data so far.
void FirstPassDataS::foldCandidates(const CandidatesS& window, double floor) {
    if (!window.Complete) Candidates->Complete = false;
    for (uint32_t i = 0; i < window.Count && Candidates->Complete; ++i) {
        if (window.Values[i] >= floor)
            Candidates->keep(Data + window.Places[i] + 1, window.Values[i], floor);
    }
}

CountRulesS::CountRulesS(double height)
    : H(height),
      NegativesLow(height > 0.0),
      TenthsLow(height > 0.1),
      High{DecimalBoundS(height), DecimalBoundS(-height)} {}

// Any datum, by the sequential loop's rules (CountC::countData); a
// fixed-point one first from its digits.
bool CountRulesS::judge(const char* read, bool& high) const {
    const FileReadC::FixedS spelling = FileReadC::fixedPoint(read);
    if (spelling.Fixed) {
        const uint32_t nanos = FileReadC::fixedNanos(read, spelling);
        const int order = (spelling.Negative ? -1 : 1) * High[spelling.Negative].order(nanos, 9);
        high = order > 0;
        if (order != 0) return true;
    }
    const FileReadC::SmallSpelling small = FileReadC::smallSpelling(read);
    if ((small == FileReadC::SmallNegative && NegativesLow) ||
        (small == FileReadC::SmallTenth && TenthsLow)) {
        high = false;
        return true;
    }
    double value;
    if (!FileReadC::toDatum(read, value)) return false;
    high = value >= H;
    return true;
}

// The window's bits start clear: a read takes one byte at least.
CountTallyC::CountTallyC(const CountRulesS& rules, const readwindows::WindowS& window)
    : Data(0), Rules(rules), Bits(window.Scratch) {
    std::memset(Bits, 0, ((window.Cut - window.From) / 64 + 1) * sizeof *Bits);
}
