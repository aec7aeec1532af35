#include "engine/Spelling.h"

#include <charconv>
#include <cmath>

namespace spelling {

namespace {

// White space before a datum. A line feed can only end a read, so a datum
// never lies after one: stopping there lets a datum be read from a line that
// ends with its line feed rather than a terminator.
inline bool isDatumBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space as formatted input skips it.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* skipBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}

const char* skipDatumBlanks(const char* text) {
    while (isDatumBlank(*text)) ++text;
    return text;
}

const int64_t Powers[19] = {1,
                            10,
                            100,
                            1000,
                            10000,
                            100000,
                            1000000,
                            10000000,
                            100000000,
                            1000000000,
                            10000000000,
                            100000000000,
                            1000000000000,
                            10000000000000,
                            100000000000000,
                            1000000000000000,
                            10000000000000000,
                            100000000000000000,
                            1000000000000000000};

// The parts of a decimal number as scanned: its significant digits (at most
// 19 kept in Mantissa) and the power of ten to apply to them.
struct DecimalS {
    uint64_t Mantissa = 0;
    int KeptDigits = 0;   // significant digits in Mantissa
    long Exponent10 = 0;  // value = Mantissa * 10^Exponent10 when AllKept
    bool AllKept = true;  // no non-zero digit dropped
    bool NonZero = false;
    long IntDigits = 0;        // significant digits before the point
    long ZerosAfterPoint = 0;  // zeros after the point before the first significant digit

    // The decimal exponent of the leading significant digit.
    long magnitude() const { return IntDigits > 0 ? IntDigits - 1 : -ZerosAfterPoint - 1; }
};

// Longest exponent that still matters; larger ones saturate.
const long ExponentCap = 100000;

// Scans digits with an optional point; returns the end, or none without a digit.
const char* scanDigits(const char* p, DecimalS& number) {
    bool sawDigit = false;
    bool afterPoint = false;
    for (;; ++p) {
        if (*p == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!isDigit(*p)) break;
        sawDigit = true;
        int digit = *p - '0';
        if (!number.NonZero && digit == 0) {
            if (afterPoint) {
                ++number.ZerosAfterPoint;
                --number.Exponent10;
            }
            continue;
        }
        number.NonZero = true;
        if (!afterPoint) ++number.IntDigits;
        if (number.KeptDigits < 19) {
            number.Mantissa = number.Mantissa * 10 + static_cast<uint64_t>(digit);
            ++number.KeptDigits;
            if (afterPoint) --number.Exponent10;
        } else {
            if (!afterPoint) ++number.Exponent10;
            if (digit != 0) number.AllKept = false;
        }
    }
    return sawDigit ? p : nullptr;
}

// Scans an exponent part; returns where the number ends.
const char* scanExponent(const char* p, long& exponent) {
    exponent = 0;
    if (*p != 'e' && *p != 'E') return p;
    const char* q = p + 1;
    bool negative = *q == '-';
    if (*q == '+' || *q == '-') ++q;
    if (!isDigit(*q)) return p;  // "1e" and "1e+" end before the e
    for (; isDigit(*q); ++q) {
        if (exponent < ExponentCap) exponent = exponent * 10 + (*q - '0');
    }
    if (negative) exponent = -exponent;
    return q;
}

// The key of mantissa * 10^power when it has one: the value times 10^18 an
// integer below KeyLimit.
bool keyOf(const DecimalS& number, long power, int64_t& magnitude) {
    if (!number.NonZero) {
        magnitude = 0;
        return true;
    }
    if (!number.AllKept) return false;
    const long shift = power + 18;  // the key is Mantissa * 10^shift
    if (shift >= 0) {
        if (shift > 18) return false;
        const uint64_t limit = static_cast<uint64_t>(KeyLimit / Powers[shift]);
        if (number.Mantissa >= limit) return false;
        magnitude = static_cast<int64_t>(number.Mantissa) * Powers[shift];
        return true;
    }
    if (shift < -18 || number.Mantissa % static_cast<uint64_t>(Powers[-shift]) != 0) return false;
    const uint64_t whole = number.Mantissa / static_cast<uint64_t>(Powers[-shift]);
    if (whole >= static_cast<uint64_t>(KeyLimit)) return false;
    magnitude = static_cast<int64_t>(whole);
    return true;
}

// The value of a datum without a key, correctly rounded: beyond the double
// range HUGE_VAL, below it 0.
double magnitudeOf(const char* digits, const char* end, const DecimalS& number, long exponent) {
    double magnitude = 0.0;
    std::from_chars_result read = std::from_chars(digits, end, magnitude);
    if (read.ec == std::errc::result_out_of_range)
        magnitude = number.magnitude() + exponent >= 0 ? HUGE_VAL : 0.0;
    return magnitude;
}

// Writes |key| as "I.FFFFFFFFFFFFFFFFFF" (18 decimals) into text; returns its end.
char* writeKey(int64_t key, char* text) {
    uint64_t magnitude = key < 0 ? 0 - static_cast<uint64_t>(key) : static_cast<uint64_t>(key);
    char* at = text;
    *at++ = static_cast<char>('0' + magnitude / static_cast<uint64_t>(KeyScale));
    *at++ = '.';
    magnitude %= static_cast<uint64_t>(KeyScale);
    for (int place = 17; place >= 0; --place) {
        at[place] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    return at + 18;
}

// The least key in [low, high] whose value passes reaches (a test that
// holds from some key on), or high when none before it does.
template <typename ReachesFn>
int64_t leastKey(int64_t low, int64_t high, ReachesFn reaches) {
    while (low < high) {
        const int64_t middle = low + (high - low) / 2;
        if (reaches(keyValue(middle))) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// The least key from which reaches holds (KeyLimit when none): searched
// near x * 10^18, a window that grows until it holds the answer.
template <typename ReachesFn>
int64_t cut(double x, ReachesFn reaches) {
    const int64_t lowest = 1 - KeyLimit;
    if (reaches(keyValue(lowest))) return lowest;
    if (!reaches(keyValue(KeyLimit - 1))) return KeyLimit;
    // Both ends lie within the keys: x is a finite number below 9 in magnitude.
    const double guess = x * static_cast<double>(KeyScale);
    int64_t middle = static_cast<int64_t>(guess);
    for (int64_t reach = 4096;; reach *= 16) {
        const int64_t low = middle - reach > lowest ? middle - reach : lowest;
        const int64_t high = middle + reach < KeyLimit - 1 ? middle + reach : KeyLimit - 1;
        if (!reaches(keyValue(low)) && reaches(keyValue(high))) return leastKey(low, high, reaches);
    }
}

// A scaled magnitude times 10^exponent, when that stays exact and below
// KeyLimit.
bool scaleKey(int64_t& magnitude, long exponent) {
    if (exponent == 0 || magnitude == 0) return true;
    if (exponent > 0) {
        if (exponent > 18 || magnitude >= KeyLimit / Powers[exponent]) return false;
        magnitude *= Powers[exponent];
        return true;
    }
    if (exponent < -18 || magnitude % Powers[-exponent] != 0) return false;
    magnitude /= Powers[-exponent];
    return true;
}

// The decimals at text (more than 18: 19) and, for at most 18, their share
// of a key: a digit at a time.
unsigned byteDecimals(const char* text, uint64_t& fraction) {
    uint64_t digits = 0;
    unsigned count = 0;
    for (; isDigit(text[count]); ++count) {
        if (count == 18) return 19;
        digits = digits * 10 + static_cast<uint64_t>(text[count] - '0');
    }
    fraction = digits * static_cast<uint64_t>(Powers[18 - count]);
    return count;
}

// The same, sixteen digits at a time: text can be read 16 bytes past its
// end.
unsigned paddedDecimals(const char* text, uint64_t& fraction) {
    unsigned count = static_cast<unsigned>(__builtin_ctz(~detail::digitBits(text)));
    if (count == 16) count += static_cast<unsigned>(__builtin_ctz(~detail::digitBits(text + 16)));
    if (count > 18) return 19;
    fraction = detail::decimalsKey(text, count < 16 ? count : 16);
    if (count > 16) fraction += static_cast<uint64_t>(text[16] - '0') * 10;
    if (count > 17) fraction += static_cast<uint64_t>(text[17] - '0');
    return count;
}

// Past the zeros at text. Padded (text readable 16 bytes past its end),
// eight at a time, without a loop whose end a mix of spellings would
// mispredict; else byte by byte.
const char* skipZeros(const char* text, bool padded) {
    if (!padded) {
        while (*text == '0') ++text;
        return text;
    }
    for (;; text += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, text, sizeof bytes);
        const uint64_t others = bytes ^ 0x3030303030303030ull;  // nonzero where no '0' stands
        if (others != 0) return text + __builtin_ctzll(others) / 8;
    }
}

// The spellings of nearly every datum, in one sweep: at most one significant
// digit before the point, at most 18 after it, any exponent that keeps the
// key exact. Keyed or NotANumber when it tells; Valued when the general
// reader must.
FormE commonKey(const char* p, int64_t& magnitude, bool padded) {
    const char* at = skipZeros(p, padded);
    bool digits = at != p;
    int64_t whole = 0;
    if (isDigit(*at)) {
        whole = *at++ - '0';
        if (whole > 8 || isDigit(*at)) return Valued;  // keys lie below 9
        digits = true;
    }
    uint64_t fraction = 0;  // the decimals' share of the key
    if (*at == '.') {
        ++at;
        const unsigned decimals =
            padded ? paddedDecimals(at, fraction) : byteDecimals(at, fraction);
        if (decimals > 18) return Valued;
        at += decimals;
        digits = digits || decimals > 0;
    }
    if (!digits) return NotANumber;
    long exponent;
    scanExponent(at, exponent);
    magnitude = whole * KeyScale + static_cast<int64_t>(fraction);
    return scaleKey(magnitude, exponent) ? Keyed : Valued;
}

}  // namespace

namespace detail {

FormE readAny(const char* text, int64_t& key, double& value, bool padded) {
    const char* p = text;
    while (isDatumBlank(*p)) ++p;
    const bool negative = *p == '-';
    p += unsigned{negative} | unsigned{*p == '+'};  // no branch: data of many spellings mix signs
    int64_t magnitude = 0;
    const FormE common = commonKey(p, magnitude, padded);
    if (common != Valued) {
        key = negative ? -magnitude : magnitude;
        return common;
    }
    DecimalS number;
    const char* digitsEnd = scanDigits(p, number);
    if (digitsEnd == nullptr) return NotANumber;
    long exponent = 0;
    const char* end = scanExponent(digitsEnd, exponent);
    if (keyOf(number, number.Exponent10 + exponent, magnitude)) {
        key = negative ? -magnitude : magnitude;
        return Keyed;
    }
    const double converted = magnitudeOf(p, end, number, exponent);
    value = negative ? -converted : converted;
    return Valued;
}

}  // namespace detail

double keyValue(int64_t key) {
    char text[24];
    char* end = writeKey(key, text);
    double magnitude = 0.0;
    std::from_chars(text, end, magnitude);
    return key < 0 ? -magnitude : magnitude;
}

int64_t cutAtLeast(double x) {
    return cut(x, [x](double value) { return value >= x; });
}

int64_t cutAbove(double x) {
    return cut(x, [x](double value) { return value > x; });
}

// x * 10^18 in doubles lies within 1,000 of the exact product (|x| < 8),
// and the least key that reaches x lies at most half a unit of x's last
// place (under 900) below that product: 4,096 below it is safely at or
// below the cut.
int64_t cutAtMost(double x) {
    if (!(x > -8.0 && x < 8.0)) return cutAtLeast(x);
    return static_cast<int64_t>(x * static_cast<double>(KeyScale)) - 4096;
}

bool datumValue(const char* text, double& value) {
    int64_t key;
    switch (detail::readAny(text, key, value)) {
        case Keyed:
            value = keyValue(key);
            // A minus before a zero stays in its double.
            if (key == 0 && *skipDatumBlanks(text) == '-') value = -0.0;
            return true;
        case Valued:
            return true;
        default:
            return false;
    }
}

bool headerNumber(const char* text, uint32_t& value) {
    const char* p = skipBlanks(text);
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!isDigit(*p)) return false;
    const uint64_t Largest = 0xFFFFFFFFu;
    uint64_t number = 0;
    for (; isDigit(*p); ++p) {
        if (number <= Largest) number = number * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (number > Largest) {
        value = 0xFFFFFFFFu;
    } else {
        value = static_cast<uint32_t>(number);
        if (negative) value = 0u - value;
    }
    return true;
}

bool headerWord(const char* text, char* word, std::size_t size) {
    const char* p = skipBlanks(text);
    if (*p == '\0' || size == 0) return false;
    std::size_t length = 0;
    while (p[length] != '\0' && !isBlank(p[length])) ++length;
    if (length > size - 1) length = size - 1;
    std::memcpy(word, p, length);
    word[length] = '\0';
    return true;
}

}  // namespace spelling
