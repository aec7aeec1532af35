#include "engine/CountC.h"

#include <cstdio>
#include <new>

#include "engine/DataWindows.h"
#include "engine/EngineStatus.h"
#include "engine/ExtendedPrecision.h"

#include "core/ErrHandleC.h"

namespace {
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
      CountFromMarks(false),
      FirstPassData(0),
      DotCountdown(DotPollData),
      MarkBits(nullptr),
      MarkList(nullptr),
      MarkListWords(0) {
    setCandidateRoom(CandidateRoom);
}

CountC::~CountC() {
    delete[] MarkBits;
    delete[] MarkList;
}

void CountC::setCandidateRoom(uint32_t candidates) {
    delete[] MarkList;
    MarkList = nullptr;
    const std::size_t bytes = std::size_t{candidates} * (sizeof(int64_t) + sizeof(uint32_t));
    MarkListWords = static_cast<uint32_t>((bytes + 7) / 8);
}

// Marks for as many data as a file may have, and an empty list. The bits
// are had, and written, once for all files: the memory in use does not
// depend on the file's size.
MarksC* CountC::startMarks(const CutS& sure) {
    const std::size_t bitWords = Params.HeaderLimits.SamplesMax / 64 + 2;
    if (MarkBits == nullptr) MarkBits = new (std::nothrow) uint64_t[bitWords]();
    if (MarkList == nullptr && MarkListWords > 0)
        MarkList = new (std::nothrow) uint64_t[MarkListWords];
    if (MarkBits == nullptr || (MarkList == nullptr && MarkListWords > 0)) return nullptr;
    MarkBits[0] = 0;  // each next word is written whole as the marks grow
    Marks.start(MarkBits, MarkList, MarkListWords, sure);
    return &Marks;
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
    // The data need not be read again when the validation pass marked those
    // that may be high and listed those that may not be.
    if (CountFromMarks && Marks.tellHigh(H)) {
        CountFromMarks = false;
        Status = 0;
        if (countMarks() != QuitDuringCount) writeResult(win);
        return 0;
    }
    CountFromMarks = false;
    int sought = seekLine(RegionStart);
    if (sought < 0) {
        ErrHandle.report(sought,
                         "Tallywave CountC::CountFile() error:\nFile=[%s].\n"
                         "Can't seekLine(%u) to start spike count.",
                         FName, static_cast<unsigned>(DataStartLine));
        return engine::DataUnreachable;
    }
    Status = 0;
    // Kept here rather than in the process-wide Status, which the other
    // thread of graphic mode may set at any time.
    const int counted = countData();
    if (counted == QuitDuringCount) return 0;
    if (counted == engine::ConvertFailed) {
        Status = engine::ConvertFailed;
        ErrHandle.report(engine::ConvertFailed,
                         "Tallywave ValidateC::CountFile():\nFname=[%s].\n"
                         "Convert float value FAILED.\nBad datum at line %d=[%s].",
                         FName, static_cast<int>(LineNo), Line);
        return engine::CountDatumUnreadable;
    }
    if (counted < 0) {
        Status = counted;
        ErrHandle.report(counted,
                         "Tallywave CountC::CountFile() error:\nFile=[%s].\n"
                         "Spike count failed at file line=%u.",
                         FName, DatumIx + HeaderLimitsS::HeaderLines);
        return engine::CountFailedOtherwise;
    }
    writeResult(win);
    return 0;
}

namespace {

// The position of the first bit at or after from that is set (clear, when
// flip is all ones), or count when none lies before count. Mostly found in
// the word of from.
inline __attribute__((always_inline)) uint32_t nextBit(const uint64_t* bits, uint32_t from,
                                                       uint32_t count, uint64_t flip) {
    if (from >= count) return count;
    uint32_t at = from;
    uint64_t word = (bits[at >> 6] ^ flip) >> (at & 63);
    while (word == 0) {
        at = (at | 63) + 1;
        if (at >= count) return count;
        word = bits[at >> 6] ^ flip;
    }
    at += static_cast<uint32_t>(__builtin_ctzll(word));
    return at < count ? at : count;
}

inline __attribute__((always_inline)) uint32_t nextHigh(const uint64_t* bits, uint32_t from,
                                                        uint32_t count) {
    return nextBit(bits, from, count, 0);
}

inline __attribute__((always_inline)) uint32_t nextLow(const uint64_t* bits, uint32_t from,
                                                       uint32_t count) {
    return nextBit(bits, from, count, ~uint64_t{0});
}

}  // namespace

void CountC::takeBits(const uint64_t* bits, uint32_t data) {
    const uint32_t StretchData = 1 << 16;  // a multiple of 64
    bool dense = false;
    for (uint32_t at = 0; at < data; at += StretchData) {
        const uint32_t stretch = data - at < StretchData ? data - at : StretchData;
        const uint32_t spikesBefore = Spikes;
        if (!dense || !takeBytes(bits + at / 64, stretch)) takeRuns(bits + at / 64, stretch);
        dense = Spikes - spikesBefore >= stretch / 32;
    }
}

// The whole words of data by the table, the rest run by run.
bool CountC::takeBytes(const uint64_t* bits, uint32_t data) {
    if (!ByteSteps.prepare(W, G)) return false;
    SpikeStateS state{InSpike, DatumIx, RegionStart, GlitchRun, Spikes};
    const uint32_t words = data / 64;
    if (!ByteSteps.run(state, bits, words)) return false;
    InSpike = state.InSpike;
    DatumIx = state.DatumIx;
    RegionStart = state.RegionStart;
    GlitchRun = state.GlitchRun;
    Spikes = state.Spikes;
    takeRuns(bits + words, data % 64);
    return true;
}

// The steps takeHigh and takeLow would take datum by datum over data data
// (bit set: high), a stretch at a time: outside a spike, the lows and the
// highs that cannot open one change nothing; inside, the highs only clear
// the glitch run, and the spike closes where a run of lows reaches G. The
// state is kept in locals meanwhile.
void CountC::takeRuns(const uint64_t* bits, uint32_t data) {
    const uint32_t first = DatumIx;  // the index of bit 0
    bool inSpike = InSpike;
    uint32_t glitchRun = GlitchRun;
    uint32_t regionStart = RegionStart;
    uint32_t spikes = Spikes;
    const uint32_t w = W;
    const uint32_t g = G;
    uint32_t at = 0;
    while (at < data) {
        if (!inSpike) {
            // From W past RegionStart a spike opens at the next high datum.
            const uint32_t index = first + at;
            if (index >= regionStart) {
                if (index - regionStart < w) at = regionStart + w - first;
                at = nextHigh(bits, at, data);
            } else {
                RegionStart = regionStart;
                at = nextOpening(bits, at, data, first);
            }
            if (at >= data) break;
            inSpike = true;
            glitchRun = 0;
        }
        // The highs from here clear the glitch run. With one low wanted (G =
        // 1, most noise) the next low closes the spike, whatever this datum
        // is: no test of it, so a spike takes one turn of the loop.
        if (g == 1 || ((bits[at >> 6] >> (at & 63)) & 1)) {
            glitchRun = 0;
            at = nextLow(bits, at, data);
            if (at >= data) break;
        }
        // This datum is low: with one low wanted it closes the spike, with
        // no need to find where the lows end.
        const uint32_t wanted = g - glitchRun;
        const uint32_t lows = wanted == 1 ? 1 : nextHigh(bits, at, data) - at;
        if (lows < wanted) {
            glitchRun += lows;
            at += lows;
            continue;
        }
        at += wanted;  // one past the low that closes the spike
        const uint32_t closing = first + at - 1;
        inSpike = false;
        glitchRun = g;  // as takeLow leaves it
        if (closing - regionStart >= w) ++spikes;
        regionStart = closing - g;
    }
    InSpike = inSpike;
    GlitchRun = glitchRun;
    RegionStart = regionStart;
    Spikes = spikes;
    DatumIx = first + data;
}

// The first high datum at or after at that opens a spike (data when none):
// one W or more past RegionStart, or below it (the difference wraps).
uint32_t CountC::nextOpening(const uint64_t* bits, uint32_t at, uint32_t data, uint32_t first) {
    while (at < data) {
        const uint32_t index = first + at;
        if (index - RegionStart < W) {  // from RegionStart to W past it nothing opens
            at = RegionStart + W - first;
            continue;
        }
        // Below RegionStart a spike opens up to RegionStart; past RegionStart + W, anywhere.
        const uint32_t end =
            index < RegionStart && RegionStart - first < data ? RegionStart - first : data;
        const uint32_t high = nextHigh(bits, at, end);
        if (high < end) return high;
        at = end;
    }
    return data;
}

// The count over the validation pass's data from its marks: the listed
// data below H lose theirs, and the marked data are then the high ones. As
// the loop of countData, it stops at a quit seen before the first datum.
int CountC::countMarks() {
    const uint32_t data = FirstPassData;
    if (data > 0 && quitAsked()) return QuitDuringCount;
    const CutS height = CutS::atLeast(H);
    for (uint32_t i = 0; i < Marks.count(); ++i)
        if (!Marks.datum(i).reaches(height)) Marks.clearMark(Marks.place(i));
    takeBits(Marks.bits(), data);
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
// QuitDuringCount, engine::ConvertFailed, or engine::ReadEnded for a read error (which is not the
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
        // Fewer data than the validation pass found: the file changed.
        if (read == nullptr)
            return readFailed() || DatumIx <= FirstPassData ? engine::ReadEnded : 0;
        pollPoint();
        if (quitAsked()) return QuitDuringCount;
        bool high;
        if (!rules.judge(read, high)) {
            keepRead(read);
            return engine::ConvertFailed;
        }
        if (high) {
            takeHigh();
        } else {
            takeLow();
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
