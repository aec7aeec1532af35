#pragma once
// The spike counter: re-reads the data of a file the validation pass has
// accepted and writes its result line (duration, spikes, rate) to the output
// window, with the thresholds H, W and G that the pass left in FileState.
#include <cstdint>

#include "engine/FileReadC.h"
#include "engine/GoodBadListC.h"
#include "engine/OutputC.h"
#include "engine/PassHookC.h"

class CountC : public FileReadC {
  public:
    enum Sizes { ResultSize = 4096, DataStartLine = 6 };

    CountC(GoodBadListC& params, QuitterS& quitter);

    // Counts the open file's spikes and writes its result line to win (none:
    // not written). 0, also when a quit request stops it; -2 when the data
    // cannot be reached, -3 when a datum does not convert, -4 otherwise.
    int CountFile(OutputC* win);

    bool InSpike;
    uint32_t DatumIx;      // 1-based index of the datum examined
    uint32_t RegionStart;  // reference index of the width test
    uint32_t GlitchRun;    // consecutive low data inside the open spike
    uint32_t Spikes;
    uint32_t W;
    uint32_t G;
    double Datum;
    double H;
    double Duration;  // seconds
    double Rate;      // spikes per second
    char ResultStr[ResultSize];
    PassHookC PassHook;  // the front end's turns during a pass; set by the front end

  protected:
    bool quitAsked() const { return Quitter.QuitState.load(std::memory_order_relaxed) != 0; }
    // Polls the progress clock once every DotPollData data: the clock is not
    // read for each datum.
    bool dotPoll() { return pollPoint() && dotDue(); }
    // True once every DotPollData data, after the front end's turn (if due).
    bool pollPoint() {
        if (--DotCountdown != 0) return false;
        DotCountdown = DotPollData;
        PassHook.poll();
        return true;
    }

    GoodBadListC& Params;
    FileStateS& State;
    QuitterS& Quitter;

  private:
    enum { DotPollData = 1024 };
    // The state machine's step for a datum at or above H, and below it.
    void takeHigh();
    void takeLow();
    int countData();
    void writeResult(OutputC* win);

    uint32_t DotCountdown;
};
