#include "engine/SpikeBytes.h"

// A state below G is a spike with that many lows in a row; from G on, state
// s lies s + 1 data past RegionStart (W - 1: W or more).
bool SpikeBytesC::prepare(uint32_t w, uint32_t g) {
    if (g == 0 || w <= g || w > MostWidth) return false;
    if (w == W && g == G) return true;
    W = w;
    G = g;
    for (uint32_t from = 0; from < W; ++from)
        for (uint32_t byte = 0; byte < 256; ++byte) Steps[from << 8 | byte] = stepByte(from, byte);
    return true;
}

// Eight data (bit 0 first) from state from: the spikes closed among them,
// one more than the place of the datum that closed the last, and the state
// after them as its row.
uint16_t SpikeBytesC::stepByte(uint32_t from, uint32_t byte) const {
    uint32_t state = from;
    uint32_t spikes = 0;
    uint32_t close = 0;
    for (uint32_t place = 0; place < 8; ++place) {
        const bool high = (byte >> place) & 1;
        if (state < G) {  // in a spike: a high clears the glitch run, the G-th low closes it
            if (high) {
                state = 0;
            } else if (++state == G) {
                ++spikes;
                close = place + 1;
            }
        } else if (high && state == W - 1) {  // W past RegionStart: a high opens a spike
            state = 0;
        } else if (state < W - 1) {
            ++state;
        }
    }
    return static_cast<uint16_t>(spikes | close << CloseShift | state << 8);
}

// The table's state for state, when it has one: RegionStart lies behind the
// next datum (the first data's wrapped difference aside), G + 1 or more
// before it, or W or more within a spike, so that every spike from here on
// is counted when it closes, as the width test at its close then passes.
bool SpikeBytesC::enter(const SpikeStateS& state, uint32_t& step) const {
    const uint32_t past = state.DatumIx - state.RegionStart;
    // RegionStart is at least 1 - G (a close at the first datum).
    if (uint64_t{past} > uint64_t{state.DatumIx} + G) return false;
    if (state.InSpike) {
        step = state.GlitchRun;
        return past >= W && state.GlitchRun < G;
    }
    step = (past < W ? past : W) - 1;
    return past > G;
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the marks are stepped a byte at a time, bit 0 of a word in its first byte");

namespace {

// The first byte from from on, before end, that lowsWanted lows in a row
// from from on precede; end when none does.
uint32_t settledAt(const unsigned char* bytes, uint32_t from, uint32_t end, uint32_t lowsWanted) {
    uint32_t lows = 0;
    for (uint32_t at = from; at < end; ++at) {
        const uint32_t byte = bytes[at];
        lows = byte == 0 ? lows + 8 : static_cast<uint32_t>(__builtin_clz(byte)) - 24;
        if (lows >= lowsWanted) return at + 1;
    }
    return end;
}

}  // namespace

// Cuts count bytes into Pieces pieces of about as many bytes, each but the
// first from a byte where the state is W - 1 whatever came before (the first
// from row): how many pieces, fewer when they would be short or a piece's
// stretch has no place to cut (marks dense with highs).
uint32_t SpikeBytesC::cutPieces(const unsigned char* bytes, uint32_t count, uint32_t row,
                                PieceS* pieces) const {
    pieces[0] = {row, 0, count, 0, 0};
    if (count < Pieces * LeastPieceBytes) return 1;
    const uint32_t stretch = count / Pieces;
    for (uint32_t piece = 1; piece < Pieces; ++piece) {
        const uint32_t least = pieces[piece - 1].From + LeastPieceBytes;
        const uint32_t from = stretch * piece > least ? stretch * piece : least;
        const uint32_t before = stretch * (piece + 1) - LeastPieceBytes;
        const uint32_t start = settledAt(bytes, from, before, W - 1);
        if (start >= before) return piece;
        pieces[piece - 1].End = start;
        pieces[piece] = {(W - 1) << 8, start, count, 0, 0};
    }
    return Pieces;
}

// One byte's step of a piece; without a branch on whether a spike closed
// (in noise, most bytes close one, at random).
inline void SpikeBytesC::step(PieceS& piece, const unsigned char* bytes) const {
    const uint32_t entry = Steps[piece.Row | bytes[piece.From]];
    piece.Row = entry & RowMask;
    piece.Spikes += entry & SpikesMask;
    const uint32_t close = entry >> CloseShift & CloseMask;
    const uint32_t closed = 0u - uint32_t{close != 0};
    piece.LastClose = ((piece.From << 4 | close) & closed) | (piece.LastClose & ~closed);
    ++piece.From;
}

// The pieces side by side while each has bytes left, in locals: a byte read
// could be any of them to the compiler, which would store them at each step.
void SpikeBytesC::stepTogether(PieceS* pieces, const unsigned char* bytes) const {
    static_assert(Pieces == 4, "four pieces side by side below");
    uint32_t together = ~0u;
    for (uint32_t piece = 0; piece < Pieces; ++piece) {
        const uint32_t left = pieces[piece].End - pieces[piece].From;
        together = left < together ? left : together;
    }
    PieceS a = pieces[0], b = pieces[1], c = pieces[2], d = pieces[3];
    for (uint32_t i = 0; i < together; ++i) {
        step(a, bytes);
        step(b, bytes);
        step(c, bytes);
        step(d, bytes);
    }
    pieces[0] = a, pieces[1] = b, pieces[2] = c, pieces[3] = d;
}

bool SpikeBytesC::run(SpikeStateS& state, const uint64_t* bits, uint32_t words) const {
    uint32_t first;  // the state at the first byte
    if (!enter(state, first)) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(bits);
    PieceS pieces[Pieces];
    const uint32_t count = cutPieces(bytes, 8 * words, first << 8, pieces);
    if (count == Pieces) stepTogether(pieces, bytes);
    uint32_t lastClose = 0;                             // of the last piece where a spike closed
    uint32_t row = 0;                                   // where the last piece ends
    for (uint32_t piece = 0; piece < count; ++piece) {  // each to its end
        PieceS rest = pieces[piece];
        while (rest.From < rest.End) step(rest, bytes);
        state.Spikes += rest.Spikes;
        lastClose = rest.LastClose != 0 ? rest.LastClose : lastClose;
        row = rest.Row;
    }
    if (lastClose != 0) {
        state.RegionStart = state.DatumIx + 8 * (lastClose >> 4) + (lastClose & CloseMask) - 1 - G;
        state.GlitchRun = G;
    }
    const uint32_t last = row >> 8;
    state.DatumIx += 64 * words;
    state.InSpike = last < G;
    if (state.InSpike) state.GlitchRun = last;
    return true;
}
