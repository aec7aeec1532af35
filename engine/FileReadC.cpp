#include "engine/FileReadC.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/ErrHandleC.h"
#include "engine/EngineStatus.h"
#include "framework/PlatformSeams.h"

FileReadC::FileReadC()
    : FName{},
      Line{},
      LineNo(0),
      LineLen(0),
      DotNow(0),
      DotLast(0),
      DotEvery(DotInterval),
      Stream(nullptr),
      Clock(seam::currentTime) {}

FileReadC::~FileReadC() {
    close();
}

int FileReadC::setFileName(const char* name) {
    if (name == nullptr) return engine::NoName;
    std::size_t length = std::strlen(name);
    if (length > HeaderLimitsS::FNameMax) return engine::NameTooLong;
    std::memcpy(FName, name, length + 1);
    return 0;
}

int FileReadC::open() {
    close();
    LineNo = 0;
    Line[0] = '\0';
    LineLen = 0;
    // Binary mode: the reader itself drops CR and stops at Ctrl-Z, so the
    // runtime's text-mode translation is not needed, and the stream is
    // unbuffered because the ring fetches whole windows of its own.
    Stream = std::fopen(FName, "rb");
    if (Stream != nullptr) std::setvbuf(Stream, nullptr, _IONBF, 0);
    Ring.start(Stream);
    return Stream != nullptr ? 0 : engine::OpenFailed;
}

// Copies the bytes of the read from the ring's place to cut.End to Line at
// length. Most reads hold no CR, or one just before the line feed: their
// bytes are copied as they stand (sixteen at once where that fits), the
// line feed put in the CR's place.
void FileReadC::copyCut(const readwindows::ReadCutS& cut, std::size_t length) {
    const unsigned char* from = Ring.bytes() + Ring.at();
    const std::size_t span = cut.End - Ring.at();
    const std::size_t characters = cut.Characters - length;
    if (!readwindows::readAsItStands(Ring.bytes(), Ring.at(), cut, length)) {
        readwindows::copyRead(Ring.bytes(), Ring.at(), cut.End, Line + length);
        return;
    }
    // Line changes only where a byte is delivered (below, the previous
    // read stays when none is).
    if (characters == 0) return;
    char* to = Line + length;
#if defined(__SSE2__)
    if (span <= 16 && Ring.end() - Ring.at() >= 16 && length + 16 <= sizeof Line)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
    else
#endif
        std::memcpy(to, from, span);
    if (span != characters) to[characters - 1] = '\n';
}

int FileReadC::ReadLine() {
    // The read is built in place: Line changes only once a byte is
    // delivered, so at end of file it keeps the previous read. A read goes
    // on into the next window only where the file ends.
    std::size_t length = 0;
    for (;;) {
        if (Ring.at() == Ring.end() && !Ring.nextWindow()) break;
        const readwindows::ReadCutS cut =
            readwindows::cutRead(Ring.bytes(), Ring.at(), Ring.end(), length);
        copyCut(cut, length);
        length = cut.Characters;
        if (cut.How == readwindows::ReadCutS::AtCtrlZ) {
            Ring.endFileAt(cut.End);  // nothing after it is ever read
            break;
        }
        Ring.moveTo(cut.End);
        if (cut.How != readwindows::ReadCutS::Open) break;
    }
    if (length == 0 || Ring.failed()) return engine::ReadEnded;
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
    if (Stream == nullptr || !Ring.rewind()) {
        Status = engine::OpenFailed;
    } else {
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
    Ring.start(nullptr);
    return closed == 0 ? 0 : engine::CloseFailed;
}

bool FileReadC::runWindows(readwindows::WindowJobC& job) {
    uint32_t reads = 0;
    const bool goOn = Ring.run(job, reads);
    LineNo += reads;
    return goOn;
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
