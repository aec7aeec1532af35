#pragma once
// The wave-file line reader, root of the engine: it delivers a file piece by
// piece exactly as fgets(Line, 48) on a text-mode stream would (every CR
// dropped, Ctrl-Z ends the file, at most 47 characters per read, a line feed
// ends a read and stays in it), but reads the file in large binary blocks,
// the windows, and looks at each byte once. A window ends where a read ends:
// the bytes of a read begun at its end move on to the next window. The
// passes hand whole windows of data to two threads (runWindows); every other
// read is taken one at a time. Also holds the conversions of the wave-file
// format that the validation pass applies to header and data lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/ReadWindows.h"
#include "startup/RunModeC.h"

class WindowCrewC;

class FileReadC {
  public:
    enum Sizes {
        // Characters per read, a line feed included; Line holds a read, its
        // terminator and one spare character.
        ReadMax = HeaderLimitsS::LineReadSize - 1,
        LineSize = HeaderLimitsS::LineReadSize + 1,
        BlockSize = 1 << 18,     // bytes of a window: fetched from the file at a time
        FirstFetch = 1 << 14,    // bytes a file's first fetch asks for; each next asks twice
                                 // as many, up to a window, so the worker shares small files
        WindowCount = 4,         // windows held at once: read ahead, worked on by two threads
        WindowSlack = 64,        // bytes readable past a window's end
        SmallWindow = 1 << 16,   // the one window kept when the others' memory cannot be had
        DotInterval = 2,         // seconds between progress dots
        LeastScratch = 1 << 10,  // words of scratch a window has at least, besides its bits
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
    // A file one window holds whole is not read again.
    int seekLine(uint32_t n);
    // Closes the stream if one is open: 0, or -3 when closing fails.
    int close();
    // Whether the last failed read failed on an error rather than at the end.
    bool readFailed() const { return ReadFailed; }
    // True once more than DotInterval seconds have passed since the last dot.
    bool dotDue();
    // The time source of dotDue; the calendar time (seam::currentTime)
    // unless a test sets another.
    void setClock(ClockFn clock) { Clock = clock; }
    // Windows of that many bytes (at least 64) from the next open on, in
    // place of BlockSize: the tests make them tiny, so that window ends fall
    // at every awkward place of a file.
    void setWindowBytes(std::size_t bytes);
    // Whether the passes take whole windows of data at once (the default);
    // without, every read is taken one at a time, as the tests compare.
    void setWindowed(bool windowed) { Windowed = windowed; }

    // A datum: optional white space and sign, decimal digits with an optional
    // point (at least one digit), an optional exponent; anything after it is
    // ignored. Correctly rounded; beyond the double range it reads as
    // +/-HUGE_VAL, below it as 0. False when no number can be read.
    static bool toDatum(const char* text, double& value);

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
    // Takes the reads from the current one on a window at a time, each
    // window scanned by this thread or a worker and merged here in file
    // order, until the job stops or the file ends. The reader is left at the
    // first read not taken, LineNo counting those taken. False when the job
    // saw a quit.
    bool runWindows(readwindows::WindowJobC& job);

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
    friend class WindowRunC;

    // A window's memory and what its last fetch brought.
    struct SlotS {
        unsigned char* Bytes;  // Bytes of the window, WindowSlack more readable
        uint64_t* Scratch;     // what a scan of the window finds (ScratchWords)
        std::size_t Cut;       // [0, Cut) holds whole reads, or the file's last bytes
        std::size_t Filled;    // bytes fetched; those past Cut begin the next window
        bool Short;            // the fetch got less than it asked: the file ends here
        bool FetchFailed;      // the stream's error state after the fetch
    };

    bool fillBlock();
    void forgetBlock();
    bool makeWindows();
    void freeWindows();
    void fetch(int to, int from);
    bool rewindWindow();
    readwindows::WindowS window(int slot, std::size_t from) const;
    static std::size_t copyPlain(const unsigned char* in, std::size_t span, char* out,
                                 std::size_t room);

    std::FILE* Stream;
    ClockFn Clock;
    unsigned char* Block;  // the bytes of the window being read
    std::size_t BlockPos;
    std::size_t BlockEnd;
    bool AtEnd;       // end of file or a Ctrl-Z reached: no more reads
    bool ReadFailed;  // the last fetch failed
    SlotS Slots[WindowCount];
    int SlotCount;                // windows in use: WindowCount, or 1 (the small one)
    int Head;                     // the slot of the window being read
    int Ahead;                    // slots after Head already fetched
    std::size_t WindowBytes;      // bytes a window holds
    std::size_t ScratchWords;     // words of scratch of a window
    std::size_t WantedBytes;      // bytes a window is to hold from the next open on
    int WholeFile;                // the slot holding the whole file, or -1
    bool FetchedAny;              // since the top of the file
    std::size_t FetchBytes;       // bytes the next fetch fills its window to
    unsigned char* WindowMemory;  // the windows, with their bits, when they are not the small one
    WindowCrewC* Crew;            // the worker; none until a file needs it
    bool Windowed;
    unsigned char SmallBytes[SmallWindow + WindowSlack];
    uint64_t SmallScratch[SmallWindow / 64 + 2 + SmallWindow / 32];
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
