#pragma once
// The wave-file line reader, root of the engine: it delivers a file piece by
// piece exactly as fgets(Line, 48) on a text-mode stream would (every CR
// dropped, Ctrl-Z ends the file, at most 47 characters per read, a line feed
// ends a read and stays in it), but reads the file in large binary blocks and
// looks at each byte once. Also holds the conversions of the wave-file format
// that the validation pass applies to header and data lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "startup/RunModeC.h"

class FileReadC {
  public:
    enum Sizes {
        // Characters per read, a line feed included; Line holds a read, its
        // terminator and one spare character.
        ReadMax = HeaderLimitsS::LineReadSize - 1,
        LineSize = HeaderLimitsS::LineReadSize + 1,
        BlockSize = 1 << 16,  // bytes fetched from the file at a time
        DotInterval = 2,      // seconds between progress dots
    };
    using ClockFn = std::time_t (*)(std::time_t*);

    FileReadC();
    ~FileReadC();
    FileReadC(const FileReadC&) = delete;
    FileReadC& operator=(const FileReadC&) = delete;

    // Copies name into FName: 0; -6 when longer than 2048 characters (not
    // stored); -5 when there is no name to copy.
    int setFileName(const char* name);
    // Opens FName (closing any stream still open): LineNo 0, Line empty; 0,
    // or -2 when the file cannot be opened (errno tells why).
    int open();
    // The next read into Line: 0 and LineNo + 1; -4 at end of file or on a
    // read error, with LineNo unchanged and, at end of file, Line as it was.
    int ReadLine();
    // The next read for a caller that reads it as a datum: LineNo + 1 and
    // its text, or none where ReadLine fails. A short line that lies whole in
    // the block is handed out where it lies, ended by its line feed (or CR
    // LF), and Line is left as it was; any other read goes through ReadLine
    // into Line.
    const char* nextRead();
    // Puts a text from nextRead into Line as ReadLine delivers it, for messages.
    void keepRead(const char* text);
    // Back to the start of the file, then n - 1 reads discarded; LineNo = n,
    // Line empty. Sets Status to 0, or -2 when the rewind fails, and returns it.
    int seekLine(uint32_t n);
    // Closes the stream if one is open: 0, or -3 when closing fails.
    int close();
    // Whether the last failed read failed on an error rather than at the end.
    bool readFailed() const { return ReadFailed; }
    // True once more than DotInterval seconds have passed since the last dot.
    bool dotDue();
    // The time source of dotDue; std::time unless a test sets another.
    void setClock(ClockFn clock) { Clock = clock; }

    // A datum: optional white space and sign, decimal digits with an optional
    // point (at least one digit), an optional exponent; anything after it is
    // ignored. Correctly rounded; beyond the double range it reads as
    // +/-HUGE_VAL, below it as 0. False when no number can be read.
    static bool toDatum(const char* text, double& value) {
        return shortDecimal(text, value) || fullDatum(text, value);
    }
    // What the spelling of a datum alone tells: SmallNegative for "-0.ddd"
    // or "-.ddd" (a value in (-1, 0]), SmallTenth for "0.0ddd" or ".0ddd" (a
    // value in [0, 0.1) before rounding), each without an exponent and ending
    // within 16 bytes; NotSmall for anything else. Most data of a wave are
    // such small noise, which the engine need not convert. read is a text from
    // nextRead: at least 16 bytes can be read from it.
    enum SmallSpelling { NotSmall, SmallNegative, SmallTenth };
    static SmallSpelling smallSpelling(const char* read);
    // Powers of ten that doubles hold exactly.
    static constexpr double ExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

    // A header number read as formatted %u input on a 32-bit platform: white
    // space skipped, optional sign, a minus wraps (-1 is 4294967295), too
    // large saturates at 4294967295. False when no digit follows.
    static bool toHeaderNumber(const char* text, uint32_t& value);
    // A header word: white space skipped, then the run of other characters,
    // cut to size - 1. False when there is none.
    static bool toHeaderWord(const char* text, char* word, std::size_t size);

    char FName[FNameSize];
    char Line[LineSize];
    uint32_t LineNo;
    uint32_t LineLen;  // bytes in the last read; a NUL byte ends Line early

  protected:
    std::time_t DotNow;
    std::time_t DotLast;
    std::time_t DotEvery;

  private:
#if defined(__SSE2__)
    // One bit per byte of the group that stops a plain copy: LF, CR, Ctrl-Z.
    static unsigned stopMask(__m128i group) {
        const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(group, _mm_set1_epi8('\n')),
                                                        _mm_cmpeq_epi8(group, _mm_set1_epi8('\r'))),
                                           _mm_cmpeq_epi8(group, _mm_set1_epi8(26)));
        return static_cast<unsigned>(_mm_movemask_epi8(stops));
    }
#endif
    static bool shortDecimal(const char* text, double& value);
    static bool fullDatum(const char* text, double& value);
    bool fillBlock();
    void forgetBlock();
    static std::size_t copyPlain(const unsigned char* in, std::size_t span, char* out,
                                 std::size_t room);

    std::FILE* Stream;
    ClockFn Clock;
    std::size_t BlockPos;
    std::size_t BlockEnd;
    bool AtEnd;                           // end of file or a Ctrl-Z reached: no more reads
    bool ReadFailed;                      // the last fetch failed
    unsigned char Block[BlockSize + 16];  // slack: copyPlain reads whole 16-byte groups
};

inline const char* FileReadC::nextRead() {
#if defined(__SSE2__)
    // A data line usually fits one 16-byte group: its first stop byte is then
    // its line feed, and the line can be used where it lies.
    if (BlockEnd - BlockPos >= 16) {
        const unsigned char* at = Block + BlockPos;
        const unsigned mask = stopMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
        if (mask != 0) {
            // The line feed, or a CR right before it (which text mode drops).
            unsigned end = static_cast<unsigned>(__builtin_ctz(mask));
            if (at[end] == '\r' && end < 15 && at[end + 1] == '\n') ++end;
            if (at[end] == '\n') {
                BlockPos += end + 1;
                ++LineNo;
                return reinterpret_cast<const char*>(at);
            }
        }
    }
#endif
    return ReadLine() == 0 ? Line : nullptr;
}

// The common datum: blanks, a sign, digits with a point of which at most
// nine count from the first non-zero one, at most 22 decimals, no exponent.
// The digits fit 32 bits and the power of ten is exact, so one division
// rounds correctly. False for anything else, which fullDatum handles.
inline bool FileReadC::shortDecimal(const char* text, double& value) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    const bool negative = *p == '-';
    p += negative || *p == '+';
    const char* const start = p;
    uint32_t mantissa = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (mantissa >= 100000000) return false;  // a tenth significant digit
        mantissa = mantissa * 10 + static_cast<uint32_t>(*p - '0');
    }
    long decimals = 0;
    if (*p == '.') {
        const char* const first = ++p;
        for (; *p >= '0' && *p <= '9'; ++p) {
            if (mantissa >= 100000000) return false;
            mantissa = mantissa * 10 + static_cast<uint32_t>(*p - '0');
        }
        decimals = p - first;
        if (p - start == 1) return false;  // a point alone
    } else if (p == start) {
        return false;
    }
    if (decimals > 22 || *p == 'e' || *p == 'E') return false;
    const double magnitude = static_cast<int32_t>(mantissa) / ExactPowers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

inline FileReadC::SmallSpelling FileReadC::smallSpelling(const char* read) {
    SmallSpelling kind = SmallTenth;
    unsigned first;  // the position of the first digit after the point
    if (read[0] == '-') {
        kind = SmallNegative;
        if (read[1] == '.') {
            first = 2;
        } else if (read[1] == '0' && read[2] == '.') {
            first = 3;
        } else {
            return NotSmall;
        }
    } else if (read[0] == '0' && read[1] == '.' && read[2] == '0') {
        first = 3;
    } else if (read[0] == '.' && read[1] == '0') {
        first = 2;
    } else {
        return NotSmall;
    }
    unsigned end = first;
#if defined(__SSE2__)
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read));
    const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(group, _mm_set1_epi8('0' - 1)),
                                         _mm_cmplt_epi8(group, _mm_set1_epi8('9' + 1)));
    const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(digits)) | 0x10000u;
    end += static_cast<unsigned>(__builtin_ctz(others >> first));
#else
    while (end < 16 && read[end] >= '0' && read[end] <= '9') ++end;
#endif
    if (end >= 16 || (end == 2 && kind == SmallNegative)) return NotSmall;  // "-." alone
    const char after = read[end];
    return after == 'e' || after == 'E' ? NotSmall : kind;
}
