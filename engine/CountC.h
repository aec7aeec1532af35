#pragma once
// The spike counter: counts the spikes of a file the validation pass has
// accepted, from the marks the pass left (DataWindows.h) or by reading its
// data again, and writes its result line (duration, spikes, rate) to the
// output window, with the thresholds H, W and G that the pass left in
// FileState.
#include <cstdint>

#include "engine/DataWindows.h"
#include "engine/FileReadC.h"
#include "engine/GoodBadListC.h"
#include "engine/OutputC.h"
#include "engine/PassHookC.h"
#include "engine/SpikeBytes.h"

class CountC : public FileReadC {
  public:
    enum Sizes { ResultSize = 4096, DataStartLine = HeaderLimitsS::HeaderLines + 1 };

    CountC(GoodBadListC& params, QuitterS& quitter);
    ~CountC();
    CountC(const CountC&) = delete;
    CountC& operator=(const CountC&) = delete;

    // Room for that many listed marks (MarksC) from the next validation
    // pass on, in place of CandidateRoom: the tests make it small or none,
    // so that the count reads the file again.
    void setCandidateRoom(uint32_t candidates);

    // Counts the open file's spikes and writes its result line to win (none:
    // not written). 0, also when a quit request stops it; -2 when the data
    // cannot be reached, -3 when a datum does not convert, -4 otherwise (a
    // read error, or fewer data than the validation pass found: the file
    // changed between the passes).
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
    // The data until the next poll, and dotPoll for that many data (or
    // fewer) in a row: only the last can make the poll fall due.
    uint32_t dataToPoll() const { return DotCountdown; }
    bool dotPollAfter(uint32_t data) {
        DotCountdown -= data - 1;
        return dotPoll();
    }

    // The marks of the data of the open file that may reach H, as the
    // validation pass leaves them: CountFile counts from them without
    // reading the file again when the pass set CountFromMarks (every marked
    // datum below the marks' Unlisted listed, FirstPassData data) and H lies
    // at or below Unlisted (sure at first). None when their memory cannot
    // be had.
    MarksC* startMarks(const CutS& sure);

    GoodBadListC& Params;
    FileStateS& State;
    QuitterS& Quitter;
    MarksC Marks;
    bool CountFromMarks;
    uint32_t FirstPassData;

  private:
    class CountJobC;
    friend class CountJobC;
    enum { DotPollData = 1024, CandidateRoom = 1 << 16 };
    // The state machine's step for a datum at or above H, and below it.
    void takeHigh();
    void takeLow();
    // The state machine over so many data from DatumIx on, a bit each (set:
    // high): a stretch at a time, run by run (takeRuns), or a byte at a time
    // (takeBytes) where the stretch before had two spikes or more to a word.
    void takeBits(const uint64_t* bits, uint32_t data);
    void takeRuns(const uint64_t* bits, uint32_t data);
    // False, nothing taken, when the table cannot follow W, G or the state.
    bool takeBytes(const uint64_t* bits, uint32_t data);
    uint32_t nextOpening(const uint64_t* bits, uint32_t at, uint32_t data, uint32_t first);
    int countData();
    int countMarks();
    void writeResult(OutputC* win);

    uint32_t DotCountdown;
    uint64_t* MarkBits;      // a bit for each datum a file may have; none until needed
    uint64_t* MarkList;      // none until a validation pass needs it
    uint32_t MarkListWords;  // of MarkList
    SpikeBytesC ByteSteps;
};
