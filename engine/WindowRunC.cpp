// FileReadC::runWindows: the reads of a pass, a window at a time, on the
// pass's thread and the worker.
//
// The pass's thread fetches windows ahead (as many as there are slots),
// scans windows too when it has nothing else to do, and merges the scanned
// windows in file order; the worker scans whatever window is published and
// unclaimed. A window's reads depend on its bytes alone (each window starts
// where a read starts), so they are those the reader would deliver one at a
// time. When the job stops in a window, the reader is left there, with the
// windows fetched after it still to be read, so the pass goes on the
// sequential way over exactly the bytes it would have read.
#include <cstdint>

#include "engine/FileReadC.h"
#include "engine/WindowCrewC.h"

using readwindows::WindowJobC;

static_assert(int(FileReadC::WindowCount) == int(WindowCrewC::MaxWindows),
              "a run publishes at most one window per slot");

class WindowRunC {
  public:
    WindowRunC(FileReadC& reader, WindowJobC& job, WindowCrewC& crew)
        : Reader(reader), Job(job), Crew(crew), Base(reader.Head), Merged(0), Ended(false) {}

    bool run();

  private:
    void publish(int slot, std::size_t from) {
        const readwindows::WindowS window = Reader.window(slot, from);
        Job.published(window);
        Crew.publish(window);
    }
    int slotOf(unsigned number) const { return (Base + int(number)) % Reader.SlotCount; }
    bool lastFetchShort() const { return Reader.Slots[slotOf(Crew.published() - 1)].Short; }
    void fetchNext();
    bool leave(unsigned number, std::size_t stopAt, bool result);

    FileReadC& Reader;
    WindowJobC& Job;
    WindowCrewC& Crew;
    int Base;         // the slot of window 0
    unsigned Merged;  // windows merged
    bool Ended;       // no window follows the last one published
};

bool FileReadC::runWindows(WindowJobC& job) {
    if (!Windowed || Stream == nullptr || AtEnd) return true;
    if (BlockPos == BlockEnd && !fillBlock()) return true;
    if (Crew == nullptr) Crew = WindowCrewC::make();
    if (Crew == nullptr) return true;  // the sequential way does it all
    return WindowRunC(*this, job, *Crew).run();
}

bool WindowRunC::run() {
    Crew.begin(&Job);
    publish(Base, Reader.BlockPos);
    for (int ahead = 1; ahead <= Reader.Ahead; ++ahead) publish(slotOf(ahead), 0);
    Ended = lastFetchShort();
    for (;;) {
        while (Merged < Crew.published() && Crew.isDone(Merged)) {
            const WindowJobC::MergeS merged = Job.merge(Crew.window(Merged), Crew.end(Merged));
            Reader.LineNo += merged.Reads;
            if (merged.Next != WindowJobC::GoOn)
                return leave(Merged, merged.StopAt, merged.Next == WindowJobC::Stop);
            ++Merged;
        }
        if (Merged == Crew.published() && Ended)
            return leave(Merged - 1, Crew.window(Merged - 1).Cut, true);
        if (!Ended && Crew.published() - Merged < unsigned(Reader.SlotCount)) {
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
void WindowRunC::fetchNext() {
    const unsigned number = Crew.published();
    const int slot = slotOf(number);
    Reader.fetch(slot, slotOf(number - 1));
    if (Reader.Slots[slot].Filled == 0) {
        Ended = true;
        return;
    }
    publish(slot, 0);
    Ended = lastFetchShort();
    if (number == 1) Crew.startWorker();
}

// The reader goes on at stopAt in window number, with the windows fetched
// after it still to be read.
bool WindowRunC::leave(unsigned number, std::size_t stopAt, bool result) {
    const unsigned published = Crew.published();
    Crew.finish();
    Reader.Head = slotOf(number);
    Reader.Block = Reader.Slots[Reader.Head].Bytes;
    Reader.BlockPos = stopAt;
    Reader.BlockEnd = Reader.Slots[Reader.Head].Cut;
    Reader.Ahead = int(published - number - 1);
    return result;
}
