#pragma once
// The count's state machine (CountC::takeHigh, takeLow) over the marks a
// byte of them at a time, through a table: for data whose spikes come many
// to a word of marks (full-scale noise), where following the marks run by
// run takes a turn of a loop, with branches noise mispredicts, per spike.
//
// With W small the machine has W states, the datum's turn aside: in a spike
// with g lows in a row (g < G), or outside one with k data past RegionStart
// (k from G + 1, just after a spike closed, to W, which stands for W or
// more: a high datum opens a spike there). For each state and byte of marks
// the table gives the state after the byte, the spikes that closed in it and
// where the last of them closed, so that RegionStart stays exact.
#include <cstdint>

struct SpikeStateS {
    bool InSpike;
    uint32_t DatumIx;  // of the next datum
    uint32_t RegionStart;
    uint32_t GlitchRun;
    uint32_t Spikes;
};

class SpikeBytesC {
  public:
    enum { MostWidth = 32 };  // the widest W the table takes (16 KiB)

    // Whether the table can follow W and G (W from G + 1 to MostWidth): made
    // for them unless it was.
    bool prepare(uint32_t w, uint32_t g);
    // Steps state over words whole words of marks (bit 0 of bits[0] is the
    // datum state.DatumIx). False, nothing done, when the state lies beyond
    // the table: RegionStart not yet G + 1 behind (the file's first data).
    bool run(SpikeStateS& state, const uint64_t* bits, uint32_t words) const;

  private:
    enum : uint16_t { StateMask = 31, SpikesShift = 5, SpikesMask = 7, CloseShift = 8 };
    // A run of the table: its state, the spikes closed, the datum that
    // closed the last of them (0 while none did).
    struct ChainS {
        uint32_t Step;
        uint32_t Spikes;
        uint32_t LastClose;
    };
    uint16_t stepByte(uint32_t from, uint32_t byte) const;
    bool enter(const SpikeStateS& state, uint32_t& step) const;
    void stepWord(ChainS& chain, uint64_t marks, uint32_t index) const;

    uint16_t Steps[MostWidth * 256] = {};
    uint32_t W = 0;
    uint32_t G = 0;
};
