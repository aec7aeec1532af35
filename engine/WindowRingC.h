#pragma once
// A file's bytes in a ring of windows. Each fetch fills a window with the
// next bytes of the file; a window is cut where its last whole read ends
// (readwindows::cutRead), and the bytes of a read begun after the cut move
// on to the next window. So every window starts where a read starts, and
// its reads depend on its bytes alone: the reader takes them one at a time
// from the window being read, and the passes hand whole windows to two
// threads (run).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/ReadWindows.h"

class WindowCrewC;

class WindowRingC {
  public:
    enum Sizes {
        WindowSize = 1 << 18,    // bytes of a window: fetched from the file at a time
        FirstFetch = 1 << 14,    // bytes a file's first fetch asks for; each next asks twice
                                 // as many, up to a window, so the worker shares small files
        WindowCount = 4,         // windows held at once: read ahead, worked on by two threads
        WindowSlack = 64,        // bytes readable past a window's end
        SmallWindow = 1 << 16,   // the one window kept when the others' memory cannot be had
        LeastScratch = 1 << 10,  // words of scratch a window has at least, besides its bits
    };

    WindowRingC();
    ~WindowRingC();
    WindowRingC(const WindowRingC&) = delete;
    WindowRingC& operator=(const WindowRingC&) = delete;

    // Windows of that many bytes (at least 64) from the next start on, in
    // place of WindowSize: the tests make them tiny, so that window ends
    // fall at every awkward place of a file.
    void setWindowBytes(std::size_t bytes);
    // Whether run takes whole windows (the default); without, every read is
    // taken one at a time, as the tests compare.
    void setWindowed(bool windowed) { Windowed = windowed; }

    // The top of a file just opened as stream (unbuffered, binary), or none.
    void start(std::FILE* stream);
    // Back to the top of the file: the window that holds a file whole is
    // read again from memory, any other file from its start. False when the
    // stream cannot be rewound.
    bool rewind();

    // The window being read: its bytes from at() to end().
    const unsigned char* bytes() const { return Bytes; }
    std::size_t at() const { return Pos; }
    std::size_t end() const { return End; }
    void moveTo(std::size_t pos) { Pos = pos; }
    // A Ctrl-Z at pos ends the file: nothing after it is read.
    void endFileAt(std::size_t pos);
    // The next window with a whole read in it, fetched unless it was
    // fetched ahead; false at the end of the file.
    bool nextWindow();
    // Whether the last fetch failed on a read error.
    bool failed() const { return Failed; }

    // Takes the reads from at() on a window at a time, each window scanned
    // by this thread or a worker and merged on this thread in file order,
    // until the job stops or the file ends; the ring is left at the first
    // read not taken. Reads taken counts them. False when the job saw a quit.
    bool run(readwindows::WindowJobC& job, uint32_t& readsTaken);
    // The windows the worker thread has scanned, all files together.
    unsigned workerWindows() const;

  private:
    // A window's memory and what its last fetch brought.
    struct SlotS {
        unsigned char* Bytes;  // Bytes of the window, WindowSlack more readable
        uint64_t* Scratch;     // what a scan of the window finds (ScratchWords)
        std::size_t Cut;       // [0, Cut) holds whole reads, or the file's last bytes
        std::size_t Filled;    // bytes fetched; those past Cut begin the next window
        bool Short;            // the fetch got less than it asked: the file ends here
        bool FetchFailed;      // the stream's error state after the fetch
    };
    class RunC;

    void forget();
    bool makeWindows();
    void freeWindows();
    void fetch(int to, int from);
    void show(int slot, std::size_t from);
    readwindows::WindowS window(int slot, std::size_t from) const;
    int slotAfter(int slot, int count) const { return (slot + count) % SlotCount; }

    std::FILE* Stream;
    const unsigned char* Bytes;  // the window being read
    std::size_t Pos;
    std::size_t End;
    bool AtEnd;   // end of file or a Ctrl-Z reached: no more reads
    bool Failed;  // the last fetch failed
    SlotS Slots[WindowCount];
    int SlotCount;                // windows in use: WindowCount, or 1 (the small one)
    int Head;                     // the slot of the window being read
    int Ahead;                    // slots after Head already fetched
    std::size_t WindowBytes;      // bytes a window holds
    std::size_t ScratchWords;     // words of scratch of a window
    std::size_t WantedBytes;      // bytes a window is to hold from the next start on
    int WholeFile;                // the slot holding the whole file, or -1
    bool FetchedAny;              // since the top of the file
    std::size_t FetchBytes;       // bytes the next fetch fills its window to
    unsigned char* WindowMemory;  // the windows, with their bits, when they are not the small one
    WindowCrewC* Crew;            // the worker; none until a file needs it
    bool Windowed;
    unsigned char SmallBytes[SmallWindow + WindowSlack];
    uint64_t SmallScratch[SmallWindow / 64 + 2 + SmallWindow / 32];
};
