#include "engine/CountC.h"

#include <cstdio>

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
      DotCountdown(DotPollData) {}

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

// The state machine over the data from the current read on: 0, or
// QuitDuringCount, BadDatumStatus, or -4 for a read error (which is not the
// end of the data).
int CountC::countData() {
    const uint32_t samples = State.Samples;
    // Data that are low by their spelling: those in (-1, 0] when H > 0, and
    // those below 0.1 when H lies above the double nearest 0.1 (to which they
    // round at most). FileState.Value is left as the validation pass set it:
    // the last datum of these same data.
    const bool negativesLow = H > 0.0;
    const bool tenthsLow = H > 0.1;
    for (; DatumIx <= samples; ++DatumIx) {
        const char* read = nextRead();
        if (read == nullptr) return readFailed() ? -4 : 0;
        pollPoint();
        if (quitAsked()) return QuitDuringCount;
        const SmallSpelling small = smallSpelling(read);
        if ((small == SmallNegative && negativesLow) || (small == SmallTenth && tenthsLow)) {
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
}
