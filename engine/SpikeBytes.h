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
//
// Each byte's step waits for the one before it (its row in the table is the
// state that step gave). Long marks are therefore cut into pieces stepped side
// by side, each from a byte that W - 1 lows precede: after W - 1 lows in a row
// every state has come to W - 1 (a spike among them has closed, and the data
// past RegionStart have reached W), so that is where a piece starts whatever
// came before it. Noise has such runs of lows everywhere; marks without them
// are stepped in one piece.
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
    // An entry: the spikes closed in the byte, past CloseShift one more than
    // the place in it of the datum that closed the last (0: none), and the
    // state after it times 256, its row in the table.
    enum : uint16_t { SpikesMask = 7, CloseShift = 3, CloseMask = 15, RowMask = 31 << 8 };
    enum { Pieces = 4, LeastPieceBytes = 64 };
    // Stepping a piece: its row, the byte it is at and the one it ends
    // before, the spikes closed, and the last close as its byte times 16
    // and its entry's close (0 while none closed).
    struct PieceS {
        uint32_t Row;
        uint32_t From;
        uint32_t End;
        uint32_t Spikes;
        uint32_t LastClose;
    };
    uint16_t stepByte(uint32_t from, uint32_t byte) const;
    bool enter(const SpikeStateS& state, uint32_t& step) const;
    uint32_t cutPieces(const unsigned char* bytes, uint32_t count, uint32_t row,
                       PieceS* pieces) const;
    void step(PieceS& piece, const unsigned char* bytes) const;
    void stepTogether(PieceS* pieces, const unsigned char* bytes) const;

    uint16_t Steps[MostWidth * 256] = {};
    uint32_t W = 0;
    uint32_t G = 0;
};
