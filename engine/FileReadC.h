#pragma once
// The wave-file line reader, root of the engine: it delivers a file piece by
// piece exactly as fgets(Line, 48) on a text-mode stream would (every CR
// dropped, Ctrl-Z ends the file, at most 47 characters per read, a line feed
// ends a read and stays in it: readwindows::cutRead), but reads the file in
// large binary windows (WindowRingC) and looks at each byte once. The passes
// hand whole windows of data to two threads (runWindows); every other read
// is taken one at a time.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "core/RunModeC.h"
#include "engine/ReadWindows.h"
#include "engine/WindowRingC.h"

class FileReadC {
  public:
    enum Sizes {
        // Characters per read, a line feed included; Line holds a read, its
        // terminator and one spare character.
        ReadMax = readwindows::ReadMax,
        LineSize = HeaderLimitsS::LineReadSize + 1,
        WindowSize = WindowRingC::WindowSize,
        FirstFetch = WindowRingC::FirstFetch,
        WindowCount = WindowRingC::WindowCount,
        DotInterval = 2,  // seconds between progress dots
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
    // its text, or none where ReadLine fails. A read that lies whole in the
    // window is handed out where it lies, ended by its line feed (or CR LF),
    // and Line is left as it was; any other read goes through ReadLine into
    // Line.
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
    bool readFailed() const { return Ring.failed(); }
    // True once more than DotInterval seconds have passed since the last dot.
    bool dotDue();
    // The time source of dotDue; the calendar time (seam::currentTime)
    // unless a test sets another.
    void setClock(ClockFn clock) { Clock = clock; }
    // Windows of that many bytes (at least 64) from the next open on, in
    // place of WindowSize: the tests make them tiny, so that window ends fall
    // at every awkward place of a file.
    void setWindowBytes(std::size_t bytes) { Ring.setWindowBytes(bytes); }
    // Whether the passes take whole windows of data at once (the default);
    // without, every read is taken one at a time, as the tests compare.
    void setWindowed(bool windowed) { Ring.setWindowed(windowed); }
    // The windows the worker thread has scanned, all files together: the
    // tests see that both threads took part.
    unsigned workerWindows() const { return Ring.workerWindows(); }

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
    void copyCut(const readwindows::ReadCutS& cut, std::size_t length);

    std::FILE* Stream;
    ClockFn Clock;
    WindowRingC Ring;
};

inline const char* FileReadC::nextRead() {
    const std::size_t at = Ring.at();
    if (at < Ring.end()) {
        // Most data lines: one read that lies whole in the window, with no CR
        // in it but one before its line feed.
        const readwindows::ReadCutS cut = readwindows::cutRead(Ring.bytes(), at, Ring.end());
        if (cut.How == readwindows::ReadCutS::LineFeed &&
            readwindows::readAsItStands(Ring.bytes(), at, cut)) {
            Ring.moveTo(cut.End);
            ++LineNo;
            return reinterpret_cast<const char*>(Ring.bytes() + at);
        }
    }
    return ReadLine() == 0 ? Line : nullptr;
}
