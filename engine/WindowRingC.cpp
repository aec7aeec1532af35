#include "engine/WindowRingC.h"

#include <cstring>
#include <new>

#include "engine/WindowCrewC.h"

static_assert(int(WindowRingC::WindowCount) == int(WindowCrewC::MaxWindows),
              "a run publishes at most one window per slot");

namespace {

// Where the last whole read of bytes[0, filled) ends, bytes[0] starting a
// read: after the last line feed, or after the last full read counted from
// there (cutRead). 0 when no read ends in them. A Ctrl-Z counts as a
// character here: the reads end the file at it, and what moves on to the
// next window stays shorter than a read. Were the cut made before it, a line
// with a Ctrl-Z and no line feed for a window's bytes after it would move on
// whole, window after window, with no read ever cut.
std::size_t readsEnd(const unsigned char* bytes, std::size_t filled) {
    std::size_t lineStart = filled;
    while (lineStart > 0 && bytes[lineStart - 1] != '\n') --lineStart;
    std::size_t end = lineStart;
    for (;;) {
        const readwindows::ReadCutS cut =
            readwindows::cutRead(bytes, end, filled, 0, readwindows::CtrlZCounts);
        if (cut.How != readwindows::ReadCutS::Full) return end;
        end = cut.End;
    }
}

}  // namespace

WindowRingC::WindowRingC()
    : Stream(nullptr),
      Bytes(nullptr),
      Pos(0),
      End(0),
      AtEnd(false),
      Failed(false),
      Slots{},
      SlotCount(0),
      Head(0),
      Ahead(0),
      WindowBytes(0),
      ScratchWords(0),
      WantedBytes(WindowSize),
      WholeFile(-1),
      FetchedAny(false),
      FetchBytes(0),
      WindowMemory(nullptr),
      Crew(nullptr),
      Windowed(true),
      SmallBytes{},
      SmallScratch{} {
    freeWindows();
    forget();
}

WindowRingC::~WindowRingC() {
    delete Crew;
    freeWindows();
}

void WindowRingC::setWindowBytes(std::size_t bytes) {
    WantedBytes = bytes < 64 ? 64 : bytes;
}

// The small window alone, until makeWindows has the others' memory.
void WindowRingC::freeWindows() {
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
bool WindowRingC::makeWindows() {
    if (WindowMemory != nullptr && WindowBytes == WantedBytes) return true;
    freeWindows();
    // A bit per byte, and room for the validation pass's list of marks.
    const std::size_t listWords =
        WantedBytes / 32 > LeastScratch ? WantedBytes / 32 : std::size_t{LeastScratch};
    const std::size_t words = WantedBytes / 64 + 2 + listWords;
    const std::size_t bytes = (WantedBytes + WindowSlack + 7) / 8 * 8;
    const std::size_t slotSize = words * 8 + bytes;
    // Not cleared (a small file touches few of these pages): a fetch
    // clears the slack past its bytes, a job the scratch it uses.
    WindowMemory = new (std::nothrow) unsigned char[WindowCount * slotSize];
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

void WindowRingC::start(std::FILE* stream) {
    if (stream != nullptr) makeWindows();
    Stream = stream;
    forget();
}

// Nothing fetched: the first fetch starts a window at the top of the file.
void WindowRingC::forget() {
    Head = 0;
    Ahead = 0;
    WholeFile = -1;
    FetchedAny = false;
    FetchBytes = WindowBytes < std::size_t{FirstFetch} ? WindowBytes : std::size_t{FirstFetch};
    Slots[0].Cut = 0;
    Slots[0].Filled = 0;
    Slots[0].Short = false;
    show(0, 0);
    End = 0;
    AtEnd = false;
    Failed = false;
}

// The window in slot to be read from from.
void WindowRingC::show(int slot, std::size_t from) {
    Head = slot;
    Bytes = Slots[slot].Bytes;
    Pos = from;
    End = Slots[slot].Cut;
}

void WindowRingC::endFileAt(std::size_t pos) {
    AtEnd = true;
    Pos = pos;
    End = pos;
}

// A fetch that got less than it asked met the end of the file (or an
// error): no window follows it.
bool WindowRingC::nextWindow() {
    if (AtEnd || Stream == nullptr) return false;
    while (Ahead > 0 || !Slots[Head].Short) {
        const int next = slotAfter(Head, 1);
        if (Ahead > 0) {
            --Ahead;
        } else {
            fetch(next, Head);
        }
        show(next, 0);
        if (End > 0) return true;
        // Only part of a read: its bytes move on to the next window.
    }
    Failed = Slots[Head].FetchFailed;
    AtEnd = true;
    return false;
}

// Window to: the bytes of the read begun at the end of window from (without
// their CRs, which text mode drops anyway), then as much of the file as
// fits, cut after its last whole read unless the file ends in it. A Ctrl-Z
// is left to the reads: the scan stops before the read it ends, the reader
// ends the file there. to may be from itself (with one window).
void WindowRingC::fetch(int to, int from) {
    SlotS& next = Slots[to];
    const SlotS& last = Slots[from];
    const std::size_t carried = readwindows::copyRead(last.Bytes, last.Cut, last.Filled,
                                                      reinterpret_cast<char*>(next.Bytes));
    const std::size_t asked = FetchBytes - carried;
    FetchBytes = 2 * FetchBytes < WindowBytes ? 2 * FetchBytes : WindowBytes;
    const std::size_t got = std::fread(next.Bytes + carried, 1, asked, Stream);
    next.Filled = carried + got;
    // The slack past them, read only where masks ignore it, holds zeros:
    // the same whatever the window held before.
    std::memset(next.Bytes + next.Filled, 0, WindowSlack);
    next.Short = got < asked;
    next.FetchFailed = std::ferror(Stream) != 0;
    next.Cut = next.Short ? next.Filled : readsEnd(next.Bytes, next.Filled);
    if (to == WholeFile) WholeFile = -1;
    if (!FetchedAny && next.Short && next.Filled > 0) WholeFile = to;
    FetchedAny = true;
}

bool WindowRingC::rewind() {
    if (WholeFile >= 0) {  // held whole: read again from memory
        Ahead = 0;
        show(WholeFile, 0);
        AtEnd = false;
        Failed = false;
        return true;
    }
    if (Stream == nullptr || std::fseek(Stream, 0L, SEEK_SET) != 0) return false;
    std::clearerr(Stream);
    forget();
    return true;
}

unsigned WindowRingC::workerWindows() const {
    return Crew != nullptr ? Crew->workerScans() : 0;
}

readwindows::WindowS WindowRingC::window(int slot, std::size_t from) const {
    return {slot, Slots[slot].Bytes, from, Slots[slot].Cut, Slots[slot].Scratch, ScratchWords};
}

// The reads of a pass, a window at a time, on the pass's thread and the
// worker. The pass's thread fetches windows ahead (as many as there are
// slots), scans windows too when it has nothing else to do, and merges the
// scanned windows in file order; the worker scans whatever window is
// published and unclaimed. A window's reads depend on its bytes alone, so
// they are those the reader would deliver one at a time. When the job stops
// in a window, the ring is left there, with the windows fetched after it
// still to be read, so the pass goes on read by read over exactly the bytes
// it would have read.
class WindowRingC::RunC {
  public:
    RunC(WindowRingC& ring, readwindows::WindowJobC& job, WindowCrewC& crew)
        : Ring(ring), Job(job), Crew(crew), Base(ring.Head), Merged(0), Ended(false) {}

    bool run(uint32_t& readsTaken);

  private:
    void publish(int slot, std::size_t from) {
        const readwindows::WindowS window = Ring.window(slot, from);
        Job.published(window);
        Crew.publish(window);
    }
    int slotOf(unsigned number) const { return Ring.slotAfter(Base, int(number)); }
    bool lastFetchShort() const { return Ring.Slots[slotOf(Crew.published() - 1)].Short; }
    void fetchNext();
    bool leave(unsigned number, std::size_t stopAt, bool result);

    WindowRingC& Ring;
    readwindows::WindowJobC& Job;
    WindowCrewC& Crew;
    int Base;         // the slot of window 0
    unsigned Merged;  // windows merged
    bool Ended;       // no window follows the last one published
};

bool WindowRingC::run(readwindows::WindowJobC& job, uint32_t& readsTaken) {
    readsTaken = 0;
    if (!Windowed || Stream == nullptr || AtEnd) return true;
    if (Pos == End && !nextWindow()) return true;
    if (Crew == nullptr) Crew = WindowCrewC::make();
    if (Crew == nullptr) return true;  // read by read, all of it
    return RunC(*this, job, *Crew).run(readsTaken);
}

bool WindowRingC::RunC::run(uint32_t& readsTaken) {
    Crew.begin(&Job);
    publish(Base, Ring.Pos);
    for (int ahead = 1; ahead <= Ring.Ahead; ++ahead) publish(slotOf(ahead), 0);
    Ended = lastFetchShort();
    for (;;) {
        while (Merged < Crew.published() && Crew.isDone(Merged)) {
            const readwindows::WindowJobC::MergeS merged =
                Job.merge(Crew.window(Merged), Crew.end(Merged));
            readsTaken += merged.Reads;
            if (merged.Next != readwindows::WindowJobC::GoOn)
                return leave(Merged, merged.StopAt, merged.Next == readwindows::WindowJobC::Stop);
            ++Merged;
        }
        if (Merged == Crew.published() && Ended)
            return leave(Merged - 1, Crew.window(Merged - 1).Cut, true);
        if (!Ended && Crew.published() - Merged < unsigned(Ring.SlotCount)) {
            fetchNext();
            continue;
        }
        unsigned number;
        if (Crew.claim(number)) {
            Crew.scan(number, number == Merged ? Job.readsLeft() : UINT32_MAX);
            continue;
        }
        Crew.waitDone(Merged);
    }
}

// The next window, unless the file has nothing more; from the second window
// on the worker helps.
void WindowRingC::RunC::fetchNext() {
    const unsigned number = Crew.published();
    const int slot = slotOf(number);
    Ring.fetch(slot, slotOf(number - 1));
    if (Ring.Slots[slot].Filled == 0) {
        Ended = true;
        return;
    }
    publish(slot, 0);
    Ended = lastFetchShort();
    if (number == 1) Crew.startWorker();
}

// The ring goes on at stopAt in window number, with the windows fetched
// after it still to be read.
bool WindowRingC::RunC::leave(unsigned number, std::size_t stopAt, bool result) {
    const unsigned published = Crew.published();
    Crew.finish();
    Ring.show(slotOf(number), stopAt);
    Ring.Ahead = int(published - number - 1);
    return result;
}
