#pragma once
// The two ordered lists of input file names of a run: GOOD, the files still
// to be processed, and BAD, the files rejected so far. This layer of the
// shared parameter record also carries the spike parameters h and w with
// their defaults and bounds, and the program name.
#include <cstddef>
#include <cstdint>

#include "core/ErrHandleC.h"
#include "core/RunModeC.h"
#include "engine/GrowTextC.h"

class GoodBadListC : public RunModeC {
  public:
    // List selector: GOOD is 0, any other value means BAD.
    enum ListSel { GOOD = 0, BAD = 1 };
    // Starting size of a joined-name string; it grows with the names.
    enum Sizes { JoinedSizeFloor = 10240 };

    // One name of a list, allocated on its own.
    struct ElemS {
        char FName[FNameSize];  // up to 2048 characters, longer names are cut
        ElemS* Prev;            // none for position 1
        ElemS* Next;            // none for the last position
    };

    // A list header. FCount 0 is an empty list (First allocated, empty name,
    // no neighbours); -1 a deleted one (First none).
    struct ListS {
        int32_t FCount;
        ElemS* First;
    };

    // realloc-style source of memory for elements and joined-name strings.
    using ReallocFn = void* (*)(void* old, std::size_t size);

    GoodBadListC();
    ~GoodBadListC();
    GoodBadListC(const GoodBadListC&) = delete;
    GoodBadListC& operator=(const GoodBadListC&) = delete;

    // Both lists empty, ExeName empty; elements held before are freed.
    void initLists();
    // 0 once the list is empty; -1 for a deleted list.
    int clearList(int list);
    // The number of names; -1 for a deleted list.
    int getTotal(int list);
    // The name at pos (1-based), valid until its element is deleted;
    // nullptr on failure or past the end.
    const char* getName(int list, int pos);
    // The first position holding exactly Fname; 0 if absent, -1 on failure.
    int getPos(int list, const char* Fname);
    // The new name's position (the new count); -1 on failure.
    int appendNew(int list, const char* Fname);
    // pos - 1 after deleting pos; -1 on failure.
    int deleteElem(int list, int pos);
    // Inserts after pos (0 = in front); the new name's position, -1 on failure.
    int insertPos(int list, int pos, const char* Fname);
    // Every name in order, each followed by one blank. The text stays valid
    // until the next call for the same list.
    const char* listNames(int list);
    // Frees every element; FCount -1. Nothing happens to a deleted list.
    void deleteList(int list);

    // The line that names the rejected files, "Invalid fname: [...]" and CR
    // LF, added to text when BAD holds any; false when it cannot be added.
    bool appendBadLine(GrowTextC& text);

    // The bounds of both percentages, and the texts their defaults are read
    // from: the invocation parser and the graphic dialog both go by these.
    static constexpr double ParamMin = 0.0001;
    static constexpr double ParamMax = 99.9999;
    static constexpr char HeightDefaultText[] = "50.0";
    static constexpr char WidthDefaultText[] = "10.0";

    ListS Good;
    ListS Bad;
    double Height;  // spike height h, percent
    double Width;   // spike width w, percent
    const double HeightDefault;
    const double WidthDefault;
    char ExeName[FNameSize];
    bool ParamsValid;  // h and w settled by the invocation parser

    // Where memory comes from; tests swap it to run out of memory on purpose.
    static ReallocFn Realloc;

  private:
    // The last position reached in a list by a walk or an edit, so that a
    // walk by ascending positions, or appends one after another, do not
    // start again from First each time. Pos 0: nothing remembered.
    struct CursorS {
        ElemS* Elem;
        int32_t Pos;
    };

    ListS& pick(int list) { return list == GOOD ? Good : Bad; }
    CursorS& cursorOf(int list) { return list == GOOD ? GoodCursor : BadCursor; }
    static const char* label(int list) { return list == GOOD ? "GOOD" : "BAD"; }

    ElemS* newElem(const char* name, ElemS* prev, ElemS* next);
    void freeChain(ListS& l);
    ElemS* walkTo(int list, int32_t pos);
    bool deleted(int list, const char* operation);
    int brokenChain(int list, const char* operation, int32_t pos);

    CursorS GoodCursor;
    CursorS BadCursor;
    GrowTextC GoodNames;  // joined names of GOOD, from listNames
    GrowTextC BadNames;   // joined names of BAD, from listNames
};
