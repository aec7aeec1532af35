#pragma once
// A file's reads taken a window at a time. The reader fetches a file into
// windows of its bytes, each starting where a read starts (after a line
// feed, or after 47 characters of a line); a window's reads depend on its
// bytes alone, so two threads can split windows into reads at once, each
// read exactly as FileReadC delivers it. What a pass does with a window's
// reads, on either thread, and how it takes the results in order, on the
// pass's thread, is its WindowJobC.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/RunModeC.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace readwindows {

// Characters per read, the line feed included: the header limits' read
// size less its terminator.
const std::size_t ReadMax = HeaderLimitsS::LineReadSize - 1;
// A byte that ends the file, as text mode reads it.
const unsigned char CtrlZ = 26;

// Where a read ends, as text mode cuts bytes into reads: the one rule that
// every reading of the engine follows. The read that begins at
// bytes[from] (or goes on there with already characters) ends after a line
// feed or after its ReadMax-th character, CRs being dropped and not
// counted; a Ctrl-Z ends the file before it; the bytes may end first.
struct ReadCutS {
    enum EndE { LineFeed, Full, AtCtrlZ, Open };
    std::size_t End;         // one past its last byte; the Ctrl-Z's place, or end
    std::size_t Characters;  // its characters, already ones included
    EndE How;
};

// Where the window ring cuts a window, the bytes after a Ctrl-Z are never
// read: it may count a Ctrl-Z as any other character (CtrlZCounts), so that
// what moves on to the next window stays shorter than a read.
enum CtrlZE { CtrlZEnds, CtrlZCounts };
inline ReadCutS cutRead(const unsigned char* bytes, std::size_t from, std::size_t end,
                        std::size_t already = 0, CtrlZE ctrlZ = CtrlZEnds) {
    std::size_t characters = already;
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time while they lie before end: the bytes before the
    // first CR, line feed or Ctrl-Z among them are characters, with no test
    // each; that byte is then taken as the loop below would take it.
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i ctrlz = _mm_set1_epi8(static_cast<char>(CtrlZ));
    while (end - i >= 16) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i stops =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(group, cr), _mm_cmpeq_epi8(group, lf)),
                         _mm_cmpeq_epi8(group, ctrlz));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stops));
        const std::size_t plain = mask != 0 ? static_cast<std::size_t>(__builtin_ctz(mask)) : 16;
        if (characters + plain >= ReadMax)
            return {i + (ReadMax - characters), ReadMax, ReadCutS::Full};
        characters += plain;
        i += plain;
        if (plain == 16) continue;
        const unsigned char c = bytes[i++];
        if (c == '\r') {
            // CR LF, the usual pair, without another group.
            if (i < end && bytes[i] == '\n') return {i + 1, characters + 1, ReadCutS::LineFeed};
            continue;
        }
        if (c == '\n') return {i, characters + 1, ReadCutS::LineFeed};
        if (ctrlZ == CtrlZEnds) return {i - 1, characters, ReadCutS::AtCtrlZ};
        if (++characters == ReadMax) return {i, characters, ReadCutS::Full};
    }
#endif
    for (; i < end; ++i) {
        const unsigned char c = bytes[i];
        if (c == '\r') continue;
        if (c == CtrlZ && ctrlZ == CtrlZEnds) return {i, characters, ReadCutS::AtCtrlZ};
        ++characters;
        if (c == '\n') return {i + 1, characters, ReadCutS::LineFeed};
        if (characters == ReadMax) return {i + 1, characters, ReadCutS::Full};
    }
    return {end, characters, ReadCutS::Open};
}

// Whether the read from bytes[from] that cut ends (already characters
// before from) lies as it stands: no CR in it, or one just before its line
// feed. Most reads do.
inline bool readAsItStands(const unsigned char* bytes, std::size_t from, const ReadCutS& cut,
                           std::size_t already = 0) {
    const std::size_t crs = cut.End - from - (cut.Characters - already);
    return crs == 0 || (crs == 1 && cut.How == ReadCutS::LineFeed && bytes[cut.End - 2] == '\r');
}

// Copies the characters of bytes[from, end) to out (the CRs dropped);
// returns how many.
inline std::size_t copyRead(const unsigned char* bytes, std::size_t from, std::size_t end,
                            char* out) {
    std::size_t length = 0;
    for (std::size_t i = from; i < end; ++i)
        if (bytes[i] != '\r') out[length++] = static_cast<char>(bytes[i]);
    return length;
}

// How the scan of a window ended: Reads reads taken, the first read not
// taken starting at StopAt. Whole when every read up to the window's end was
// taken (StopAt is then its end).
struct ScanEndS {
    uint32_t Reads;
    std::size_t StopAt;
    bool Whole;
};

// One window as a scan sees it: the bytes of slot Slot from From to Cut,
// readable 64 bytes past Cut, and room for what the scan finds: Scratch,
// ScratchWords words, at least one bit per read.
struct WindowS {
    int Slot;
    const unsigned char* Bytes;
    std::size_t From;
    std::size_t Cut;
    uint64_t* Scratch;
    std::size_t ScratchWords;
};

// What a pass does with windows, up to readsLeft reads. scan runs on the
// pass's thread or the worker and touches only the window and the job's
// results for its slot; merge runs on the pass's thread, window after
// window in file order.
class WindowJobC {
  public:
    enum Then { GoOn, Stop, Quit };
    struct MergeS {
        Then Next;
        uint32_t Reads;      // reads taken from the window
        std::size_t StopAt;  // with Stop: where the reader goes on
    };
    explicit WindowJobC(uint32_t readsLeft) : ReadsLeft(readsLeft) {}

    // The window is about to be handed out for scanning (pass's thread).
    virtual void published(const WindowS&) {}
    // Takes the window's reads, at most maxReads of them.
    virtual ScanEndS scan(const WindowS& window, uint32_t maxReads) = 0;
    // Takes the results of a scanned window, up to the last read the pass
    // may take (scanned again when the window holds more): GoOn when all its
    // reads were taken and the next window follows, Stop when the pass goes
    // on the sequential way from StopAt in this window, Quit when a quit
    // stops it.
    MergeS merge(const WindowS& window, ScanEndS end) {
        if (end.Reads > ReadsLeft) end = scan(window, ReadsLeft);
        if (!take(window, end.Reads)) return {Quit, 0, 0};
        ReadsLeft -= end.Reads;
        return {end.Whole && ReadsLeft > 0 ? GoOn : Stop, end.Reads, end.StopAt};
    }
    // Reads the pass may still take; a window scanned when every window
    // before it has been merged takes no more.
    uint32_t readsLeft() const { return ReadsLeft; }

  protected:
    // Takes the results of the window's first reads into the pass (its
    // thread, in file order); false when a quit stops it.
    virtual bool take(const WindowS& window, uint32_t reads) = 0;
    ~WindowJobC() = default;

  private:
    uint32_t ReadsLeft;
};

// The bytes are looked at a group at a time, one bit per byte in a mask of
// the machine's word: 64 bytes on 64-bit targets, 32 on 32-bit ones.
#if defined(__x86_64__)
using MaskT = uint64_t;
#else
using MaskT = uint32_t;
#endif
const std::size_t GroupBytes = sizeof(MaskT) * 8;

inline std::size_t lowestBit(MaskT mask) {
    return static_cast<std::size_t>(GroupBytes == 64 ? __builtin_ctzll(mask)
                                                     : __builtin_ctz(static_cast<uint32_t>(mask)));
}
inline std::size_t highestBit(MaskT mask) {
    return GroupBytes - 1 -
           static_cast<std::size_t>(GroupBytes == 64 ? __builtin_clzll(mask)
                                                     : __builtin_clz(static_cast<uint32_t>(mask)));
}

inline MaskT lowBits(std::size_t count) {
    return count >= GroupBytes ? ~MaskT{0} : (MaskT{1} << count) - 1;
}
// The bits from the lowest through bit (below GroupBytes), without a
// branch: where a group's last line ends varies, and ends at its last byte
// in one group of a dozen or so.
inline MaskT bitsThrough(std::size_t bit) {
    return (MaskT{2} << bit) - 1;
}

#if defined(__SSE2__)
// part(16 bytes) for each 16 bytes of a group, as one mask.
template <typename PartFn>
inline MaskT groupBits(const unsigned char* at, PartFn part) {
    const auto bits = [&at, &part](std::size_t offset) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
        return static_cast<MaskT>(unsigned(_mm_movemask_epi8(part(group))) & 0xFFFF) << offset;
    };
    MaskT mask = bits(0) | bits(16);
    if constexpr (GroupBytes == 64) mask |= bits(32) | bits(48);
    return mask;
}

// The bytes of a group equal to c.
inline MaskT bytesEqual(const unsigned char* at, char c) {
    const __m128i wanted = _mm_set1_epi8(c);
    return groupBits(at, [&wanted](__m128i group) { return _mm_cmpeq_epi8(group, wanted); });
}
#else
inline MaskT bytesEqual(const unsigned char* at, char c) {
    MaskT bits = 0;
    for (std::size_t i = 0; i < GroupBytes; ++i)
        bits |= MaskT(at[i] == static_cast<unsigned char>(c)) << i;
    return bits;
}
#endif

// Whether a line feed lies among the 16 bytes at text.
inline bool lineFeedWithin16(const unsigned char* text) {
#if defined(__SSE2__)
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(group, _mm_set1_epi8('\n'))) != 0;
#else
    return std::memchr(text, '\n', 16) != nullptr;
#endif
}

// What a group's bytes are: line feeds, CRs, and bytes that a line of data
// spelled the common way does not hold (anything but digits, '-', '.' and
// line ends). Bits at and past span are clear.
struct GroupMasksS {
    MaskT LineFeeds;
    MaskT Crs;
    MaskT Others;
};

inline GroupMasksS groupMasks(const unsigned char* at, std::size_t span) {
    const MaskT valid = lowBits(span);
    const MaskT lineFeeds = bytesEqual(at, '\n') & valid;
    const MaskT crs = bytesEqual(at, '\r') & valid;
#if defined(__SSE2__)
    const MaskT data = groupBits(at, [](__m128i group) {
        return _mm_and_si128(_mm_cmpgt_epi8(group, _mm_set1_epi8('-' - 1)),
                             _mm_cmplt_epi8(group, _mm_set1_epi8('9' + 1)));
    });
#else
    MaskT data = 0;
    for (std::size_t i = 0; i < GroupBytes; ++i) data |= MaskT(at[i] >= '-' && at[i] <= '9') << i;
#endif
    return {lineFeeds, crs, ~(data | lineFeeds | crs) & valid};
}

// The bytes that keep a line from being handed out where it lies: a Ctrl-Z,
// or a CR that is not right before a line feed (text mode drops it, so the
// read is not the bytes as they lie).
inline MaskT oddBytes(const unsigned char* at, const GroupMasksS& masks) {
    const MaskT lone = masks.Crs & ~(masks.LineFeeds >> 1);
    const MaskT ctrlZs = masks.Others != 0 ? bytesEqual(at, static_cast<char>(CtrlZ)) : 0;
    return lone | ctrlZs;
}

// A datum spelled [-]0.dd... or [-].dd... (the sign a minus, at least one
// digit after a lone point, no exponent) lies in [0.dd, 0.dd + 0.01),
// whatever follows its first two decimals: a tally can often tell from
// those alone where it lies against its thresholds (prefix classes),
// without reading it. The class of a positive datum with first decimals dd
// is Prefixes[dd], of any negative one Prefixes[100], of any other
// Prefixes[101] (always ReadDatum): ReadDatum (0) when it must be read;
// otherwise Told with the bits the tally notes of such a datum, AboveBit
// and MarkBit (Low: neither, High: both).
const unsigned NegativePrefix = 100;
enum PrefixClassE : uint8_t {
    ReadDatum = 0,
    AboveBit = 1,
    MarkBit = 2,
    Told = 4,
    Low = Told,
    High = Told | AboveBit | MarkBit
};

// The index of the datum at text in a table of prefix classes, or NoPrefix
// (whose class is ReadDatum) when its spelling is not one of those.
// Without a branch: most lines of a wave come here. text can be read 8
// bytes far.
const unsigned NoPrefix = 101;
const unsigned PrefixCount = NoPrefix + 1;
inline unsigned prefixOf(const unsigned char* text) {
    const bool negative = text[0] == '-';
    // The four bytes after the sign, the first the lowest: a 32-bit word,
    // which a 32-bit build shifts as cheaply as a 64-bit one.
    uint32_t bytes;
    std::memcpy(&bytes, text + unsigned{negative}, sizeof bytes);
    // "0.d...", most data, or else ".d...": the first decimal's place. The
    // prefix is worked out before the sign is looked at, so that choosing
    // takes no branch (half the data of a wave are negative).
    const bool zeroPoint = (bytes & 0xFFFF) == ('0' | '.' << 8);
    if (__builtin_expect(!zeroPoint, 0) && (bytes & 0xFF) != '.') return NoPrefix;
    const unsigned shift = __builtin_expect(zeroPoint, 1) ? 16 : 8;
    const unsigned first = unsigned(bytes >> shift & 0xFF) - unsigned{'0'};
    const unsigned second = unsigned(bytes >> (shift + 8) & 0xFF) - unsigned{'0'};
    if (__builtin_expect(!zeroPoint, 0) && first > 9) return NoPrefix;
    const unsigned positive = first > 9 ? 0 : first * 10 + (second > 9 ? 0 : second);
    return negative ? NegativePrefix : positive;
}

// What a group's bytes are for reading a datum of any spelling in it
// (anyPrefixOf): digits, digits but zero, points, exponent letters ('e',
// 'E'), and the white space a datum may start with (a line feed is none).
struct SpellingMasksS {
    MaskT Digits;
    MaskT NonZeros;
    MaskT Points;
    MaskT Es;
    MaskT Blanks;
};

inline SpellingMasksS spellingMasks(const unsigned char* at) {
    SpellingMasksS masks{};
#if defined(__SSE2__)
    const auto within = [](__m128i bytes, char from, char to) {
        return _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(char(from - 1))),
                             _mm_cmplt_epi8(bytes, _mm_set1_epi8(char(to + 1))));
    };
#pragma GCC unroll 4
    for (std::size_t offset = 0; offset < GroupBytes; offset += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
        const auto bits = [offset](__m128i set) {
            return static_cast<MaskT>(unsigned(_mm_movemask_epi8(set)) & 0xFFFF) << offset;
        };
        const __m128i controls =
            _mm_andnot_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')), within(bytes, '\t', '\r'));
        masks.Digits |= bits(within(bytes, '0', '9'));
        masks.NonZeros |= bits(within(bytes, '1', '9'));
        masks.Points |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
        masks.Es |=
            bits(_mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8('e')));
        masks.Blanks |= bits(_mm_or_si128(controls, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))));
    }
#else
    for (std::size_t i = 0; i < GroupBytes; ++i) {
        const unsigned char c = at[i];
        const MaskT bit = MaskT{1} << i;
        masks.Digits |= c >= '0' && c <= '9' ? bit : 0;
        masks.NonZeros |= c >= '1' && c <= '9' ? bit : 0;
        masks.Points |= c == '.' ? bit : 0;
        masks.Es |= (c | 0x20) == 'e' ? bit : 0;
        masks.Blanks |= c == ' ' || (c >= '\t' && c <= '\r' && c != '\n') ? bit : 0;
    }
#endif
    return masks;
}

// The bits of a group's mask from bit n on (n below GroupBytes).
inline MaskT bitsFrom(std::size_t n) {
    return ~MaskT{0} << n;
}

// The exponent of a datum whose digits end at at, a group's byte (0 when
// no 'e' or 'E' there is followed by a digit: the letter is then text after
// the datum); false when it has more than three digits, which a wave's data
// never need. Without a branch but that one: a datum of many spellings has
// an exponent or not, of either sign, as it comes.
__attribute__((always_inline)) inline bool exponentAt(const unsigned char* group,
                                                      const SpellingMasksS& masks, std::size_t at,
                                                      int& exponent) {
    const unsigned lettered = unsigned(masks.Es >> at) & 1;
    const unsigned char sign = group[at + 1];
    const int negative = int(lettered & unsigned(sign == '-'));
    const std::size_t digitsAt = at + lettered * (1 + unsigned(sign == '-' || sign == '+'));
    const std::size_t count = lowestBit(~masks.Digits & bitsFrom(digitsAt)) - digitsAt;
    if (count > 3) return false;
    uint32_t word;
    std::memcpy(&word, group + digitsAt, sizeof word);
    // The digits' values, the last in the third byte: a borrow from a
    // byte past them reaches only the bytes past it.
    word = ((word - 0x30303030u) & ~(~uint32_t{0} << (8 * count))) << (8 * (3 - count));
    const int value = int(word & 0xFF) * 100 + int(word >> 8 & 0xFF) * 10 + int(word >> 16 & 0xFF);
    exponent = (value ^ -negative) + negative;
    return true;
}

// The index in a table of prefix classes (prefixOf's) of the datum of any
// spelling that readDatum reads, one that starts at start in a group and
// ends at a line feed in it (masks the group's): its value lies where a
// datum spelled [-]0.dd... with that prefix lies, a negative one in (-1,
// 0], a positive one in [0.dd, 0.dd + 0.01) (correct rounding keeps it
// there as a double). NoPrefix when no number can be read there, when it
// lies at 1 or beyond on either side, or when its exponent has more than
// three digits: it is then read. Without a branch on what a datum's
// spelling holds (zeros only or not, where its point stands), as data of
// many spellings come in any order. The group can be read GroupBytes + 4
// bytes far.
__attribute__((always_inline)) inline unsigned anyPrefixOf(const unsigned char* group,
                                                           const SpellingMasksS& masks,
                                                           std::size_t start) {
    // White space, a sign, then digits with at most one point.
    const std::size_t lead = lowestBit(~masks.Blanks & bitsFrom(start));
    const unsigned char first = group[lead];
    const bool negative = first == '-';
    const MaskT from = bitsFrom(lead + unsigned(negative || first == '+'));
    const MaskT numberBytes = (masks.Digits | masks.Points) & from;
    const std::size_t runEnd = lowestBit(~numberBytes & from);  // at the line feed at the latest
    const MaskT runPoints = masks.Points & numberBytes & ~bitsFrom(runEnd);
    const MaskT digitsEnd = (runPoints & (runPoints - 1)) | (MaskT{1} << runEnd);
    const std::size_t end = lowestBit(digitsEnd);  // at a second point, if any
    const MaskT number = from & ~bitsFrom(end);
    const MaskT digits = masks.Digits & number;
    int exponent;
    if (digits == 0 || !exponentAt(group, masks, end, exponent)) return NoPrefix;
    // The place of the leading digit (0 for units, -1 for tenths); a zero
    // takes the end as its leading digit, and no place.
    const MaskT nonZeros = masks.NonZeros & number;
    const bool zero = nonZeros == 0;
    const std::size_t point = lowestBit((runPoints & number) | digitsEnd);
    const std::size_t leading = lowestBit(nonZeros | digitsEnd);
    const int placed = int(point) - int(leading) - int(leading < point) + exponent;
    const int place = placed ^ ((placed ^ -3) & -int(zero));  // zero ? -3 : placed, no branch
    if (place >= 0) return NoPrefix;
    const unsigned firstDigit = unsigned(group[leading]) - '0';
    const unsigned next =
        unsigned(group[lowestBit((digits & bitsFrom(leading) << 1) | digitsEnd)]) - '0';
    const unsigned twoDigits = firstDigit * 10 + (next > 9 ? 0 : next);  // none: 0
    const unsigned positive =
        (twoDigits & (0 - unsigned(place == -1))) | (firstDigit & (0 - unsigned(place == -2)));
    return negative ? NegativePrefix : positive;
}

// The prefix that anyPrefixOf gives a datum spelled as printf's "%e"
// writes it, [-+]d.d...e[-+]dd with a first digit that is not zero and two
// or three digits in its exponent, of a line from start to its line feed at
// end in a group (a CR may stand before it); NotExponentForm for a line of
// any other spelling. A file of such data (as numerical programs write by
// default) has each line placed from where its letter stands and its
// exponent, in about 60% of anyPrefixOf's instructions.
const unsigned NotExponentForm = ~0u;
// The prefixes of data in that form, by sign, exponent and first two
// digits (the one before the point and the one after it): of a negative
// datum NegativePrefix; of a positive one with exponent -1 its two digits,
// with -2 its first, with -3 or less 0; of a datum with exponent 0
// NoPrefix, as it lies at 1 or beyond (as does one whose exponent has a
// '+', which exponentFormValue tells before it looks here).
struct ExponentPrefixesS {
    uint8_t Prefixes[4][2][128];  // [exponent, at most 3][negative][digits], rows of 128: shifts
};
constexpr ExponentPrefixesS exponentPrefixes() {
    ExponentPrefixesS table{};
    for (unsigned digits = 0; digits < 100; ++digits) {
        const uint8_t positive[4] = {uint8_t(NoPrefix), uint8_t(digits), uint8_t(digits / 10), 0};
        for (unsigned exponent = 0; exponent < 4; ++exponent) {
            table.Prefixes[exponent][0][digits] = positive[exponent];
            table.Prefixes[exponent][1][digits] = exponent == 0 ? NoPrefix : NegativePrefix;
        }
    }
    return table;
}
inline constexpr ExponentPrefixesS ExponentPrefixes = exponentPrefixes();
// The prefix of a datum in that form: lead at its first digit, stop past
// its exponent's last digit, which has three digits or two, sign its sign.
// From a table, without a branch on the data's signs or exponents, which
// come at random in noise.
__attribute__((always_inline)) inline unsigned exponentFormValue(const unsigned char* lead,
                                                                 const unsigned char* stop,
                                                                 bool threeDigits,
                                                                 unsigned char sign,
                                                                 bool negative) {
    const unsigned hundreds = threeDigits ? unsigned(stop[-3] - '0') : 0;
    const unsigned exponent =
        hundreds * 100 + unsigned(stop[-2] - '0') * 10 + unsigned(stop[-1] - '0');
    if (sign == '+') return NoPrefix;  // at 1 or beyond
    const unsigned digits = unsigned(lead[0] - '0') * 10 + unsigned(lead[2] - '0');
    return ExponentPrefixes.Prefixes[exponent < 3 ? exponent : 3][negative][digits];
}
__attribute__((always_inline)) inline unsigned exponentFormPrefix(const unsigned char* group,
                                                                  const SpellingMasksS& masks,
                                                                  std::size_t start,
                                                                  std::size_t end) {
    if (end < start + 7) return NotExponentForm;  // "d.de-dd" at least
    const std::size_t stop = end - unsigned(group[end - 1] == '\r');
    const unsigned char first = group[start];
    const std::size_t lead = start + unsigned(first == '-' || first == '+');
    const std::size_t letter = stop - 5 + ((masks.Es >> (stop - 4)) & 1);
    const unsigned char sign = group[letter + 1];
    // The first digit, those after the point, those of the exponent.
    const MaskT digits = (MaskT{1} << lead) | (bitsFrom(lead + 2) & lowBits(letter)) |
                         (bitsFrom(letter + 2) & lowBits(stop));
    if (letter < lead + 3 || ((masks.Es >> letter) & (masks.Points >> (lead + 1)) & 1) == 0 ||
        (masks.Digits & digits) != digits || (sign != '-' && sign != '+') || group[lead] == '0')
        return NotExponentForm;
    return exponentFormValue(group + lead, group + stop, letter + 5 == stop, sign, first == '-');
}

// The shapes of lines spelled as printf's "%e" writes data with exponents
// of two digits, [-+]d.d...e[-+]dd: for each length (the bytes before the
// line feed), with a CR before the line feed or not and a sign first or
// not, the bytes each place may hold, every digit made a '0'
// (exponentShapeBits): one in Bytes, another or the same in Others (a
// '+' for a '-', an 'E' for an 'e'). A length that no such line has gets
// a shape that no line has.
struct ExponentShapeS {
    unsigned char Bytes[32];
    unsigned char Others[32];
};
struct ExponentShapesS {
    static const std::size_t Longest = 31;
    static std::size_t index(std::size_t length, bool sign, bool cr) {
        return length * 4 + unsigned(sign) * 2 + unsigned(cr);
    }
    alignas(64) ExponentShapeS Shapes[(Longest + 1) * 4];  // a shape to a cache line
};
ExponentShapesS exponentShapes();
inline const ExponentShapesS ExponentShapes = exponentShapes();

// A bit for each of the 32 bytes at text that, a digit made a '0', is one
// of the bytes that shape allows there.
inline uint32_t exponentShapeBits(const unsigned char* text, const ExponentShapeS& shape) {
#if defined(__SSE2__)
    const auto half = [text, &shape](std::size_t offset) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + offset));
        const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                             _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
        const __m128i made = _mm_or_si128(_mm_andnot_si128(digits, bytes),
                                          _mm_and_si128(digits, _mm_set1_epi8('0')));
        const auto allowed = [&made, offset](const unsigned char* wanted) {
            return _mm_cmpeq_epi8(
                made, _mm_loadu_si128(reinterpret_cast<const __m128i*>(wanted + offset)));
        };
        const __m128i fits = _mm_or_si128(allowed(shape.Bytes), allowed(shape.Others));
        return uint32_t(unsigned(_mm_movemask_epi8(fits)) & 0xFFFF) << offset;
    };
    return half(0) | half(16);
#else
    uint32_t bits = 0;
    for (unsigned i = 0; i < 32; ++i) {
        const unsigned char made = text[i] >= '0' && text[i] <= '9' ? '0' : text[i];
        bits |= uint32_t(made == shape.Bytes[i] || made == shape.Others[i]) << i;
    }
    return bits;
#endif
}

// The keys (value times 10^18) of the ends of a positive prefix: a datum
// with first decimals prefix lies at least at the first and below the
// second, so its double lies between theirs, the ends included (rounding
// keeps order), however many decimals it has.
const int64_t PrefixKeys = 10000000000000000;  // the keys of one prefix
inline int64_t prefixLeast(unsigned prefix) {
    return int64_t(prefix) * PrefixKeys;
}
inline int64_t prefixMost(unsigned prefix) {
    return int64_t(prefix + 1) * PrefixKeys;
}
// Where a key cuts the positive prefixes, whose keys grow with them: the
// first prefix whose least key reaches key; how many have their most key
// below key; how many have it at or below key (0 to NegativePrefix each).
inline unsigned prefixesClamped(int64_t count) {
    return count < 0 ? 0 : count > NegativePrefix ? NegativePrefix : unsigned(count);
}
inline int64_t prefixStepsUp(int64_t key) {  // key / PrefixKeys rounded up
    return key / PrefixKeys + (key % PrefixKeys > 0);
}
inline unsigned firstPrefixFrom(int64_t key) {
    return prefixesClamped(prefixStepsUp(key));
}
inline unsigned prefixesBelow(int64_t key) {
    return prefixesClamped(prefixStepsUp(key) - 1);
}
inline unsigned prefixesUpTo(int64_t key) {  // rounded to 0: no negative key reaches one
    return prefixesClamped(key / PrefixKeys);
}

// The positive prefixes whose class is Low (those below LowBelow) and High
// (from HighFrom to below HighTo), and whether negative data are Low: a
// table's classes as ranges, so that a whole group's data can be placed
// at once. Prefixes outside these ranges are left to the table.
struct PrefixRangesS {
    uint8_t LowBelow = 0;
    uint8_t HighFrom = 0;
    uint8_t HighTo = 0;
    bool NegativeLow = false;
    bool Quiet = false;  // quietRanges: told here once, not for every group
};
// Whether all of the ranges' prefixes lie below 10 (data under 0.1, a quiet
// file): a line is then Low or High by its first decimal, a zero, and the
// digit after it alone, so that quietToldMasks can place a group with a
// few comparisons per byte instead of each byte's number.
inline bool quietRanges(const PrefixRangesS& ranges) {
    return ranges.LowBelow >= 1 && ranges.LowBelow <= 10 &&
           (ranges.HighFrom == ranges.HighTo || ranges.HighTo <= 10);
}
inline PrefixRangesS prefixRanges(const uint8_t* classes) {
    PrefixRangesS ranges;
    unsigned prefix = 0;
    while (prefix < NegativePrefix && classes[prefix] == Low) ++prefix;
    ranges.LowBelow = uint8_t(prefix);
    while (prefix < NegativePrefix && classes[prefix] != High) ++prefix;
    ranges.HighFrom = uint8_t(prefix);
    while (prefix < NegativePrefix && classes[prefix] == High) ++prefix;
    ranges.HighTo = uint8_t(prefix);
    ranges.NegativeLow = classes[NegativePrefix] == Low;
    ranges.Quiet = quietRanges(ranges);
    return ranges;
}

// Whether the lines ending in a group, up to its last line feed, hold
// only what data spelled the common way hold (no exponent), CRs only before
// line feeds, and at most PlainLine bytes each: no PlainLine + 1 bytes in a
// row without a line feed.
const std::size_t PlainLine = 20;  // "-0.", 16 decimals, a CR
// Whether bits hold Length ones in a row (Length from 2 to GroupBytes): a
// few shifts by constants, as every group of a plain file asks it.
template <std::size_t Length>
inline bool holdsRun(MaskT bits) {
#pragma GCC unroll 8
    for (std::size_t run = 1; run < Length; run *= 2)  // runs of 2, 4, ..., Length
        bits &= bits >> (2 * run <= Length ? run : Length - run);
    return bits != 0;
}
// Whether a line as long as a read (ReadMax bytes or more before its line
// feed) ends in a group whose line feeds are lineFeeds. Such a line covers
// the bytes from GroupBytes - 1 - ReadMax to ReadMax - 1: a line feed among
// them, as in most groups, tells at once that there is none.
inline bool holdsLongLine(MaskT lineFeeds) {
    if constexpr (GroupBytes <= ReadMax) {
        return false;
    } else {
        const std::size_t from = GroupBytes - 1 - ReadMax;
        if ((lineFeeds & lowBits(ReadMax) & ~lowBits(from)) != 0 || lineFeeds >> ReadMax == 0)
            return false;
        const MaskT before = lineFeeds & lowBits(from);
        const std::size_t start = before != 0 ? highestBit(before) + 1 : 0;
        return ReadMax + lowestBit(lineFeeds >> ReadMax) - start >= ReadMax;
    }
}
inline bool commonLines(const GroupMasksS& masks) {
    const MaskT lines = lowBits(highestBit(masks.LineFeeds));
    if (((masks.Others | (masks.Crs & ~(masks.LineFeeds >> 1))) & lines) != 0) return false;
    return !holdsRun<PlainLine + 1>(~masks.LineFeeds & lines);
}

// A plain group's bytes (commonLines) for lines spelled [-]0.d...
// (takePlainLines): a bit per byte for the minuses and for the zeros
// followed by a point, and for the digits whose number (the digit times ten
// plus the next byte's digit, or plus 0 when the next is no digit) lies in
// the ranges' Low or High prefixes. The group can be read one byte past its
// end.
struct ToldMasksS {
    MaskT Minuses;
    MaskT ZeroPoints;
    MaskT Lows;
    MaskT Highs;
    MaskT Pluses;  // only in mixedMasksWide's, for bytes of any kind
};

// What a group of mixed spellings (anyLines) is looked at for: its line
// feeds and CRs, the masks of anyPrefixOf, the bytes that keep a line from
// being handed out where it lies (oddBytes), and, in the wide copy, the
// masks of toldAnyLines. Where the group holds no more of the window than
// span bytes, the line feeds and CRs past them are clear.
struct MixedMasksS {
    MaskT LineFeeds;
    MaskT Crs;
    MaskT Odd;
    SpellingMasksS Spellings;
    ToldMasksS Told;  // in the build's own copy only Minuses
};
inline MixedMasksS mixedMasks(const unsigned char* at, std::size_t span) {
    const GroupMasksS group = groupMasks(at, span);
    MixedMasksS masks{};
    masks.LineFeeds = group.LineFeeds;
    masks.Crs = group.Crs;
    masks.Odd = oddBytes(at, group);
    masks.Told.Minuses = bytesEqual(at, '-');
    masks.Spellings = spellingMasks(at);
    return masks;
}

#if defined(__SSE2__)
// The frame of toldMasks and quietToldMasks: minuses and "0." pairs,
// 16 bytes at a time, and the Low and High bytes that place(bytes, next)
// gives as byte masks (all ones where set) in a pair; the High ones only
// where AnyHigh.
template <bool AnyHigh = true, class Place>
inline ToldMasksS groupToldMasks(const unsigned char* at, Place place) {
    const __m128i zero = _mm_set1_epi8('0'), minus = _mm_set1_epi8('-');
    const __m128i point = _mm_set1_epi8('.');
    MaskT minuses = 0, zeroPoints = 0, lows = 0, highs = 0;
#pragma GCC unroll 4
    for (std::size_t offset = 0; offset < GroupBytes; offset += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset + 1));
        const auto bits = [offset](__m128i set) {
            return static_cast<MaskT>(unsigned(_mm_movemask_epi8(set)) & 0xFFFF) << offset;
        };
        minuses |= bits(_mm_cmpeq_epi8(bytes, minus));
        zeroPoints |= bits(_mm_and_si128(_mm_cmpeq_epi8(bytes, zero), _mm_cmpeq_epi8(next, point)));
        const auto lowHigh = place(bytes, next);
        lows |= bits(lowHigh.first);
        if (AnyHigh) highs |= bits(lowHigh.second);
    }
    return {minuses, zeroPoints, lows, highs, 0};
}

inline ToldMasksS toldMasks(const unsigned char* at, const PrefixRangesS& ranges) {
    const __m128i zero = _mm_set1_epi8('0');
    const __m128i lowBelow = _mm_set1_epi8(static_cast<char>(ranges.LowBelow));
    const __m128i highAbove = _mm_set1_epi8(static_cast<char>(ranges.HighFrom - 1));
    const __m128i highBelow = _mm_set1_epi8(static_cast<char>(ranges.HighTo));
    const bool highToTop = ranges.HighTo >= NegativePrefix;  // no number reaches it
    return groupToldMasks(at, [&](__m128i bytes, __m128i next) {
        // A plain group's bytes lie at or below '9': those at or above '0'
        // are digits. A byte after a digit that is none counts as 0.
        const __m128i isDigit = _mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1));
        const __m128i digit = _mm_subs_epu8(bytes, zero);
        const __m128i twice = _mm_add_epi8(digit, digit);
        const __m128i four = _mm_add_epi8(twice, twice);
        const __m128i number =
            _mm_add_epi8(_mm_add_epi8(_mm_add_epi8(four, four), twice), _mm_subs_epu8(next, zero));
        __m128i high = _mm_and_si128(isDigit, _mm_cmpgt_epi8(number, highAbove));
        if (!highToTop) high = _mm_and_si128(high, _mm_cmplt_epi8(number, highBelow));
        return std::make_pair(_mm_and_si128(isDigit, _mm_cmplt_epi8(number, lowBelow)), high);
    });
}
#else
inline ToldMasksS toldMasks(const unsigned char* at, const PrefixRangesS& ranges) {
    ToldMasksS told = {};
    for (std::size_t i = 0; i < GroupBytes; ++i) {
        const unsigned digit = at[i] - unsigned{'0'}, second = at[i + 1] - unsigned{'0'};
        const unsigned number = digit * 10 + (second <= 9 ? second : 0);
        const MaskT bit = MaskT{1} << i;
        told.Minuses |= at[i] == '-' ? bit : 0;
        told.ZeroPoints |= at[i] == '0' && at[i + 1] == '.' ? bit : 0;
        told.Lows |= digit <= 9 && number < ranges.LowBelow ? bit : 0;
        told.Highs |= digit <= 9 && number >= ranges.HighFrom && number < ranges.HighTo ? bit : 0;
    }
    return told;
}
#endif

// toldMasks for ranges that quietRanges accepts, the same masks: a byte is
// Low or High when it is a zero and the next byte, taken as a digit (0 when
// it lies below '0'), lies in the range. The group can be read one byte
// past its end.
#if defined(__SSE2__)
inline ToldMasksS quietToldMasks(const unsigned char* at, const PrefixRangesS& ranges) {
    const __m128i zero = _mm_set1_epi8('0');
    // Unsigned: the next byte lies at or below lowMost (Low), or at most
    // highMost above highLeast (High).
    const __m128i lowMost = _mm_set1_epi8(static_cast<char>('0' + ranges.LowBelow - 1));
    const __m128i highLeast = _mm_set1_epi8(static_cast<char>('0' + ranges.HighFrom));
    const __m128i highMost = _mm_set1_epi8(static_cast<char>(ranges.HighTo - ranges.HighFrom - 1));
    const auto atMost = [](__m128i x, __m128i most) {
        return _mm_cmpeq_epi8(_mm_min_epu8(x, most), x);
    };
    const auto place = [&](__m128i bytes, __m128i next) {
        const __m128i zeros = _mm_cmpeq_epi8(bytes, zero);
        return std::make_pair(
            _mm_and_si128(zeros, atMost(next, lowMost)),
            _mm_and_si128(zeros, atMost(_mm_sub_epi8(next, highLeast), highMost)));
    };
    return ranges.HighFrom < ranges.HighTo ? groupToldMasks(at, place)
                                           : groupToldMasks<false>(at, place);
}
#else
inline ToldMasksS quietToldMasks(const unsigned char* at, const PrefixRangesS& ranges) {
    return toldMasks(at, ranges);
}
#endif

// Whether the count bytes at a and at b (count at most GroupBytes) are the
// same; both can be read in 16-byte pieces past count.
inline bool sameBytes(const unsigned char* a, const unsigned char* b, std::size_t count) {
#if defined(__SSE2__)
    for (std::size_t offset = 0; offset < count; offset += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + offset));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + offset));
        const unsigned equal = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
        const unsigned wanted = count - offset >= 16 ? 0xFFFF : (1u << (count - offset)) - 1;
        if ((equal & wanted) != wanted) return false;
    }
    return true;
#else
    return std::memcmp(a, b, count) == 0;
#endif
}

// Whether the scan gathers a group's high lines into a bit per line in one
// instruction (pext): on a machine that has it quick (AMD's processors
// before family 19h have it microcoded, slower than the loop it would
// replace). A 32-bit build's groups hold four lines or so, which the loop
// takes as quickly as a call: it gathers only in its wide copy, where the
// instruction is inline. Asked once at start-up; a test turns it off to
// check the loop.
bool quickGatherHere();
inline bool QuickGather = quickGatherHere();

// Whether the scan runs its copy compiled for newer instructions than the
// build's (TALLY_WIDE_TARGET): AVX2, whose 32-byte vectors make a group's
// masks with half the instructions (groupMasksWide, toldMasksWide), the VEX
// forms of the SSE instructions, which leave their operands in place, and
// the bit instructions (counts, lowest set bits, shifts by any register). On
// a machine that has all of them and an operating system that saves the AVX
// registers. In GCC's builds nothing else is made 32 bytes wide. Asked once
// at start-up; a test turns it off to check the build's own copy.
bool quickWideHere();
inline bool QuickWide = quickWideHere();
#if defined(__clang__)
#define TALLY_WIDE_TARGET "avx,avx2,popcnt,bmi,bmi2,lzcnt"
#else
#define TALLY_WIDE_TARGET "avx,avx2,popcnt,bmi,bmi2,lzcnt,prefer-vector-width=128"
#endif

#if defined(__SSE2__)
// The wide copy's masks: groupMasks, toldMasks and quietToldMasks, the same
// masks from 32 bytes at a time.
__attribute__((target(TALLY_WIDE_TARGET))) inline MaskT wideBits(__m256i set, std::size_t offset) {
    return static_cast<MaskT>(uint32_t(_mm256_movemask_epi8(set))) << offset;
}
__attribute__((target(TALLY_WIDE_TARGET))) inline GroupMasksS groupMasksWide(
    const unsigned char* at, std::size_t span) {
    MaskT lineFeeds = 0, crs = 0, data = 0;
#pragma GCC unroll 2
    for (std::size_t offset = 0; offset < GroupBytes; offset += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
        lineFeeds |= wideBits(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\n')), offset);
        crs |= wideBits(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\r')), offset);
        data |= wideBits(_mm256_and_si256(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('-' - 1)),
                                          _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), bytes)),
                         offset);
    }
    const MaskT valid = lowBits(span);
    return {lineFeeds & valid, crs & valid, ~(data | lineFeeds | crs) & valid};
}
// The bytes the wide masks compare with, each in all 32 places of a vector
// and read from memory where it is used (wideSplat): made from an immediate
// with a move and a broadcast, each would be made again for every group of
// mixed spellings, whose masks leave no vector registers to keep them in.
// Defined out of line, so that the compiler does not make them so anyway.
struct alignas(32) SplatsS {
    static const std::size_t Bytes = 256;
    unsigned char Rows[Bytes][32];
};
extern const SplatsS Splats;
template <unsigned char C>
__attribute__((target(TALLY_WIDE_TARGET))) inline __m256i wideSplat() {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(Splats.Rows[C]));
}
// All ones in the bytes of value at most 9 (unsigned): a digit's value.
__attribute__((target(TALLY_WIDE_TARGET))) inline __m256i wideAtMostNine(__m256i value) {
    return _mm256_cmpeq_epi8(_mm256_min_epu8(value, wideSplat<9>()), value);
}
// All ones in the bytes of value at most 4 (unsigned): from a '\t' to a '\r'.
__attribute__((target(TALLY_WIDE_TARGET))) inline __m256i wideAtMostFour(__m256i value) {
    return _mm256_cmpeq_epi8(_mm256_min_epu8(value, wideSplat<4>()), value);
}
// The Low and High digits of a group's 32 bytes against the ranges' edges
// (toldMasks's lowBelow, highAbove, highBelow): those whose number, the
// digit times ten plus the next byte's digit, lies in a Low or a High prefix.
struct WideClassesS {
    __m256i Low;
    __m256i High;
};
__attribute__((target(TALLY_WIDE_TARGET))) inline WideClassesS wideNumberClasses(
    __m256i isDigit, __m256i digit, __m256i nextDigit, __m256i lowEdge, __m256i highEdge,
    __m256i highEnd, bool highToTop) {
    const __m256i twice = _mm256_add_epi8(digit, digit);
    const __m256i four = _mm256_add_epi8(twice, twice);
    const __m256i number =
        _mm256_add_epi8(_mm256_add_epi8(_mm256_add_epi8(four, four), twice), nextDigit);
    __m256i high = _mm256_and_si256(isDigit, _mm256_cmpgt_epi8(number, highEdge));
    if (!highToTop) high = _mm256_and_si256(high, _mm256_cmpgt_epi8(highEnd, number));
    return {_mm256_and_si256(isDigit, _mm256_cmpgt_epi8(lowEdge, number)), high};
}
// Quiet: quietToldMasks's masks (a zero, and the next byte against the
// ranges), else toldMasks's (each digit's number against the ranges).
template <bool Quiet>
__attribute__((target(TALLY_WIDE_TARGET))) inline ToldMasksS toldMasksWide(
    const unsigned char* at, const PrefixRangesS& ranges) {
    const __m256i zero = _mm256_set1_epi8('0');
    // Where the ranges' prefixes start and end, as the masks compare them:
    // quietToldMasks's lowMost, highLeast, highMost, or toldMasks's
    // lowBelow, highAbove, highBelow.
    __m256i lowEdge, highEdge, highEnd;
    if constexpr (Quiet) {
        lowEdge = _mm256_set1_epi8(static_cast<char>('0' + ranges.LowBelow - 1));
        highEdge = _mm256_set1_epi8(static_cast<char>('0' + ranges.HighFrom));
        highEnd = _mm256_set1_epi8(static_cast<char>(ranges.HighTo - ranges.HighFrom - 1));
    } else {
        lowEdge = _mm256_set1_epi8(static_cast<char>(ranges.LowBelow));
        highEdge = _mm256_set1_epi8(static_cast<char>(ranges.HighFrom - 1));
        highEnd = _mm256_set1_epi8(static_cast<char>(ranges.HighTo));
    }
    const bool anyHigh = ranges.HighFrom < ranges.HighTo;
    const bool highToTop = ranges.HighTo >= NegativePrefix;  // no number reaches it
    ToldMasksS told = {};
#pragma GCC unroll 2
    for (std::size_t offset = 0; offset < GroupBytes; offset += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset + 1));
        told.Minuses |= wideBits(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('-')), offset);
        const __m256i zeros = _mm256_cmpeq_epi8(bytes, zero);
        told.ZeroPoints |= wideBits(
            _mm256_and_si256(zeros, _mm256_cmpeq_epi8(next, _mm256_set1_epi8('.'))), offset);
        __m256i low, high;
        if constexpr (Quiet) {
            low = _mm256_and_si256(zeros, _mm256_cmpeq_epi8(_mm256_min_epu8(next, lowEdge), next));
            const __m256i above = _mm256_sub_epi8(next, highEdge);
            high = anyHigh ? _mm256_and_si256(
                                 zeros, _mm256_cmpeq_epi8(_mm256_min_epu8(above, highEnd), above))
                           : _mm256_setzero_si256();
        } else {
            const __m256i isDigit = _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('0' - 1));
            const __m256i digit = _mm256_subs_epu8(bytes, zero);
            const __m256i nextDigit = _mm256_subs_epu8(next, zero);
            const WideClassesS classes =
                wideNumberClasses(isDigit, digit, nextDigit, lowEdge, highEdge, highEnd, highToTop);
            low = classes.Low;
            high = classes.High;
        }
        told.Lows |= wideBits(low, offset);
        told.Highs |= wideBits(high, offset);
    }
    return told;
}
// mixedMasks with toldAnyLines's masks (toldMasksWide's for bytes of any
// kind), 32 bytes at a time, each byte compared once for each kind: a file
// of mixed spellings makes them for every group.
__attribute__((target(TALLY_WIDE_TARGET))) inline MixedMasksS mixedMasksWide(
    const unsigned char* at, std::size_t span, const PrefixRangesS& ranges) {
    const __m256i zero = wideSplat<'0'>();
    const __m256i lowEdge = _mm256_set1_epi8(static_cast<char>(ranges.LowBelow));
    const __m256i highEdge = _mm256_set1_epi8(static_cast<char>(ranges.HighFrom - 1));
    const __m256i highEnd = _mm256_set1_epi8(static_cast<char>(ranges.HighTo));
    const bool highToTop = ranges.HighTo >= NegativePrefix;  // no number reaches it
    MixedMasksS masks{};
    MaskT zeros = 0, blanks = 0, ctrlZs = 0;
#pragma GCC unroll 2
    for (std::size_t offset = 0; offset < GroupBytes; offset += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset + 1));
        masks.LineFeeds |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<'\n'>()), offset);
        masks.Crs |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<'\r'>()), offset);
        ctrlZs |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<CtrlZ>()), offset);
        const __m256i controls = wideAtMostFour(_mm256_sub_epi8(bytes, wideSplat<'\t'>()));
        blanks |=
            wideBits(_mm256_or_si256(controls, _mm256_cmpeq_epi8(bytes, wideSplat<' '>())), offset);
        const __m256i digit = _mm256_sub_epi8(bytes, zero);
        const __m256i isDigit = wideAtMostNine(digit);
        masks.Spellings.Digits |= wideBits(isDigit, offset);
        zeros |= wideBits(_mm256_cmpeq_epi8(bytes, zero), offset);
        masks.Spellings.Points |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<'.'>()), offset);
        masks.Spellings.Es |= wideBits(
            _mm256_cmpeq_epi8(_mm256_or_si256(bytes, wideSplat<0x20>()), wideSplat<'e'>()), offset);
        masks.Told.Minuses |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<'-'>()), offset);
        masks.Told.Pluses |= wideBits(_mm256_cmpeq_epi8(bytes, wideSplat<'+'>()), offset);
        __m256i nextDigit = _mm256_sub_epi8(next, zero);
        nextDigit = _mm256_and_si256(nextDigit, wideAtMostNine(nextDigit));
        const WideClassesS classes =
            wideNumberClasses(isDigit, digit, nextDigit, lowEdge, highEdge, highEnd, highToTop);
        masks.Told.Lows |= wideBits(classes.Low, offset);
        masks.Told.Highs |= wideBits(classes.High, offset);
    }
    masks.Spellings.Blanks = blanks & ~masks.LineFeeds;  // white space, but line feeds
    masks.Spellings.NonZeros = masks.Spellings.Digits & ~zeros;
    const MaskT valid = lowBits(span);
    masks.LineFeeds &= valid;
    masks.Crs &= valid;
    masks.Odd = ((masks.Crs & ~(masks.LineFeeds >> 1)) | ctrlZs) & valid;
    masks.Told.ZeroPoints = zeros & (masks.Spellings.Points >> 1);
    return masks;
}
// bytesEqual and exponentShapeBits, 32 bytes at a time.
__attribute__((target(TALLY_WIDE_TARGET))) inline MaskT wideBytesEqual(const unsigned char* at,
                                                                       char c) {
    MaskT bits = 0;
#pragma GCC unroll 2
    for (std::size_t offset = 0; offset < GroupBytes; offset += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
        bits |= wideBits(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c)), offset);
    }
    return bits;
}
__attribute__((target(TALLY_WIDE_TARGET))) inline uint32_t wideExponentShapeBits(
    const unsigned char* text, const ExponentShapeS& shape) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
    const __m256i value = _mm256_sub_epi8(bytes, _mm256_set1_epi8('0'));
    const __m256i made = _mm256_blendv_epi8(bytes, _mm256_set1_epi8('0'), wideAtMostNine(value));
    const __m256i bytesFit =
        _mm256_cmpeq_epi8(made, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shape.Bytes)));
    const __m256i othersFit =
        _mm256_cmpeq_epi8(made, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shape.Others)));
    return uint32_t(_mm256_movemask_epi8(_mm256_or_si256(bytesFit, othersFit)));
}
#else
inline MaskT wideBytesEqual(const unsigned char* at, char c) {
    return bytesEqual(at, c);
}
inline uint32_t wideExponentShapeBits(const unsigned char* text, const ExponentShapeS& shape) {
    return exponentShapeBits(text, shape);
}
inline GroupMasksS groupMasksWide(const unsigned char* at, std::size_t span) {
    return groupMasks(at, span);
}
template <bool Quiet>
inline ToldMasksS toldMasksWide(const unsigned char* at, const PrefixRangesS& ranges) {
    return Quiet ? quietToldMasks(at, ranges) : toldMasks(at, ranges);
}
// Without SSE2, toldMasks reads bytes of any kind as toldAnyLines asks: a
// digit is a byte from '0' to '9', and a next byte that is no digit counts
// as 0.
inline MixedMasksS mixedMasksWide(const unsigned char* at, std::size_t span,
                                  const PrefixRangesS& ranges) {
    MixedMasksS masks = mixedMasks(at, span);
    masks.Told = toldMasks(at, ranges);
    masks.Told.Pluses = bytesEqual(at, '+');
    return masks;
}
#endif

// The prefix (as anyPrefixOf gives it, or NoPrefix) of the line at text,
// length bytes before its line feed, when it is spelled as printf's "%e"
// writes data with exponents of two digits (its shape is one of
// ExponentShapes); NotExponentForm for a line of any other spelling or
// longer than the shapes. From the line's bytes alone, with one branch: a
// file of that form goes a line at a time (exponentLines), each line's
// place from the line feeds found before. text can be read 32 bytes far.
template <bool InWide>
__attribute__((always_inline)) inline unsigned exponentLinePrefix(const unsigned char* text,
                                                                  std::size_t length) {
    if (length - 7 > ExponentShapesS::Longest - 7) return NotExponentForm;  // "d.de-dd" at least
    const unsigned char first = text[0];
    const bool sign = first == '-' || first == '+';
    const bool cr = text[length - 1] == '\r';
    const ExponentShapeS& shape = ExponentShapes.Shapes[ExponentShapesS::index(length, sign, cr)];
    const uint32_t bits =
        InWide ? wideExponentShapeBits(text, shape) : exponentShapeBits(text, shape);
    const uint32_t wanted = uint32_t((uint64_t{2} << length) - 1);  // through the line feed
    if ((bits & wanted) != wanted) return NotExponentForm;
    const std::size_t stop = length - unsigned(cr);
    return exponentFormValue(text + unsigned(sign), text + stop, false, text[stop - 3],
                             first == '-');
}

#if defined(__x86_64__)
// The bits of bits at the places where where is set, packed from bit 0 up.
// Out of line, as only it is compiled for the instruction; call it only
// where QuickGather is true.
__attribute__((target("bmi2"), noinline)) inline MaskT gatherBits(MaskT bits, MaskT where) {
    return __builtin_ia32_pext_di(bits, where);
}
#endif

// gatherBits and a count of bits for the wide copy, which inlines them.
__attribute__((target(TALLY_WIDE_TARGET))) inline MaskT wideGatherBits(MaskT bits, MaskT where) {
#if defined(__x86_64__)
    return __builtin_ia32_pext_di(bits, where);
#else
    return __builtin_ia32_pext_si(bits, where);
#endif
}
__attribute__((target(TALLY_WIDE_TARGET))) inline unsigned wideBitCount(MaskT mask) {
#if defined(__x86_64__)
    return static_cast<unsigned>(__builtin_popcountll(mask));
#else
    return static_cast<unsigned>(__builtin_popcount(mask));
#endif
}

// How many bits of mask are set: without a loop (whose end a machine
// without a count instruction would mispredict in most groups).
inline unsigned bitCount(MaskT mask) {
    const MaskT ones = ~MaskT{0} / 255;  // 0x0101...
    mask -= (mask >> 1) & (ones * 0x55);
    mask = (mask & (ones * 0x33)) + ((mask >> 2) & (ones * 0x33));
    mask = (mask + (mask >> 4)) & (ones * 0x0F);
    return unsigned((mask * ones) >> (GroupBytes - 8));
}

// The reads of one line (or of the rest of the window when no line feed
// ends it) as the reader delivers them (cutRead). A Ctrl-Z, a read cut off
// by the window's end or a read take refuses stops the scan at that read.
class SlowLineC {
  public:
    SlowLineC() : Line{} {}

    template <typename TallyT>
    bool take(const unsigned char* bytes, std::size_t& pos, std::size_t end, uint32_t maxReads,
              uint32_t& reads, TallyT& take) {
        while (pos < end) {
            const ReadCutS cut = cutRead(bytes, pos, end);
            if (cut.How == ReadCutS::AtCtrlZ || cut.How == ReadCutS::Open) return false;
            Line[copyRead(bytes, pos, cut.End, Line)] = '\0';
            if (reads == maxReads || !take.take(Line)) return false;
            ++reads;
            pos = cut.End;
        }
        return true;
    }

  private:
    char Line[ReadMax + 1 + 16];  // a read, its terminator, and room read past it
};
// Takes every read of bytes[pos, cut) in order, at most maxReads, into a
// tally: tally.take(text) gets a read's text, ended by its line feed (a CR
// may stand before it) where the read lies whole in the window, or a copy
// of the read ended by a terminator; it returns false to stop before that
// read. A datum whose prefix class (tally.prefixes(), see prefixOf) tells
// where it lies is not read (many at once where the table's ranges,
// tally.prefixRanges(), tell their classes), nor one that
// tally.repeatOf(text) tells (a repeat of the datum read before it):
// tally.takeClassed(aboves, marks, count, last) takes count of them in a
// row, a bit each in aboves and marks (PrefixClassE), last the text of the
// last one. bytes must be readable 64 bytes past cut.
template <typename TallyT>
class ReadScanC {
  public:
    ReadScanC(const unsigned char* bytes, std::size_t cut, uint32_t maxReads, TallyT& tally)
        : Bytes(bytes), Cut(cut), MaxReads(maxReads), Reads(0), Tally(tally), Gather(QuickGather) {}

    ScanEndS run(std::size_t pos) { return QuickWide ? runWide(pos) : runOwn(pos); }

  private:
    // The scan's loop compiled twice: for the build's instructions and for
    // the newer ones (QuickWide). What it calls out of line is the build's
    // in both, but for takeToldLines, which has a wide copy too.
    __attribute__((noinline)) ScanEndS runOwn(std::size_t pos) { return runLines<false>(pos); }
    __attribute__((noinline, target(TALLY_WIDE_TARGET))) ScanEndS runWide(std::size_t pos) {
        return runLines<true>(pos);
    }
    template <bool InWide>
    __attribute__((always_inline)) ScanEndS runLines(std::size_t pos) {
        while (pos < Cut && Reads + Pending.Count < MaxReads) {
            const GroupMasksS masks = groupMasksOf<InWide>(pos);
            std::size_t taken = 0;  // bytes of the lines taken, from pos
            bool goOn;
            if (plainGroup(masks)) {
                goOn = takePlainLines<InWide>(pos, masks, taken);
            } else if (!takeExponentLines<InWide>(pos, taken, goOn)) {
                goOn = InWide ? takeLinesWide(pos, taken) : takeLines(pos, taken);
            }
            if (!goOn) return ended(pos + taken, false);
            // Nothing taken: a line longer than the group, read after
            // Pending (a plain group takes a line at least).
            if (taken == 0 && Reads + Pending.Count < MaxReads && !takeLongLine(pos, taken))
                return ended(pos + taken, false);
            pos += taken;
        }
        return ended(pos, pos == Cut);
    }

    template <bool InWide>
    __attribute__((always_inline)) GroupMasksS groupMasksOf(std::size_t pos) const {
        return InWide ? groupMasksWide(Bytes + pos, Cut - pos) : groupMasks(Bytes + pos, Cut - pos);
    }
    // A group of plain lines (commonLines) while the scan may take a
    // group's lines and more.
    bool plainGroup(const GroupMasksS& masks) const {
        const bool roomy = MaxReads - Reads - Pending.Count >= GroupBytes;
        return roomy && masks.LineFeeds != 0 && commonLines(masks);
    }

    // Data told by their class, in a row: a bit each for above and marked.
    // A group's, at most one per two of its bytes (each a byte at least and
    // its line feed): their bits fit in a MaskT, and those of the groups
    // before it too while these are at most half a MaskT (Pending).
    struct ClassedS {
        MaskT Aboves = 0;
        MaskT Marks = 0;
        uint32_t Count = 0;
        const char* Last = nullptr;
        // One more, of class known, its text read.
        void add(uint8_t known, const char* read) {
            Aboves |= MaskT(known & AboveBit) << Count;
            Marks |= MaskT((known & MarkBit) >> 1) << Count;
            ++Count;
            Last = read;
        }
    };

    // The class of a plain line: its prefix's, or, when that does not tell,
    // its class as a repeat of the datum read before it.
    uint8_t plainClass(const unsigned char* text) const {
        return classOf(prefixOf(text), reinterpret_cast<const char*>(text));
    }
    // The class of a line whose datum has prefix (an index in the tally's
    // table), or, when that does not tell, its class as a repeat.
    uint8_t classOf(unsigned prefix, const char* read) const {
        const uint8_t known = Tally.prefixes()[prefix];
        return known != ReadDatum ? known : Tally.repeatOf(read);
    }

    // The lines of a group whose lines are all plain (commonLines): many at
    // once when the group's masks tell their classes (takeToldLines) or
    // every line repeats the first (takeRepeatedLines); otherwise one at a
    // time, those whose class tells (or that repeat the datum read before
    // them) going to the tally together, a bit each for above and for
    // marked in the order of the lines, until a line must be read.
    template <bool InWide>
    __attribute__((always_inline)) bool takePlainLines(std::size_t pos, const GroupMasksS& masks,
                                                       std::size_t& taken) {
        const unsigned char* bytes = Bytes + pos;
        bool whole = true;
        if (manyLines(masks.LineFeeds) && Told.ready() &&
            Told.tried(InWide ? takeToldLinesWide(bytes, masks, taken, whole)
                              : takeToldLines(bytes, masks, taken, whole)))
            return whole;
        if (Cut - pos >= GroupBytes + 16 && Repeated.ready()) {
            const std::size_t repeated = takeRepeatedLines(bytes, masks);
            if (Repeated.tried(repeated != 0)) {
                taken = repeated;
                return true;
            }
        }
        std::size_t start = 0;
        for (MaskT lineFeeds = masks.LineFeeds; lineFeeds != 0; lineFeeds &= lineFeeds - 1) {
            const std::size_t end = lowestBit(lineFeeds);
            const unsigned char* text = bytes + start;
            start = end + 1;
            if (!takePlainLine(Pending, text)) {
                taken = text - bytes;
                return false;
            }
        }
        keepPending();
        taken = start;
        return true;
    }

    // The lines of a plain group placed by the ranges of the tally's table
    // (tally.prefixRanges()) from the group's masks: those spelled
    // [-]0.d... whose class the ranges tell, many at once; the others (a
    // datum near a threshold, another spelling) one at a time, as
    // takeLine takes them. Then the plain groups after it the same way, while
    // they hold lines enough (manyLines) and no more than two to take alone:
    // noise goes group after group in one call, its frame set up once. taken
    // gets the bytes of the lines taken; whole is false when the tally
    // refuses one, taken then the bytes before it. False, nothing taken, when
    // more than two lines of the first group are left to take alone: the
    // masks do not pay then.
    __attribute__((noinline)) bool takeToldLines(const unsigned char* bytes,
                                                 const GroupMasksS& masks, std::size_t& taken,
                                                 bool& whole) {
        return toldGroups<false>(bytes, masks, taken, whole);
    }
    __attribute__((noinline, flatten, target(TALLY_WIDE_TARGET))) bool takeToldLinesWide(
        const unsigned char* bytes, const GroupMasksS& masks, std::size_t& taken, bool& whole) {
        return toldGroups<true>(bytes, masks, taken, whole);
    }
    template <bool InWide>
    __attribute__((always_inline)) bool toldGroups(const unsigned char* bytes, GroupMasksS masks,
                                                   std::size_t& taken, bool& whole) {
        const std::size_t first = static_cast<std::size_t>(bytes - Bytes);
        std::size_t pos = first;
        for (;;) {
            std::size_t refused = 0;  // in the group, where whole turns false
            if (!toldLines<InWide>(Bytes + pos, masks, refused, whole)) break;
            if (!whole) {
                taken = pos + refused - first;
                return true;
            }
            pos += highestBit(masks.LineFeeds) + 1;
            if (pos >= Cut) break;
            masks = groupMasksOf<InWide>(pos);  // plainGroup asks for room for its reads
            if (!plainGroup(masks) || !manyLines(masks.LineFeeds)) break;
        }
        taken = pos - first;
        return pos != first;
    }
    // One group of toldGroups: false, nothing taken, when more than two of
    // its lines are left to take alone.
    template <bool InWide>
    __attribute__((always_inline)) bool toldLines(const unsigned char* bytes,
                                                  const GroupMasksS& masks, std::size_t& taken,
                                                  bool& whole) {
        const PrefixRangesS& ranges = Tally.prefixRanges();
        ToldMasksS told;
        if constexpr (InWide)
            told = ranges.Quiet ? toldMasksWide<true>(bytes, ranges)
                                : toldMasksWide<false>(bytes, ranges);
        else
            told = ranges.Quiet ? quietToldMasks(bytes, ranges) : toldMasks(bytes, ranges);
        // Every line that ends in the group, an empty one at its last line
        // feed included.
        const MaskT starts =
            ((masks.LineFeeds << 1) | 1) & bitsThrough(highestBit(masks.LineFeeds));
        // A line's "0." lies before its line feed (which is no zero). A
        // positive line is told by its first decimal, two bytes past its
        // zero: a digit whose number lies in a Low or High prefix. "-0." is
        // told Low whatever follows it, when negative data are.
        const MaskT positives = starts & ~told.Minuses & told.ZeroPoints;
        const MaskT negatives =
            ranges.NegativeLow ? starts & told.Minuses & (told.ZeroPoints >> 1) : 0;
        const MaskT highs = positives & (told.Highs >> 2);
        const MaskT others = starts & ~(highs | negatives | (positives & (told.Lows >> 2)));
        if (others != 0)
            return takeToldLinesAlone<InWide>(bytes, starts, highs, others, taken, whole);
        addToldRun<InWide>(Pending, bytes, starts, highs);
        keepPending();
        return true;
    }
    // takeToldLines for a group with lines (others) to take alone, as the
    // one-at-a-time way takes them; the told lines between them join the
    // data in a row.
    template <bool InWide>
    __attribute__((always_inline)) bool takeToldLinesAlone(const unsigned char* bytes, MaskT starts,
                                                           MaskT highs, MaskT others,
                                                           std::size_t& taken, bool& whole) {
        MaskT pastTwo = others & (others - 1);  // the others but the first two
        pastTwo &= pastTwo - 1;
        if (pastTwo != 0) return false;
        for (; others != 0; others &= others - 1) {
            const std::size_t start = lowestBit(others);
            addToldRun<InWide>(Pending, bytes, starts & lowBits(start), highs);
            starts &= ~bitsThrough(start);
            if (!takePlainLine(Pending, bytes + start)) {
                taken = start;
                whole = false;
                return true;
            }
        }
        addToldRun<InWide>(Pending, bytes, starts, highs);
        keepPending();
        return true;
    }
    // Adds the told lines that start at starts, in a row. Without a branch
    // on how many are high: a 32-byte group holds three or four lines, none
    // of them high in a third of a noisy file's groups, some in the rest.
    // Always inline, as highLines and takeToldLinesAlone: the wide copy's
    // instructions are inlined only where the caller is compiled for them.
    template <bool InWide>
    __attribute__((always_inline)) void addToldRun(ClassedS& classed, const unsigned char* bytes,
                                                   MaskT starts, MaskT highs) const {
        if (starts == 0) return;
        addToldLines<InWide>(classed, starts, highs, bytes + highestBit(starts));
    }
    // Adds told lines in a row, a bit each in lines (any bit of the line,
    // the same for all), high where highs has it; last the last one's text.
    template <bool InWide>
    __attribute__((always_inline)) void addToldLines(ClassedS& classed, MaskT lines, MaskT highs,
                                                     const unsigned char* last) const {
        const MaskT aboves = highLines<InWide>(lines, highs & lines);
        classed.Aboves |= aboves << classed.Count;
        classed.Marks |= aboves << classed.Count;
        classed.Count += InWide ? wideBitCount(lines) : bitCount(lines);
        classed.Last = reinterpret_cast<const char*>(last);
    }

    // Bit i set when the line that starts at the i-th bit of starts is high
    // (its bit set in highs): gathered in one instruction where the scan
    // has a quick one (QuickGather; in a 32-bit build only in the wide
    // copy, where it is inline), else the first eight lines (four in a
    // 32-byte group) without a branch: a group holds three to eight mostly
    // (three or four in 32), and a loop whose end varies from group to group is
    // mispredicted in many of them.
    template <bool InWide>
    __attribute__((always_inline)) MaskT highLines(MaskT starts, MaskT highs) const {
        if constexpr (InWide) {
            if (Gather) return wideGatherBits(highs, starts);
        }
#if defined(__x86_64__)
        if (Gather) return gatherBits(highs, starts);
#endif
        const unsigned unrolled = GroupBytes / 8;
        MaskT aboves = 0;
        MaskT rest = starts;
#pragma GCC unroll 8
        for (unsigned line = 0; line < unrolled; ++line) {
            aboves |= MaskT((highs & rest & (0 - rest)) != 0) << line;
            rest &= rest - 1;
        }
        for (unsigned line = unrolled; rest != 0; rest &= rest - 1)
            aboves |= ((highs >> lowestBit(rest)) & 1) << line++;
        return aboves;
    }

    // The lines of a plain group when each repeats the first byte for byte
    // (a constant signal, silence) and the first's class tells (its prefix,
    // or a repeat of the datum read before it): all taken at once, and after
    // them every further span of as many bytes that repeats them too, while
    // the window holds it and the scan may take its lines (silence and
    // clipping go on for many groups). The bytes taken; 0, nothing taken,
    // when the group's lines do not all repeat. The group can be read 16
    // bytes past its end.
    std::size_t takeRepeatedLines(const unsigned char* bytes, const GroupMasksS& masks) {
        const MaskT lineFeeds = masks.LineFeeds;
        const std::size_t length = lowestBit(lineFeeds) + 1;  // the first line's
        const std::size_t end = highestBit(lineFeeds) + 1;
        if (end == length || (lineFeeds >> length) != (lineFeeds & lowBits(end - length)) ||
            !sameBytes(bytes, bytes + length, end - length))
            return 0;
        const uint8_t known = plainClass(bytes);
        if (known == ReadDatum) return 0;
        const uint32_t count = static_cast<uint32_t>(end / length);
        const std::size_t left = Cut - static_cast<std::size_t>(bytes - Bytes);
        std::size_t taken = 0;
        do {
            // They join Pending, beside which a span's lines always fit.
            const MaskT lines = lowBits(count) << Pending.Count;
            Pending.Aboves |= (known & AboveBit) != 0 ? lines : 0;
            Pending.Marks |= (known & MarkBit) != 0 ? lines : 0;
            Pending.Count += count;
            Pending.Last = reinterpret_cast<const char*>(bytes + taken + (end - length));
            keepPending();
            taken += end;
        } while (left - taken >= end && MaxReads - Reads - Pending.Count >= count &&
                 sameBytes(bytes + taken - end, bytes + taken, end));
        return taken;
    }

    // A way to take a whole group that, having missed, is tried again
    // after a wait that doubles with each miss in a row: files whose groups
    // it never fits pay for a few tries.
    struct BackoffS {
        uint32_t Misses = 0;  // in a row
        uint32_t Wait = 0;    // groups still to pass by
        bool ready() {
            if (Wait == 0) return true;
            --Wait;
            return false;
        }
        bool tried(bool hit) {
            Misses = hit ? 0 : Misses < 32 ? 2 * Misses + 1 : Misses;
            Wait = Misses;
            return hit;
        }
    };

    // Whether a group holds lines enough for its masks to cost less than
    // looking at each line alone: three, in 64 bytes as in 32. Lines of 13
    // to 21 bytes (music, speech, quiet data with many decimals) come three
    // to five to a 64-byte group, and a loop over them ends at a place that
    // varies from group to group, mispredicted in most; the masks take a
    // few instructions more and no such branch.
    static bool manyLines(MaskT lineFeeds) {
        lineFeeds &= lineFeeds - 1;
        lineFeeds &= lineFeeds - 1;
        return lineFeeds != 0;
    }

    // A plain line after the data in classed: one more of them when its
    // class tells, else read after them; false when the tally refuses it.
    // Inlined, as takeClassed.
    __attribute__((always_inline)) bool takePlainLine(ClassedS& classed,
                                                      const unsigned char* text) {
        return takeKnownLine(classed, plainClass(text), reinterpret_cast<const char*>(text));
    }
    // A line of class known: one more of classed when it tells, else read
    // after them; false when the tally refuses it.
    __attribute__((always_inline)) bool takeKnownLine(ClassedS& classed, uint8_t known,
                                                      const char* read) {
        if (known != ReadDatum) {
            classed.add(known, read);
            return true;
        }
        takeClassed(classed);
        if (!Tally.take(read)) return false;
        ++Reads;
        return true;
    }
    // The told lines of a group stay in Pending, to go to the tally with
    // those of the groups after it, while another group's fit beside them:
    // the tally's work for a row of data (its runs, its marks) is then done
    // once for several groups. Anything else that gives the tally data gives
    // it Pending first, so that the data keep their order.
    __attribute__((always_inline)) void keepPending() {
        if (Pending.Count > GroupBytes / 2) takeClassed(Pending);
    }
    ScanEndS ended(std::size_t stopAt, bool whole) {
        takeClassed(Pending);
        return {Reads, stopAt, whole};
    }
    // Inlined so that the lines' bits stay in registers.
    __attribute__((always_inline)) void takeClassed(ClassedS& classed) {
        if (classed.Count == 0) return;
        Tally.takeClassed(classed.Aboves, classed.Marks, classed.Count, classed.Last);
        Reads += classed.Count;
        classed = ClassedS();
    }

    // The lines of any group that end in it, one at a time: those whose
    // class tells, whatever their spelling (anyPrefixOf), or that repeat the
    // datum read before them join Pending; the others are read after it.
    // Compiled twice, as takeToldLines.
    __attribute__((noinline)) bool takeLines(std::size_t pos, std::size_t& taken) {
        return mixedGroups<false>(pos, taken);
    }
    __attribute__((noinline, target(TALLY_WIDE_TARGET))) bool takeLinesWide(std::size_t pos,
                                                                            std::size_t& taken) {
        return mixedGroups<true>(pos, taken);
    }
    // The group at pos and the groups after it that are not plain either, in
    // one call (a file of mixed spellings has few plain groups): the
    // constants of their masks are set up and the call's frame made once
    // for them all. It stops where a group's lines need the scan's other
    // ways: a plain group, one without a line feed (a long line), the end
    // of the window or of the scan's room, or the printf's "%e" run ready to
    // be tried again.
    template <bool InWide>
    __attribute__((always_inline)) bool mixedGroups(std::size_t pos, std::size_t& taken) {
        const std::size_t first = pos;
        bool whole = true;
        for (;;) {
            const unsigned char* bytes = Bytes + pos;
            const MixedMasksS masks = InWide
                                          ? mixedMasksWide(bytes, Cut - pos, Tally.prefixRanges())
                                          : mixedMasks(bytes, Cut - pos);
            if (pos != first) {
                // Lines of no bytes but those of plain lines go back to the
                // scan's loop, which takes them as plain when they are.
                const MaskT lines = lowBits(highestBit(masks.LineFeeds | 1));
                const MaskT plainBytes = masks.Spellings.Digits | masks.Spellings.Points |
                                         masks.Told.Minuses | masks.LineFeeds | masks.Crs;
                if (masks.LineFeeds == 0 || (lines & ~plainBytes) == 0 || ExponentRun.ready())
                    break;
            }
            std::size_t inGroup = 0;
            whole = anyLines<InWide>(pos, masks, inGroup);
            pos += inGroup;
            if (!whole || inGroup == 0 || pos >= Cut || Reads + Pending.Count >= MaxReads) break;
        }
        taken = pos - first;
        return whole;
    }
    template <bool InWide>
    __attribute__((always_inline)) bool anyLines(std::size_t pos, const MixedMasksS& masks,
                                                 std::size_t& taken) {
        const unsigned char* bytes = Bytes + pos;
        const MaskT lineFeeds = masks.LineFeeds;
        const MaskT odd = masks.Odd;
        const SpellingMasksS& spellings = masks.Spellings;
        // Every line ends in an exponent of two or three digits, a CR after
        // it or not: a file of printf's "%e", whose lines exponentFormPrefix
        // places. In a file of mixed spellings few groups are all such.
        const bool exponentForms =
            (((spellings.Es << 4) | (spellings.Es << 5)) & lineFeeds) == lineFeeds;
        // The line feeds of the lines the masks tell, and of the high ones.
        MaskT told = 0, highs = 0;
        if (MaxReads - Reads - Pending.Count < GroupBytes)  // the scan's room ends in the group
            return linesAlone(pos, lineFeeds, spellings, exponentForms, odd, taken);
        if constexpr (InWide) {
            if (lineFeeds != 0 && ToldAny.ready())
                ToldAny.tried(toldAnyLines(lineFeeds, spellings, masks.Told, odd, told, highs));
        }
        // The lines' classes at their line feeds: the told ones' from the
        // masks, the others' as each is placed. They join Pending together,
        // in one step for all the lines before a line that must be read and
        // one for those after it: a group holds three to six lines of mixed
        // spellings, and a step for each row of told lines and each line
        // between them costs a mispredicted branch in most groups.
        MaskT aboves = highs, marks = highs;
        const MaskT starts = (lineFeeds << 1) | 1;
        std::size_t done = 0;  // the bytes of the lines given to Pending or read
        for (MaskT others = lineFeeds & ~told; others != 0; others &= others - 1) {
            const std::size_t end = lowestBit(others);
            const std::size_t start = highestBit(starts & bitsThrough(end));
            const char* read = reinterpret_cast<const char*>(bytes + start);
            const bool oneRead = isOneRead(odd, start, end);
            if (oneRead) {
                const uint8_t known =
                    classOf(anyLinePrefix(bytes, spellings, start, end, exponentForms), read);
                if (known != ReadDatum) {
                    aboves |= MaskT(known & AboveBit) << end;
                    marks |= MaskT((known & MarkBit) >> 1) << end;
                    continue;
                }
            }
            addClassedLines<InWide>(Pending, lineFeeds & lowBits(end) & ~lowBits(done), aboves,
                                    marks, starts, bytes);
            takeClassed(Pending);
            std::size_t at = pos + start;  // where a refused line starts
            bool whole;
            if (oneRead) {
                whole = Tally.take(read);
                Reads += uint32_t{whole};
            } else {
                whole = Slow.take(Bytes, at, pos + end + 1, MaxReads, Reads, Tally);
            }
            if (!whole) {
                taken = at - pos;
                return false;
            }
            done = end + 1;
        }
        addClassedLines<InWide>(Pending, lineFeeds & ~lowBits(done), aboves, marks, starts, bytes);
        keepPending();
        taken = lineFeeds != 0 ? highestBit(lineFeeds) + 1 : 0;
        return true;
    }
    // Adds the lines whose line feeds lines holds, in a row, their classes'
    // bits at their line feeds in aboves and marks; starts the group's line
    // starts, bytes the group.
    template <bool InWide>
    __attribute__((always_inline)) void addClassedLines(ClassedS& classed, MaskT lines,
                                                        MaskT aboves, MaskT marks, MaskT starts,
                                                        const unsigned char* bytes) const {
        if (lines == 0) return;
        classed.Aboves |= highLines<InWide>(lines, aboves & lines) << classed.Count;
        classed.Marks |= highLines<InWide>(lines, marks & lines) << classed.Count;
        classed.Count += InWide ? wideBitCount(lines) : bitCount(lines);
        classed.Last = reinterpret_cast<const char*>(
            bytes + highestBit(starts & bitsThrough(highestBit(lines))));
    }
    // The lines of a group one at a time, as anyLines takes those it does
    // not tell, while the scan may take more: where its room for lines ends
    // in the group.
    bool linesAlone(std::size_t pos, MaskT lineFeeds, const SpellingMasksS& spellings,
                    bool exponentForms, MaskT odd, std::size_t& taken) {
        const unsigned char* bytes = Bytes + pos;
        std::size_t start = 0;
        for (; lineFeeds != 0 && Reads + Pending.Count < MaxReads; lineFeeds &= lineFeeds - 1) {
            const std::size_t end = lowestBit(lineFeeds);
            if (isOneRead(odd, start, end)) {
                const char* read = reinterpret_cast<const char*>(bytes + start);
                const unsigned prefix = anyLinePrefix(bytes, spellings, start, end, exponentForms);
                if (!takeKnownLine(Pending, classOf(prefix, read), read)) {
                    taken = start;
                    return false;
                }
            } else {
                takeClassed(Pending);
                std::size_t at = pos + start;
                if (!Slow.take(Bytes, at, pos + end + 1, MaxReads, Reads, Tally)) {
                    taken = at - pos;
                    return false;
                }
            }
            start = end + 1;
        }
        keepPending();
        taken = start;
        return true;
    }
    // The lines from pos on in printf's "%e" form, where the first is
    // (exponentLines): false, nothing taken, where it is not, and then for
    // a while after fewer than a group's bytes of them, as BackoffS waits (a
    // file of other spellings tries a few groups). Else taken and goOn as the
    // scan's other ways give them.
    template <bool InWide>
    __attribute__((always_inline)) bool takeExponentLines(std::size_t pos, std::size_t& taken,
                                                          bool& goOn) {
        if (!ExponentRun.ready()) return false;
        std::size_t run = 0;
        const bool whole = InWide ? exponentLinesWide(pos, run) : exponentLinesOwn(pos, run);
        // A few lines of the form among others do not count as a hit.
        ExponentRun.tried(run >= GroupBytes || !whole);
        if (run == 0 && whole) return false;
        taken = run;
        goOn = whole;
        return true;
    }
    // Out of line, so that its loop's registers are its own.
    __attribute__((noinline)) bool exponentLinesOwn(std::size_t pos, std::size_t& taken) {
        return exponentLines<false>(pos, taken);
    }
    __attribute__((noinline, target(TALLY_WIDE_TARGET))) bool exponentLinesWide(
        std::size_t pos, std::size_t& taken) {
        return exponentLines<true>(pos, taken);
    }
    // The lines from pos on while they are spelled as printf's "%e" writes
    // data (exponentLinePrefix) and the scan may take a group's lines, a
    // group's line feeds at a time: after Pending when their class tells or
    // they repeat the datum read before them, else read. A file of that
    // form (numerical programs write it by default) holds two or three lines
    // to a 64-byte group, for which a group's masks of each kind of byte
    // cost more than its lines; each line is checked against the shapes of
    // the form and placed from four of its digits, the lines of a group side
    // by side. taken gets the bytes taken; false when the tally refuses a
    // line, taken then the bytes before it.
    template <bool InWide>
    __attribute__((always_inline)) bool exponentLines(std::size_t pos, std::size_t& taken) {
        // Pending and the run's told lines, in registers while the run goes.
        ClassedS told = Pending;
        std::size_t at = pos;
        bool whole = true, form = true;
        while (form && whole && at < Cut && MaxReads - Reads - told.Count >= GroupBytes) {
            const unsigned char* bytes = Bytes + at;
            MaskT lineFeeds = (InWide ? wideBytesEqual(bytes, '\n') : bytesEqual(bytes, '\n')) &
                              lowBits(Cut - at);
            if (lineFeeds == 0) break;
            std::size_t start = 0;
            for (; lineFeeds != 0; lineFeeds &= lineFeeds - 1) {
                const std::size_t end = lowestBit(lineFeeds);
                const unsigned prefix = exponentLinePrefix<InWide>(bytes + start, end - start);
                const char* read = reinterpret_cast<const char*>(bytes + start);
                form = prefix != NotExponentForm;
                if (!form) break;
                whole = takeKnownLine(told, classOf(prefix, read), read);
                if (!whole) break;
                start = end + 1;
            }
            if (told.Count > GroupBytes / 2) takeClassed(told);
            at += start;
        }
        Pending = told;
        taken = at - pos;
        return whole;
    }
    // The lines of a group of any bytes, whole in it, that the ranges of the
    // tally's table tell (tally.prefixRanges()) from the group's masks, as
    // anyPrefixOf and the table would: white space, a sign ('+' too), then
    // "0." or "." and a digit, whatever follows but an exponent letter ('e'
    // or 'E' anywhere in the line keeps it from being told), no byte that
    // the reader drops or stops at (odd), fewer bytes than a read. told gets
    // their line feeds, highs those of the high ones; whether any is told.
    // A line's place is carried through its bytes by an addition: a bit
    // added at a byte of a run of ones carries to the first zero past it,
    // the end of the blanks a line starts with, or its line feed.
    __attribute__((target(TALLY_WIDE_TARGET))) bool toldAnyLines(MaskT lineFeeds,
                                                                 const SpellingMasksS& spellings,
                                                                 const ToldMasksS& any, MaskT odd,
                                                                 MaskT& told, MaskT& highs) const {
        const PrefixRangesS& ranges = Tally.prefixRanges();
        const MaskT inLines = lowBits(highestBit(lineFeeds)) & ~lineFeeds;  // but line feeds
        if (holdsLongLine(lineFeeds)) return false;
        const MaskT blanks = spellings.Blanks;
        const MaskT starts = ((lineFeeds << 1) | 1) & (inLines | lineFeeds);
        const MaskT leads = (starts & ~blanks) | ((blanks + (starts & blanks)) & ~blanks);
        const MaskT signs = any.Minuses | any.Pluses;
        const MaskT numbers = (leads & ~signs) | ((leads & signs) << 1);
        const MaskT negatives = (leads & any.Minuses) << 1;
        const MaskT zeros = numbers & any.ZeroPoints;
        const MaskT points = numbers & spellings.Points;  // ".d...", no zero before it
        const MaskT positives = zeros & ~negatives, positivePoints = points & ~negatives;
        // A positive "0.d" is told by its first decimal, two bytes past its
        // zero, ".d" by the byte past its point; "-0." Low whatever follows
        // it, "-.d" too, when negative data are.
        const MaskT high = (positives & (any.Highs >> 2)) | (positivePoints & (any.Highs >> 1));
        const MaskT lows = (positives & (any.Lows >> 2)) | (positivePoints & (any.Lows >> 1));
        const MaskT negativeLows = zeros | (points & (spellings.Digits >> 1));
        const MaskT toldNumbers = high | lows | (ranges.NegativeLow ? negativeLows & negatives : 0);
        const MaskT spoilt = (inLines + ((spellings.Es | odd) & inLines)) & lineFeeds;
        told = (inLines + toldNumbers) & lineFeeds & ~spoilt;
        highs = (inLines + high) & told;
        return told != 0;
    }

    // Whether the line from start to its line feed at end in a group is one
    // read: fewer bytes than a read's characters, and no byte that the
    // reader drops or stops at (odd) but a CR before the line feed. The
    // line feed itself is never odd, so the mask may take it in (bitsThrough
    // has no branch; lowBits has one).
    static bool isOneRead(MaskT odd, std::size_t start, std::size_t end) {
        return ((odd & bitsThrough(end)) >> start == 0) & (end - start < ReadMax);
    }
    // The prefix of a line of any spelling from start to its line feed at
    // end in a group: from printf's "%e" form first where exponentForms (the
    // group's lines all end as that form ends), else anyPrefixOf's.
    __attribute__((always_inline)) static unsigned anyLinePrefix(const unsigned char* bytes,
                                                                 const SpellingMasksS& spellings,
                                                                 std::size_t start, std::size_t end,
                                                                 bool exponentForms) {
        const unsigned prefix =
            exponentForms ? exponentFormPrefix(bytes, spellings, start, end) : NotExponentForm;
        return prefix != NotExponentForm ? prefix : anyPrefixOf(bytes, spellings, start);
    }

    // A line that no line feed ends within a group of its start: its reads
    // the slow way, to its line feed or the window's end.
    bool takeLongLine(std::size_t pos, std::size_t& taken) {
        takeClassed(Pending);
        std::size_t end = pos + GroupBytes;
        while (end < Cut && Bytes[end] != '\n') ++end;
        end = end < Cut ? end + 1 : Cut;
        std::size_t at = pos;
        const bool whole = Slow.take(Bytes, at, end, MaxReads, Reads, Tally);
        taken = at - pos;
        return whole;
    }

    const unsigned char* Bytes;
    std::size_t Cut;
    uint32_t MaxReads;
    uint32_t Reads;  // given to the tally; Pending's lines are not among them
    ClassedS Pending;
    TallyT& Tally;
    SlowLineC Slow;
    BackoffS Told;         // takeToldLines
    BackoffS Repeated;     // takeRepeatedLines
    BackoffS ToldAny;      // toldAnyLines
    BackoffS ExponentRun;  // takeExponentLines
    const bool Gather;     // QuickGather as the scan began
};

template <typename TallyT>
ScanEndS scanReads(const unsigned char* bytes, std::size_t pos, std::size_t cut, uint32_t maxReads,
                   TallyT& tally) {
    return ReadScanC<TallyT>(bytes, cut, maxReads, tally).run(pos);
}

}  // namespace readwindows
