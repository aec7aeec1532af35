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

// Eight data (bit 0 first) from state from: the state after them, the
// spikes closed among them and, past CloseShift, one more than the place of
// the datum that closed the last.
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
    return static_cast<uint16_t>(state | spikes << SpikesShift | close << CloseShift);
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

// The table's steps over the eight bytes of a word of marks, the first
// datum at index; without a branch on whether a spike closed (in noise,
// most bytes close one, at random).
inline void SpikeBytesC::stepWord(ChainS& chain, uint64_t marks, uint32_t index) const {
#pragma GCC unroll 8
    for (uint32_t shift = 0; shift < 64; shift += 8) {
        const uint16_t entry = Steps[chain.Step << 8 | static_cast<uint32_t>(marks >> shift & 255)];
        chain.Step = entry & StateMask;
        chain.Spikes += (entry >> SpikesShift) & SpikesMask;
        const uint32_t close = entry >> CloseShift;
        const uint32_t closed = 0u - uint32_t{close != 0};
        chain.LastClose = ((index + shift + close - 1) & closed) | (chain.LastClose & ~closed);
    }
}

bool SpikeBytesC::run(SpikeStateS& state, const uint64_t* bits, uint32_t words) const {
    uint32_t step;
    if (!enter(state, step)) return false;
    ChainS chain{step, 0, 0};
    for (uint32_t word = 0; word < words; ++word)
        stepWord(chain, bits[word], state.DatumIx + 64 * word);
    state.Spikes += chain.Spikes;
    state.DatumIx += 64 * words;
    if (chain.LastClose != 0) {
        state.RegionStart = chain.LastClose - G;
        state.GlitchRun = G;
    }
    state.InSpike = chain.Step < G;
    if (state.InSpike) state.GlitchRun = chain.Step;
    return true;
}
