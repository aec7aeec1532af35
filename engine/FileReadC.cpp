#include "engine/FileReadC.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/DatumKey.h"
#include "engine/WindowCrewC.h"
#include "framework/PlatformSeams.h"
#include "startup/ErrHandleC.h"

namespace {

const unsigned char CtrlZ = 26;

// Bytes that stop the copy loop of ReadLine: CR (dropped), LF (ends a read)
// and Ctrl-Z (ends the file).
struct StopTableS {
    bool Stops[256];
    constexpr StopTableS() : Stops{} {
        Stops[static_cast<unsigned char>('\r')] = true;
        Stops[static_cast<unsigned char>('\n')] = true;
        Stops[CtrlZ] = true;
    }
};
constexpr StopTableS StopTable;

// White space as formatted input skips it.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// White space before a datum. A line feed can only end a read, so a datum
// never lies after one: stopping there lets a datum be read from a line that
// ends with its line feed rather than a terminator.
const char* skipDatumBlanks(const char* text) {
    while (isBlank(*text) && *text != '\n') ++text;
    return text;
}

const char* skipBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}

// Where the last whole read of bytes[0, filled) ends, bytes[0] starting a
// read: after the last line feed, or after the last full read of 47
// characters counted from there (CRs are dropped, so they do not count).
std::size_t readsEnd(const unsigned char* bytes, std::size_t filled) {
    std::size_t lineStart = filled;
    while (lineStart > 0 && bytes[lineStart - 1] != '\n') --lineStart;
    std::size_t end = lineStart;
    std::size_t characters = 0;
    for (std::size_t i = lineStart; i < filled; ++i) {
        if (bytes[i] == '\r') continue;
        if (++characters == FileReadC::ReadMax) {
            end = i + 1;
            characters = 0;
        }
    }
    return end;
}

}  // namespace

FileReadC::FileReadC()
    : FName{},
      Line{},
      LineNo(0),
      LineLen(0),
      DotNow(0),
      DotLast(0),
      DotEvery(DotInterval),
      Stream(nullptr),
      Clock(seam::currentTime),
      Block(nullptr),
      BlockPos(0),
      BlockEnd(0),
      AtEnd(false),
      ReadFailed(false),
      Slots{},
      SlotCount(0),
      Head(0),
      Ahead(0),
      WindowBytes(0),
      ScratchWords(0),
      WantedBytes(BlockSize),
      WholeFile(-1),
      FetchedAny(false),
      FetchBytes(0),
      WindowMemory(nullptr),
      Crew(nullptr),
      Windowed(true),
      SmallBytes{},
      SmallScratch{} {
    freeWindows();
    forgetBlock();
}

FileReadC::~FileReadC() {
    close();
    delete Crew;
    freeWindows();
}

void FileReadC::setWindowBytes(std::size_t bytes) {
    WantedBytes = bytes < 64 ? 64 : bytes;
}

// The small window alone, until makeWindows has the others' memory.
void FileReadC::freeWindows() {
    delete[] WindowMemory;
    WindowMemory = nullptr;
    SlotCount = 1;
    WindowBytes = WantedBytes < std::size_t{SmallWindow} ? WantedBytes : std::size_t{SmallWindow};
    ScratchWords = sizeof SmallScratch / sizeof SmallScratch[0];
    Slots[0].Bytes = SmallBytes;
    Slots[0].Scratch = SmallScratch;
}

// WindowCount windows of WantedBytes, each with its scratch; false, with
// the small window alone, when their memory cannot be had.
bool FileReadC::makeWindows() {
    if (WindowMemory != nullptr && WindowBytes == WantedBytes) return true;
    freeWindows();
    // A bit per byte, and room for the validation pass's list of marks.
    const std::size_t listWords =
        WantedBytes / 32 > LeastScratch ? WantedBytes / 32 : std::size_t{LeastScratch};
    const std::size_t words = WantedBytes / 64 + 2 + listWords;
    const std::size_t bytes = (WantedBytes + WindowSlack + 7) / 8 * 8;
    const std::size_t slotSize = words * 8 + bytes;
    WindowMemory = new (std::nothrow) unsigned char[WindowCount * slotSize]();
    if (WindowMemory == nullptr) return false;
    for (int slot = 0; slot < WindowCount; ++slot) {
        unsigned char* at = WindowMemory + slot * slotSize;
        Slots[slot].Scratch = reinterpret_cast<uint64_t*>(at);
        Slots[slot].Bytes = at + words * 8;
    }
    SlotCount = WindowCount;
    WindowBytes = WantedBytes;
    ScratchWords = words;
    return true;
}

int FileReadC::setFileName(const char* name) {
    if (name == nullptr) return -5;
    std::size_t length = std::strlen(name);
    if (length > HeaderLimitsS::FNameMax) return -6;
    std::memcpy(FName, name, length + 1);
    return 0;
}

int FileReadC::open() {
    close();
    LineNo = 0;
    Line[0] = '\0';
    LineLen = 0;
    makeWindows();
    forgetBlock();
    // Binary mode: ReadLine itself drops CR and stops at Ctrl-Z, so the
    // runtime's text-mode translation is not needed, and the stream is
    // unbuffered because ReadLine fetches whole blocks of its own.
    Stream = std::fopen(FName, "rb");
    if (Stream == nullptr) return -2;
    std::setvbuf(Stream, nullptr, _IONBF, 0);
    return 0;
}

// Nothing fetched: the first fetch starts a window at the top of the file.
void FileReadC::forgetBlock() {
    Head = 0;
    Ahead = 0;
    WholeFile = -1;
    FetchedAny = false;
    FetchBytes = WindowBytes < std::size_t{FirstFetch} ? WindowBytes : std::size_t{FirstFetch};
    Slots[0].Cut = 0;
    Slots[0].Filled = 0;
    Slots[0].Short = false;
    Block = Slots[0].Bytes;
    BlockPos = 0;
    BlockEnd = 0;
    AtEnd = false;
    ReadFailed = false;
}

// The next window with a whole read in it, fetched unless it was fetched
// ahead; false at the end of the file. A fetch that got less than it asked
// met the end of the file (or an error): no window follows it.
bool FileReadC::fillBlock() {
    if (AtEnd || Stream == nullptr) return false;
    while (Ahead > 0 || !Slots[Head].Short) {
        const int next = (Head + 1) % SlotCount;
        if (Ahead > 0) {
            --Ahead;
        } else {
            fetch(next, Head);
        }
        Head = next;
        Block = Slots[Head].Bytes;
        BlockPos = 0;
        BlockEnd = Slots[Head].Cut;
        if (BlockEnd > 0) return true;
        // Only part of a read: its bytes move on to the next window.
    }
    ReadFailed = Slots[Head].FetchFailed;
    AtEnd = true;
    return false;
}

// Window to: the bytes of the read begun at the end of window from (without
// their CRs, which text mode drops anyway), then as much of the file as
// fits, cut after its last whole read unless the file ends in it. to may be
// from itself (with one window).
void FileReadC::fetch(int to, int from) {
    SlotS& next = Slots[to];
    const SlotS& last = Slots[from];
    std::size_t carried = 0;
    for (std::size_t i = last.Cut; i < last.Filled; ++i)
        if (last.Bytes[i] != '\r') next.Bytes[carried++] = last.Bytes[i];
    const std::size_t asked = FetchBytes - carried;
    FetchBytes = 2 * FetchBytes < WindowBytes ? 2 * FetchBytes : WindowBytes;
    const std::size_t got = std::fread(next.Bytes + carried, 1, asked, Stream);
    next.Filled = carried + got;
    next.Short = got < asked;
    next.FetchFailed = std::ferror(Stream) != 0;
    next.Cut = next.Short ? next.Filled : readsEnd(next.Bytes, next.Filled);
    if (to == WholeFile) WholeFile = -1;
    if (!FetchedAny && next.Short && next.Filled > 0) WholeFile = to;
    FetchedAny = true;
}

// Back to the top of a file that one window holds whole, without reading
// it again; false when no window does.
bool FileReadC::rewindWindow() {
    if (WholeFile < 0) return false;
    Head = WholeFile;
    Ahead = 0;
    Block = Slots[Head].Bytes;
    BlockPos = 0;
    BlockEnd = Slots[Head].Cut;
    AtEnd = false;
    ReadFailed = false;
    return true;
}

readwindows::WindowS FileReadC::window(int slot, std::size_t from) const {
    return {slot, Slots[slot].Bytes, from, Slots[slot].Cut, Slots[slot].Scratch, ScratchWords};
}

// Copies the bytes of in[0, span) up to the first CR, LF or Ctrl-Z to out and
// returns how many were copied. room is the space at out, at least span;
// whole 16-byte groups are stored while they fit in room, and read up to 15
// bytes past span (the block has slack).
std::size_t FileReadC::copyPlain(const unsigned char* in, std::size_t span, char* out,
                                 [[maybe_unused]] std::size_t room) {
    std::size_t done = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time while a whole group fits at out: a data line
    // usually takes one group, with no branch per byte.
    while (done < span && room - done >= 16) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const unsigned mask = stopMask(group);
        std::size_t plain = mask != 0 ? static_cast<std::size_t>(__builtin_ctz(mask)) : 16;
        if (plain > span - done) plain = span - done;
        // Nothing is written unless a byte is delivered: at end of file Line
        // keeps its previous read.
        if (plain > 0) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), group);
        done += plain;
        if (plain < 16) return done;
    }
#endif
    while (done < span && !StopTable.Stops[in[done]]) {
        out[done] = static_cast<char>(in[done]);
        ++done;
    }
    return done;
}

int FileReadC::ReadLine() {
    // The read is built in place: Line changes only once a byte is
    // delivered, so at end of file it keeps the previous read.
    std::size_t length = 0;
    while (length < ReadMax) {
        if (BlockPos == BlockEnd && !fillBlock()) break;
        std::size_t span = BlockEnd - BlockPos;
        if (span > ReadMax - length) span = ReadMax - length;
        std::size_t plain = copyPlain(Block + BlockPos, span, Line + length, ReadMax + 1 - length);
        length += plain;
        BlockPos += plain;
        if (plain == span) continue;
        unsigned char stop = Block[BlockPos++];
        if (stop == '\r') continue;
        if (stop == '\n') {
            Line[length++] = '\n';
        } else {  // Ctrl-Z: nothing after it is ever read
            AtEnd = true;
            BlockEnd = BlockPos;
        }
        break;
    }
    if (length == 0 || ReadFailed) return -4;
    Line[length] = '\0';
    LineLen = static_cast<uint32_t>(length);
    ++LineNo;
    return 0;
}

void FileReadC::keepRead(const char* text) {
    if (text == Line) return;
    std::size_t length = 0;
    for (; *text != '\n'; ++text)
        if (*text != '\r') Line[length++] = *text;
    Line[length++] = '\n';
    Line[length] = '\0';
    LineLen = static_cast<uint32_t>(length);
}

int FileReadC::seekLine(uint32_t n) {
    Status = 0;
    const bool inWindow = rewindWindow();
    if (Stream == nullptr || (!inWindow && std::fseek(Stream, 0L, SEEK_SET) != 0)) {
        Status = -2;
    } else {
        std::clearerr(Stream);
        if (!inWindow) forgetBlock();
        // Past the end every read fails alike, so discarding stops there.
        for (uint32_t skip = n - 1; skip > 0 && ReadLine() == 0; --skip) {
        }
    }
    LineNo = n;
    Line[0] = '\0';
    LineLen = 0;
    return Status;
}

int FileReadC::close() {
    if (Stream == nullptr) return 0;
    // fclose releases the stream even when it fails, so it is forgotten
    // either way: closing it again would free it twice.
    int closed = std::fclose(Stream);
    Stream = nullptr;
    forgetBlock();
    return closed == 0 ? 0 : -3;
}

bool FileReadC::dotDue() {
    DotNow = Clock(nullptr);
    if (DotLast == 0) {
        DotLast = DotNow;
        return false;
    }
    if (DotNow - DotLast > DotEvery) {
        DotLast = DotNow;
        return true;
    }
    return false;
}

// Reads byte by byte: text need not be readable past its terminator.
bool FileReadC::toDatum(const char* text, double& value) {
    int64_t key;
    switch (datum::detail::readAny(text, key, value)) {
        case datum::Keyed:
            value = datum::valueOf(key);
            // A minus before a zero stays in its double.
            if (key == 0 && *skipDatumBlanks(text) == '-') value = -0.0;
            return true;
        case datum::Valued:
            return true;
        default:
            return false;
    }
}

bool FileReadC::toHeaderNumber(const char* text, uint32_t& value) {
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

bool FileReadC::toHeaderWord(const char* text, char* word, std::size_t size) {
    const char* p = skipBlanks(text);
    if (*p == '\0' || size == 0) return false;
    std::size_t length = 0;
    while (p[length] != '\0' && !isBlank(p[length])) ++length;
    if (length > size - 1) length = size - 1;
    std::memcpy(word, p, length);
    word[length] = '\0';
    return true;
}
