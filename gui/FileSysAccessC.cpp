#include "gui/FileSysAccessC.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ErrHandleC.h"
#include "framework/TFileOpenDialog.h"
#include "resources/WindowNames.h"

std::atomic<bool> FileSysAccessC::SelectBusy{false};

namespace {

const char Filter[] = "Input Files (*.txt, *.asc)|*.txt;*.asc| All Files (*.*)|*.*|";
const unsigned long DialogFlags = TOpenSaveDataS::HideReadOnly | TOpenSaveDataS::AllowMultiSelect |
                                  TOpenSaveDataS::PathMustExist | TOpenSaveDataS::FileMustExist |
                                  TOpenSaveDataS::NoTestFileCreate | TOpenSaveDataS::LongNames;

// The index of the first two NULs in a row; the last index when there are
// none (the buffer's last character is a NUL).
std::size_t listEnd(const char* buffer, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; ++i)
        if (buffer[i] == '\0' && buffer[i + 1] == '\0') return i;
    return size - 1;
}

// NamesStrSize characters of NULs, through the lists' memory seam (where
// tests make it run out); none, after a report naming the operation and the
// array, when there is no memory for them.
char* newNameList(const char* operation, const char* array) {
    char* list = static_cast<char*>(GoodBadListC::Realloc(nullptr, FileSysAccessC::NamesStrSize));
    if (list == nullptr) {
        ErrHandle.report(-6,
                         "FileSysAccessC::%s Can't allocate %s[%d] char array.\nPlease try again.",
                         operation, array, int(FileSysAccessC::NamesStrSize));
        return nullptr;
    }
    std::memset(list, 0, FileSysAccessC::NamesStrSize);
    return list;
}

const char EmptyList[2] = {'\0', '\0'};

}  // namespace

FileSysAccessC::FileSysAccessC(TWindow* owner, InvokeParseC* invoke)
    : OwnerP(owner), InvokeP(invoke), DirStr() {}

FileSysAccessC::~FileSysAccessC() {
    std::free(NamesStr);
}

const char* FileSysAccessC::names() const {
    return NamesStr != nullptr ? NamesStr : EmptyList;
}

// The dialog's buffer, as big as NamesStr, lives while the dialog runs.
void FileSysAccessC::popFiles() {
    if (SelectBusy.exchange(true)) return;
    char* buffer = newNameList("popFiles()", "FileName");  // starts as an empty list
    if (buffer != nullptr)
        runDialog(buffer);
    else
        SelectBusy.store(false);
    std::free(buffer);
}

void FileSysAccessC::runDialog(char* buffer) {
    TOpenSaveDataS data;
    data.Flags = DialogFlags;
    data.Filter = Filter;
    data.FilterIndex = 0;
    data.InitialDir = "";
    data.DefExt = "*";
    data.FileName = buffer;
    data.MaxPath = NamesStrSize;
    data.Title = names::FileDialogCaption;
    TFileOpenDialog dialog(OwnerP, data);
    const int answer = dialog.execute();
    SelectBusy.store(false);
    buffer[NamesStrSize - 1] = '\0';
    if (answer == TOpenSaveDataS::Ok) takeSelection(buffer);
    if (dialog.error() == TOpenSaveDataS::BufferTooSmall)
        ErrHandle.report(-4,
                         "File selection failed.  Limit, including path,\nis %d characters.   "
                         "Please try again.",
                         NamesStrSize);
    else if (dialog.error() != 0)
        ErrHandle.report(-5, "Unknown selection error.   Please try again.");
}

// One file: the path splits at its last backslash into directory and name.
// Several: the first string is the directory and the names follow it. The
// buffer's last two characters count as NULs whatever the dialog left there:
// the list then always ends within the buffer, and so does the list end that
// is written after the names when they are moved to its start.
void FileSysAccessC::takeSelection(char* buffer) {
    if (NamesStr == nullptr && (NamesStr = newNameList("takeSelection()", "NamesStr")) == nullptr)
        return;
    buffer[NamesStrSize - 2] = '\0';
    buffer[NamesStrSize - 1] = '\0';
    const std::size_t end = listEnd(buffer, NamesStrSize);
    std::snprintf(DirStr, sizeof DirStr, "%.*s", PartMax, buffer);
    const std::size_t len = std::strlen(buffer);
    if (len == end) {
        char* slash = std::strrchr(DirStr, '\\');
        const std::size_t nameAt = slash != nullptr ? (slash - DirStr) + 1 : 0;
        if (slash != nullptr)
            *slash = '\0';
        else
            DirStr[0] = '\0';
        std::memmove(buffer, buffer + nameAt, len - nameAt);
        buffer[len - nameAt] = '\0';
        buffer[len - nameAt + 1] = '\0';
    } else {
        std::memmove(buffer, buffer + len + 1, end - len);
        buffer[end - len] = '\0';
        buffer[end - len + 1] = '\0';
    }
    std::memcpy(NamesStr, buffer, NamesStrSize - 1);
    NamesStr[NamesStrSize - 1] = '\0';
}

bool FileSysAccessC::storePopFiles() {
    if (InvokeP->clearList(GoodBadListC::GOOD) < 0)
        ErrHandle.fatal(-2,
                        "FileSysAccessC::storePopFiles() Cannot append selected files\nto GOOD "
                        "list:  Can not proceed.  Try invoking in text mode.");
    if (InvokeP->clearList(GoodBadListC::BAD) < 0)
        ErrHandle.fatal(-3,
                        "FileSysAccessC::storePopFiles() Cannot append selected files\nto BAD "
                        "list:  Can not proceed.  Try invoking in text mode.");
    const std::size_t dirLen = std::strlen(DirStr);
    if (dirLen == 0 || dirLen > HeaderLimitsS::FNameMax) {
        ErrHandle.report(0,
                         "Nothing selected.  Please select at least one file.\nAt least one file "
                         "must end in .txt or .asc, and some file\nand directory name characters "
                         "can not be processed.\nUse the [Help] menu for further information.\n");
        return false;
    }
    const bool dirOk = directoryAcceptable();
    const char* limit = NamesStr + NamesStrSize;  // DirStr is set: so is NamesStr
    for (const char* name = NamesStr; name < limit && *name != '\0'; name += std::strlen(name) + 1)
        storeName(name, dirOk);
    return true;
}

bool FileSysAccessC::directoryAcceptable() const {
    for (const char* c = DirStr; *c != '\0'; ++c)
        if (*c != '\\' && InvokeParseC::isBadChar(static_cast<unsigned char>(*c)) != 0)
            return false;
    return true;
}

// A name goes to BAD when its full path would not fit a list entry whole:
// a cut path would name another file.
void FileSysAccessC::storeName(const char* name, bool dirOk) {
    const int len = static_cast<int>(std::strlen(name));
    const std::size_t pathLen = std::strlen(DirStr) + 1 + len;
    bool bad =
        !dirOk || pathLen > HeaderLimitsS::FNameMax || InvokeParseC::checkExtension(len, name) != 0;
    for (int i = 0; i < len && !bad; ++i)
        bad = InvokeParseC::isBadChar(static_cast<unsigned char>(name[i])) != 0;
    char path[PathSize];
    std::snprintf(path, sizeof path, "%.*s%c%.*s", PartMax, DirStr, '\\', PartMax, name);
    const int list = bad ? GoodBadListC::BAD : GoodBadListC::GOOD;
    const int r = InvokeP->appendNew(list, path);
    Status = r;
    if (r <= -4)
        ErrHandle.report(r,
                         "FileSysAccessC::storePopFiles() add file name failed.\nContinuing "
                         "anyway:  Program errors are likely!\nappendNew() to %s input file name "
                         "list failed for file in\ndir=[%s].\nFile name=[%s].\nConstructed full "
                         "path=[%s].",
                         bad ? "BAD" : "GOOD", DirStr, name, path);
}
