#include "engine/GoodBadListC.h"

#include <cstdlib>
#include <cstring>

#include "core/ErrHandleC.h"

namespace {

void* systemRealloc(void* old, std::size_t size) {
    return std::realloc(old, size);
}

// Copies a name, cut at 2048 characters so that it always fits FName.
void copyName(char* to, const char* from) {
    std::size_t len = 0;
    while (len < HeaderLimitsS::FNameMax && from[len] != '\0') ++len;
    std::memcpy(to, from, len);
    to[len] = '\0';
}

const char* const NoListText =
    "GoodBadListC::%s:  NO LIST!.\n%s List FCount=%d.\nThis list has been deleted!";

}  // namespace

GoodBadListC::ReallocFn GoodBadListC::Realloc = systemRealloc;

GoodBadListC::GoodBadListC()
    : RunModeC(),
      Good{0, nullptr},
      Bad{0, nullptr},
      Height(0.0),
      Width(0.0),
      HeightDefault(std::strtod(HeightDefaultText, nullptr)),
      WidthDefault(std::strtod(WidthDefaultText, nullptr)),
      ExeName{},
      ParamsValid(false),
      GoodCursor{nullptr, 0},
      BadCursor{nullptr, 0},
      GoodNames(JoinedSizeFloor),
      BadNames(JoinedSizeFloor) {
    Height = HeightDefault;
    Width = WidthDefault;
    initLists();
}

GoodBadListC::~GoodBadListC() {
    deleteList(GOOD);
    deleteList(BAD);
}

GoodBadListC::ElemS* GoodBadListC::newElem(const char* name, ElemS* prev, ElemS* next) {
    ElemS* elem = static_cast<ElemS*>(Realloc(nullptr, sizeof(ElemS)));
    if (elem == nullptr) return nullptr;
    copyName(elem->FName, name);
    elem->Prev = prev;
    elem->Next = next;
    return elem;
}

void GoodBadListC::freeChain(ListS& l) {
    while (l.First != nullptr) {
        ElemS* next = l.First->Next;
        std::free(l.First);
        l.First = next;
    }
}

void GoodBadListC::initLists() {
    freeChain(Good);
    freeChain(Bad);
    GoodCursor = BadCursor = CursorS{nullptr, 0};
    Good = ListS{0, newElem("", nullptr, nullptr)};
    if (Good.First == nullptr)
        ErrHandle.fatal(-2, "Tallywave GoodBadListC initLists():\nGood.First==NULL pointer.");
    Bad = ListS{0, newElem("", nullptr, nullptr)};
    if (Bad.First == nullptr)
        ErrHandle.fatal(-3, "Tallywave GoodBadListC initLists():\nBad.First==NULL pointer.");
    ExeName[0] = '\0';
}

// Reports an operation on a deleted list; true when the list is deleted.
bool GoodBadListC::deleted(int list, const char* operation) {
    const int32_t count = pick(list).FCount;
    if (count >= 0) return false;
    ErrHandle.report(-8, NoListText, operation, label(list), count);
    return true;
}

// Reports a chain that ends before its count says it should; returns -1.
int GoodBadListC::brokenChain(int list, const char* operation, int32_t pos) {
    ErrHandle.report(-9,
                     "GoodBadListC::%s:  Broken list.\n%s List ends before position=%u of "
                     "FCount=%d.",
                     operation, label(list), unsigned(pos), pick(list).FCount);
    return -1;
}

// The element at pos (1..FCount), walking on from the remembered position
// when that is not past pos, else from First, and remembering pos; nullptr if
// the chain ends first.
GoodBadListC::ElemS* GoodBadListC::walkTo(int list, int32_t pos) {
    CursorS& cursor = cursorOf(list);
    ElemS* elem = pick(list).First;
    int32_t at = 1;
    if (cursor.Pos >= 1 && cursor.Pos <= pos) {
        elem = cursor.Elem;
        at = cursor.Pos;
    }
    while (elem != nullptr && at < pos) {
        elem = elem->Next;
        ++at;
    }
    if (elem != nullptr) cursor = CursorS{elem, pos};
    return elem;
}

int GoodBadListC::clearList(int list) {
    ListS& l = pick(list);
    if (l.FCount < 0) {
        ErrHandle.report(-2, NoListText, "clearList()", label(list), l.FCount);
        return -1;
    }
    ElemS* rest = l.First->Next;
    l.First->Next = nullptr;
    while (rest != nullptr) {
        ElemS* next = rest->Next;
        std::free(rest);
        rest = next;
    }
    l.First->FName[0] = '\0';
    l.First->Prev = nullptr;
    l.FCount = 0;
    cursorOf(list) = CursorS{nullptr, 0};
    return 0;
}

int GoodBadListC::getTotal(int list) {
    const int32_t count = pick(list).FCount;
    if (count < 0) {
        ErrHandle.report(-2, "GoodBadListC::getTotal(ListS):  Illegal FCount=%u; must be >= 0.\n",
                         unsigned(count));
        return -1;
    }
    return count;
}

const char* GoodBadListC::getName(int list, int pos) {
    if (deleted(list, "getName(ListS, pos)")) return nullptr;
    if (pos <= 0) {
        ErrHandle.report(-2,
                         "GoodBadListC::getName(ListS, pos=%u):  Illegal position; must be > 0.\n",
                         unsigned(pos));
        return nullptr;
    }
    if (pos > pick(list).FCount) return nullptr;
    const ElemS* elem = walkTo(list, pos);
    if (elem == nullptr) {
        ErrHandle.report(-4,
                         "GoodBadListC::getName(ListS, pos=%u):  Unused element at position=%u:\n"
                         "ListS.Elem%02u->FName is NULL.",
                         unsigned(pos), unsigned(pos), unsigned(pos));
        return nullptr;
    }
    if (elem->FName[0] == '\0') {
        ErrHandle.report(-6, "GoodBadListC::getName(ListS, pos=%u):  FName is NULL string.",
                         unsigned(pos));
        return nullptr;
    }
    return elem->FName;
}

int GoodBadListC::getPos(int list, const char* Fname) {
    if (deleted(list, "getPos(list, Fname)")) return -1;
    if (Fname == nullptr) {
        ErrHandle.report(-2, "GoodBadListC::getPos(list, Fname) called with NULL Fname ptr.");
        return -1;
    }
    if (Fname[0] == '\0') {
        ErrHandle.report(-3, "GoodBadListC::getPos(list, Fname):  Fname is NULL string.");
        return -1;
    }
    const ListS& l = pick(list);
    int32_t pos = 1;
    for (const ElemS* elem = l.First; elem != nullptr && pos <= l.FCount; elem = elem->Next, ++pos)
        if (std::strcmp(elem->FName, Fname) == 0) return pos;
    return 0;
}

int GoodBadListC::appendNew(int list, const char* Fname) {
    if (deleted(list, "appendNew(list, Fname)")) return -1;
    if (Fname == nullptr) {
        ErrHandle.report(-2, "GoodBadListC::appendNew(list, Fname): NULL Fname pointer.");
        return -1;
    }
    if (Fname[0] == '\0') {
        ErrHandle.report(-3, "GoodBadListC::appendNew(list, Fname):  Fname is NULL string.");
        return -1;
    }
    ListS& l = pick(list);
    if (l.FCount == 0) {
        copyName(l.First->FName, Fname);
        l.First->Prev = l.First->Next = nullptr;
        l.FCount = 1;
        cursorOf(list) = CursorS{l.First, 1};
        return 1;
    }
    ElemS* last = walkTo(list, l.FCount);
    if (last == nullptr) return brokenChain(list, "appendNew(list, Fname)", l.FCount);
    ElemS* elem = newElem(Fname, last, nullptr);
    if (elem == nullptr)
        ErrHandle.fatal(
            -4,
            "Tallywave GoodBadListC::appendNew(list, Fname):\nCan't allocate a new list "
            "element for append at position=%u for\nFname=[%s].",
            unsigned(l.FCount), Fname);
    last->Next = elem;
    ++l.FCount;
    cursorOf(list) = CursorS{elem, l.FCount};
    return l.FCount;
}

int GoodBadListC::deleteElem(int list, int pos) {
    if (deleted(list, "deleteElem(list, pos)")) return -1;
    ListS& l = pick(list);
    if (pos <= 0) {
        ErrHandle.report(-2, "GoodBadListC::deleteElem(list, pos=%u):  position must be > 0.",
                         unsigned(pos));
        return -1;
    }
    if (pos > l.FCount) {
        ErrHandle.report(
            -3,
            "GoodBadListC::deleteElem(list, pos=%u):  Short list:\nTotal elements only "
            "= %u.",
            unsigned(pos), unsigned(l.FCount));
        return -1;
    }
    if (pos == 1) {
        if (l.FCount == 1) {
            l.First->FName[0] = '\0';
            l.FCount = 0;
            cursorOf(list) = CursorS{nullptr, 0};
            return 0;
        }
        ElemS* second = l.First->Next;
        if (second == nullptr) return brokenChain(list, "deleteElem(list, pos)", 2);
        std::free(l.First);
        l.First = second;
        second->Prev = nullptr;
        --l.FCount;
        cursorOf(list) = CursorS{second, 1};
        return 0;
    }
    // Unlink through the element before pos; walkTo leaves the cursor on it,
    // and its position does not change.
    ElemS* before = walkTo(list, pos - 1);
    ElemS* elem = before != nullptr ? before->Next : nullptr;
    if (elem == nullptr) return brokenChain(list, "deleteElem(list, pos)", pos);
    before->Next = elem->Next;
    if (elem->Next != nullptr) elem->Next->Prev = before;
    std::free(elem);
    --l.FCount;
    return pos - 1;
}

int GoodBadListC::insertPos(int list, int pos, const char* Fname) {
    if (deleted(list, "insertPos(list, pos, Fname)")) return -1;
    ListS& l = pick(list);
    if (Fname == nullptr) {
        ErrHandle.report(-2, "GoodBadListC::insertPos(list, pos=%u, Fname) Fname ptr is NULL.",
                         unsigned(pos));
        return -1;
    }
    if (Fname[0] == '\0') {
        ErrHandle.report(-3, "GoodBadListC::insertPos(list, pos=%u, Fname) Fname is NULL string.",
                         unsigned(pos));
        return -1;
    }
    if (pos > l.FCount) {
        ErrHandle.report(-5,
                         "GoodBadListC::insertPos(list, pos=%u, Fname=[%s]):   Short list.\n"
                         "Position is beyond last element=%u.",
                         unsigned(pos), Fname, unsigned(l.FCount));
        return -1;
    }
    if (pos < 0) {
        ErrHandle.report(
            -5,
            "GoodBadListC::insertPos(list, pos=%d, Fname=[%s]):   passed illegal pos.\n"
            "Position must be >=0; was passed pos=%u.",
            pos, Fname, unsigned(pos));
        return -1;
    }
    if (pos == 0 && l.FCount == 0) {
        copyName(l.First->FName, Fname);
        l.First->Prev = l.First->Next = nullptr;
        l.FCount = 1;
        cursorOf(list) = CursorS{l.First, 1};
        return 1;
    }
    if (pos == 0) {
        ElemS* elem = newElem(Fname, nullptr, l.First);
        if (elem == nullptr)
            ErrHandle.fatal(-6,
                            "GoodBadListC::insertPos(list, pos=0, Fname=[%s]):\nCan't allocate a "
                            "new first list element.",
                            Fname);
        l.First->Prev = elem;
        l.First = elem;
        ++l.FCount;
        cursorOf(list) = CursorS{elem, 1};
        return 1;
    }
    ElemS* before = walkTo(list, pos);
    if (before == nullptr) return brokenChain(list, "insertPos(list, pos, Fname)", pos);
    ElemS* elem = newElem(Fname, before, before->Next);
    if (elem == nullptr)
        ErrHandle.fatal(-7,
                        "GoodBadListC::insertPos(list, pos=%u, Fname):\nCan't allocate memory for "
                        "new element for Fname=[%s].",
                        unsigned(pos), Fname);
    if (before->Next != nullptr) before->Next->Prev = elem;
    before->Next = elem;
    ++l.FCount;
    cursorOf(list) = CursorS{elem, pos + 1};
    return pos + 1;
}

// Names that no longer find memory are left out; the text keeps the names
// that fit, cut after the last whole name.
const char* GoodBadListC::listNames(int list) {
    if (deleted(list, "listNames(list)")) return "";
    const ListS& l = pick(list);
    GrowTextC& joined = list == GOOD ? GoodNames : BadNames;
    joined.clear();
    int32_t listed = 0;
    for (const ElemS* elem = l.First; elem != nullptr && listed < l.FCount; elem = elem->Next) {
        if (!joined.append("%s ", elem->FName)) {
            ErrHandle.report(-4,
                             "GoodBadListC::listNames(list):  Can't allocate memory for the "
                             "joined names.\n%s List: only %d of FCount=%d names are listed.",
                             label(list), listed, l.FCount);
            break;
        }
        ++listed;
    }
    return joined.c_str();
}

bool GoodBadListC::appendBadLine(GrowTextC& text) {
    return getTotal(BAD) <= 0 || text.append("Invalid fname: [%s]\r\n", listNames(BAD));
}

void GoodBadListC::deleteList(int list) {
    ListS& l = pick(list);
    if (l.FCount < 0) return;
    freeChain(l);
    l.FCount = -1;
    cursorOf(list) = CursorS{nullptr, 0};
}
