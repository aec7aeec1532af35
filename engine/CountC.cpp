#include "engine/CountC.h"

#include <cstdio>
#include <new>

#include "engine/DataWindows.h"
#include "engine/ExtendedPrecision.h"

#include "startup/ErrHandleC.h"

namespace {
const int BadDatumStatus = -1000;
const int QuitDuringCount = 1;
}  // namespace

CountC::CountC(GoodBadListC& params, QuitterS& quitter)
    : InSpike(false),
      DatumIx(1),
      RegionStart(DataStartLine),
      GlitchRun(0),
      Spikes(0),
      W(0),
      G(0),
      Datum(0.0),
      H(0.0),
      Duration(0.0),
      Rate(0.0),
      ResultStr{},
      Params(params),
      State(params.FileState),
      Quitter(quitter),
      CountFromCandidates(false),
      FirstPassData(0),
      DotCountdown(DotPollData),
      CandidateMemory(nullptr),
      CandidateWords(0) {
    setCandidateRoom(CandidateRoom);
}

CountC::~CountC() {
    delete[] CandidateMemory;
}

void CountC::setCandidateRoom(uint32_t candidates) {
    delete[] CandidateMemory;
    CandidateMemory = nullptr;
    const std::size_t bytes = std::size_t{candidates} * (sizeof(double) + sizeof(uint32_t));
    CandidateWords = static_cast<uint32_t>((bytes + 7) / 8);
}

// An empty list of candidates, complete so far; false (and not complete)
// when its memory cannot be had.
bool CountC::startCandidates() {
    if (CandidateMemory == nullptr && CandidateWords > 0)
        CandidateMemory = new (std::nothrow) uint64_t[CandidateWords];
    if (CandidateMemory == nullptr) {
        Candidates = CandidatesS();
        return false;
    }
    Candidates.start(CandidateMemory, CandidateWords);
    return true;
}

// A spike opens at a high datum once W data have passed since RegionStart and
// closes at the G-th low datum in a row; it is counted when it closes, if its
// close lies W or more past RegionStart. The differences are 32-bit unsigned:
// below RegionStart they wrap and so pass the width test.
void CountC::takeHigh() {
    if (InSpike) {
        GlitchRun = 0;
    } else if (DatumIx - RegionStart >= W) {
        InSpike = true;
        GlitchRun = 0;
    }
}

void CountC::takeLow() {
    if (InSpike && ++GlitchRun >= G) {
        InSpike = false;
        if (DatumIx - RegionStart >= W) ++Spikes;
        RegionStart = DatumIx - G;
    }
}

int CountC::CountFile(OutputC* win) {
    InSpike = false;
    DatumIx = 1;
    RegionStart = DataStartLine;
    Spikes = 0;
    GlitchRun = 0;
    H = State.HeightH;
    W = State.WidthW;
    G = State.GlitchG;
    // The data need not be read again when the validation pass kept those
    // that may be high.
    if (CountFromCandidates) {
        CountFromCandidates = false;
        Status = 0;
        if (countCandidates() != QuitDuringCount) writeResult(win);
        return 0;
    }
    CountFromCandidates = false;
    int sought = seekLine(RegionStart);
    if (sought < 0) {
        ErrHandle.report(sought,
                         "Tallywave CountC::CountFile() error:\nFile=[%s].\n"
                         "Can't seekLine(%u) to start spike count.",
                         FName, static_cast<unsigned>(DataStartLine));
        return -2;
    }
    Status = 0;
    // Kept here rather than in the process-wide Status, which the other
    // thread of graphic mode may set at any time.
    const int counted = countData();
    if (counted == QuitDuringCount) return 0;
    if (counted == BadDatumStatus) {
        Status = BadDatumStatus;
        ErrHandle.report(BadDatumStatus,
                         "Tallywave ValidateC::CountFile():\nFname=[%s].\n"
                         "Convert float value FAILED.\nBad datum at line %d=[%s].",
                         FName, static_cast<int>(LineNo), Line);
        return -3;
    }
    if (counted < 0) {
        Status = counted;
        ErrHandle.report(counted,
                         "Tallywave CountC::CountFile() error:\nFile=[%s].\n"
                         "Spike count failed at file line=%u.",
                         FName, DatumIx + 5);
        return -4;
    }
    writeResult(win);
    return 0;
}

namespace {

// The position of the first set bit at or after from, or count when none
// lies before count.
uint32_t nextHigh(const uint64_t* bits, uint32_t from, uint32_t count) {
    uint32_t at = from;
    uint64_t word = from < count ? bits[at >> 6] >> (at & 63) : 0;
    while (word == 0) {
        at = (at | 63) + 1;
        if (at >= count) return count;
        word = bits[at >> 6];
    }
    at += static_cast<uint32_t>(__builtin_ctzll(word));
    return at < count ? at : count;
}

}  // namespace

// The steps takeHigh and takeLow would take datum by datum, with the low
// data between high ones taken at once: outside a spike they change
// nothing, inside one they add to the glitch run until it closes the spike.
template <typename NextHighFn>
void CountC::takeHighs(uint32_t data, NextHighFn nextHigh) {
    uint32_t at = 0;
    while (at < data) {
        const uint32_t high = nextHigh(at);
        uint32_t lows = high - at;
        if (InSpike && lows >= G - GlitchRun) {
            lows = G - GlitchRun;  // the last of them closes the spike
            GlitchRun = G - 1;
            DatumIx += lows - 1;
            takeLow();
            ++DatumIx;
            at += lows;
            continue;
        }
        if (InSpike) GlitchRun += lows;
        DatumIx += lows;
        at = high;
        if (at == data) break;
        takeHigh();
        ++DatumIx;
        ++at;
    }
}

void CountC::takeBits(const uint64_t* bits, uint32_t data) {
    takeHighs(data, [bits, data](uint32_t at) { return nextHigh(bits, at, data); });
}

// The count over the validation pass's data from the candidates it kept:
// those that reach H are the high data, all others are low. As the loop of
// countData, it stops at a quit seen before the first datum.
int CountC::countCandidates() {
    const uint32_t data = FirstPassData;
    if (data > 0 && quitAsked()) return QuitDuringCount;
    const uint32_t first = DatumIx;
    uint32_t next = 0;  // the candidate to look at
    takeHighs(data, [this, first, data, &next](uint32_t at) {
        while (next < Candidates.Count &&
               (Candidates.Places[next] - first < at || Candidates.Values[next] < H))
            ++next;
        return next < Candidates.Count ? Candidates.Places[next] - first : data;
    });
    return 0;
}

// The count's windows: each scanned into bits of its own, the state machine
// run over them in file order.
class CountC::CountJobC : public readwindows::WindowJobC {
  public:
    CountJobC(CountC& count, const CountRulesS& rules, uint32_t readsLeft)
        : WindowJobC(readsLeft), Count(count), Rules(rules) {}

    readwindows::ScanEndS scan(const readwindows::WindowS& window, uint32_t maxReads) override {
        CountTallyC tally(Rules, window);
        return readwindows::scanReads(window.Bytes, window.From, window.Cut, maxReads, tally);
    }

  private:
    // The front end's turn (when due) comes before the quit check, so that a
    // quit confirmed in it stops the count before this window's data.
    bool take(const readwindows::WindowS& window, uint32_t reads) override {
        Count.PassHook.poll();
        if (reads > 0 && Count.quitAsked()) return false;
        Count.takeBits(window.Scratch, reads);
        return true;
    }

    CountC& Count;
    const CountRulesS& Rules;
};

// The state machine over the data from the current read on: 0, or
// QuitDuringCount, BadDatumStatus, or -4 for a read error (which is not the
// end of the data). Whole windows of data are classified on two threads;
// the rest, from where a window stops (a datum that does not convert, the
// last datum, the end of the file), one read at a time.
int CountC::countData() {
    const uint32_t samples = State.Samples;
    // Data that are low by their spelling: those in (-1, 0] when H > 0, and
    // those below 0.1 when H lies above the double nearest 0.1 (to which they
    // round at most). FileState.Value is left as the validation pass set it:
    // the last datum of these same data.
    const CountRulesS rules(H);
    if (DatumIx <= samples) {
        CountJobC job(*this, rules, samples - DatumIx + 1);
        if (!runWindows(job)) return QuitDuringCount;
    }
    for (; DatumIx <= samples; ++DatumIx) {
        const char* read = nextRead();
        if (read == nullptr) return readFailed() ? -4 : 0;
        pollPoint();
        if (quitAsked()) return QuitDuringCount;
        const SmallSpelling small = smallSpelling(read);
        if ((small == SmallNegative && rules.NegativesLow) ||
            (small == SmallTenth && rules.TenthsLow)) {
            takeLow();
        } else if (toDatum(read, Datum)) {
            if (Datum >= H) {
                takeHigh();
            } else {
                takeLow();
            }
        } else {
            keepRead(read);
            return BadDatumStatus;
        }
    }
    return 0;
}

void CountC::writeResult(OutputC* win) {
    {
        ExtendedPrecisionC extended;
        Duration = static_cast<double>(State.Samples / (State.SampleRate + 0.0L));
    }
    Rate = Spikes / Duration;
    std::snprintf(ResultStr, sizeof ResultStr, "%s : %.2f s (%.1f ms) | %u spikes => %.1f/sec.",
                  FName, Duration, Duration * 1000, Spikes, Rate);
    if (win == nullptr || quitAsked()) return;
    win->addLine(ResultStr);
    win->refresh();
    win->fileDone({FileOutcomeS::Counted, FName, "", Duration, Spikes, Rate});
}
