#pragma once
// How the wave files spell their numbers, read into what the engine works
// with: plain functions, the text in, the result out.
//
// A datum read as a key: its value times 10^18, as a signed 64-bit integer,
// without converting it to a double. Every datum with at most 18 decimals
// (after its exponent, if any) and a magnitude below 9 has one, exact: the
// digits as written. Since correct rounding keeps order, comparing keys
// compares the doubles the data convert to, and a threshold (a double)
// becomes a cut, the least key whose value reaches it, so that a datum is
// placed against the threshold by one integer comparison, exactly, at every
// magnitude. Data without a key (more decimals, larger exponents) are
// converted; the rare few do not slow the common ones.
//
// The header's numbers and word are read as formatted input reads them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spelling {

const int64_t KeyScale = 1000000000000000000;  // the key of 1.0
const int64_t KeyLimit = 9 * KeyScale;         // keys lie strictly between -KeyLimit and KeyLimit

enum FormE { Keyed, Valued, NotANumber };

// The double a key converts to (the datum it came from converts to it too).
double keyValue(int64_t key);
// A datum's value: correctly rounded, beyond the double range +/-HUGE_VAL,
// below it 0 (a minus before a zero stays); false when no number can be
// read. Reads byte by byte: text need not be readable past its terminator.
bool datumValue(const char* text, double& value);

// A header number read as formatted %u input on a 32-bit platform: white
// space skipped, optional sign, a minus wraps (-1 is 4294967295), too
// large saturates at 4294967295. False when no digit follows.
bool headerNumber(const char* text, uint32_t& value);
// A header word: white space skipped, then the run of other characters,
// cut to size - 1. False when there is none.
bool headerWord(const char* text, char* word, std::size_t size);

// The least key whose value is at least x, and the least whose value lies
// above x; KeyLimit when no key's value does.
int64_t cutAtLeast(double x);
int64_t cutAbove(double x);
// A key at or below cutAtLeast(x), near it, without a search.
int64_t cutAtMost(double x);

namespace detail {

// Eight decimal digits (0 to 9, one per byte, the first the most
// significant) as one number.
inline uint32_t eightDigits(uint64_t digits) {
    digits = (digits * 2561) >> 8;
    digits = ((digits & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
    return static_cast<uint32_t>(((digits & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32);
}

// One bit per byte of the 16 from text that is a decimal digit.
inline unsigned digitBits(const char* text) {
#if defined(__SSE2__)
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(group, _mm_set1_epi8('0' - 1)),
                                         _mm_cmplt_epi8(group, _mm_set1_epi8('9' + 1)));
    return static_cast<unsigned>(_mm_movemask_epi8(digits));
#else
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) bits |= unsigned(text[i] >= '0' && text[i] <= '9') << i;
    return bits;
#endif
}

// The first count bytes (0 to 8) of a word read from memory.
inline uint64_t bytesMask(unsigned count) {
    return count >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * count)) - 1;
}

// The first count digits at text (at most 16) as a 16-digit number: the
// digits after them read as zeros.
inline uint64_t sixteenDigits(const char* text, unsigned count) {
    uint64_t low, high;
    std::memcpy(&low, text, sizeof low);
    std::memcpy(&high, text + 8, sizeof high);
    const uint64_t zeros = 0x3030303030303030ull;
    const unsigned lowBytes = count < 8 ? count : 8;
    low = (low - zeros) & bytesMask(lowBytes);
    high = (high - zeros) & bytesMask(count - lowBytes);
    return uint64_t{eightDigits(low)} * 100000000u + eightDigits(high);
}

// The key of 0.d... with the count (at most 16) decimals at text.
inline uint64_t decimalsKey(const char* text, unsigned count) {
    if (count <= 8) {  // most data: one group of eight digits
        uint64_t digits;
        std::memcpy(&digits, text, sizeof digits);
        return eightDigits((digits - 0x3030303030303030ull) & bytesMask(count)) * 10000000000ull;
    }
    return sixteenDigits(text, count) * 100;
}

// Reads any datum (readDatum); padded: text can be read 16 bytes past its
// end, so that its decimals are read sixteen at a time.
FormE readAny(const char* text, int64_t& key, double& value, bool padded = false);

}  // namespace detail

// Reads the datum at text: optional white space (not a line feed), an
// optional sign, decimal digits with an optional point (at least one digit),
// an optional exponent; anything after it is ignored. Keyed with key when
// it has one, else Valued with its value, correctly rounded (beyond the
// double range +/-HUGE_VAL, below it 0); NotANumber when no number can be
// read. text can be read 16 bytes past its end. The common spellings,
// [-]0.ddd, [-]1.ddd and [-].ddd with up to 15 decimals, are read inline.
inline FormE readDatum(const char* text, int64_t& key, double& value) {
    const bool negative = text[0] == '-';
    const char* at = text + negative;
    const bool leading = (at[0] == '0' || at[0] == '1') && at[1] == '.';
    if (leading || at[0] == '.') {
        const char* decimals = at + (leading ? 2 : 1);
        const unsigned count = static_cast<unsigned>(__builtin_ctz(~detail::digitBits(decimals)));
        const char after = decimals[count];
        if (count < 16 && after != '.' && (after | 0x20) != 'e' && (leading || count > 0)) {
            const int64_t whole = leading ? int64_t{at[0] - '0'} * KeyScale : 0;
            const int64_t magnitude =
                whole + static_cast<int64_t>(detail::decimalsKey(decimals, count));
            key = negative ? -magnitude : magnitude;
            return Keyed;
        }
    }
    return detail::readAny(text, key, value, true);
}

}  // namespace spelling
