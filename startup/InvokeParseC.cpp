#include "startup/InvokeParseC.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ErrHandleC.h"
#include "startup/FileMatchC.h"

namespace {

// Blanks, control characters and bytes 128 to 255 (negative as signed char)
// all separate words.
bool isSeparator(char c) {
    return static_cast<signed char>(c) <= ' ';
}

char* skipSeparators(char* p) {
    while (*p != '\0' && isSeparator(*p)) ++p;
    return p;
}

int wordLength(const char* p) {
    int len = 0;
    while (!isSeparator(p[len])) ++len;
    return len;
}

void blankWord(char* p) {
    while (!isSeparator(*p)) *p++ = ' ';
}

// Copies up to TokenMax characters of the word at p into token, cut to its
// first TokenCut; returns where the copy stopped.
char* takeToken(char* p, char* token) {
    int len = 0;
    while (len < InvokeParseC::TokenMax && !isSeparator(p[len])) ++len;
    const int kept = len < InvokeParseC::TokenCut ? len : InvokeParseC::TokenCut;
    std::memcpy(token, p, kept);
    token[kept] = '\0';
    return p + len;
}

// A token counts when it is made of digits and points only.
bool isNumberToken(const char* token) {
    return token[0] != '\0' && token[std::strspn(token, "0123456789.")] == '\0';
}

// The length of the folder part of a file name: up to its last backslash,
// slash or drive colon.
int folderLength(const char* name) {
    int length = 0;
    for (int i = 0; name[i] != '\0'; ++i)
        if (name[i] == '\\' || name[i] == '/' || name[i] == ':') length = i + 1;
    return length;
}

}  // namespace

InvokeParseC::InvokeParseC(char** argv)
    : GoodBadListC(), InStr(InStrSize), MsgInStr(nullptr), ExePathLen(0) {
    parse(argv);
    releaseLines();
}

InvokeParseC::~InvokeParseC() {
    releaseLines();
}

// The line's first room is taken before any argument is copied.
void InvokeParseC::parse(char** argv) {
    if (!InStr.append("%s", "")) {
        Status = ErrHandle.report(-2, "InvokeParseC ctor:  Can't allocate InStr[%d] char array.",
                                  int(InStrSize));
        return;
    }
    MsgInStr = static_cast<char*>(Realloc(nullptr, MsgInStrStartSize));
    if (MsgInStr == nullptr) {
        Status = ErrHandle.report(
            -3, "InvokeParseC ctor:  Can't allocate dummy MsgInStr[%d] char array.",
            int(MsgInStrStartSize));
        return;
    }
    MsgInStr[0] = '\0';

    if ((Status = flattenInvLine(argv)) < 0)
        ErrHandle.fatal(Status, "InvokeParseC::flattenInvLine() failed.");
    if ((Status = storeExeName()) < 0)
        ErrHandle.fatal(Status, "InvokeParseC::storeExeName() failed.");
    if ((Status = storeRunMode()) < 0)
        ErrHandle.fatal(Status,
                        "InvokeParseC:  The invocation line was invalid:\n[%s]\n\n"
                        "Syntax: %s [-s|-t] [h w] [fname1 [fname2 . . .] ]\n"
                        "-s for silent; -t for text; neither for graphic mode; never both.\n"
                        "h and w are in percent, 0.0001..99.9999.\n\n"
                        "Try %s and view help menues.",
                        MsgInStr, ExeName, ExeName);
    if ((Status = storeParams()) < 0) ParamsValid = false;
    Status = storeFileNames();
}

void InvokeParseC::releaseLines() {
    InStr.release();
    std::free(MsgInStr);
    MsgInStr = nullptr;
}

// Joins the arguments, each followed by one blank. The line grows as they
// need, so no argument is ever left out.
int InvokeParseC::flattenInvLine(char** argv) {
    for (int index = 0; argv != nullptr && argv[index] != nullptr; ++index) {
        if (!InStr.append("%s ", argv[index])) return lineFailed(index, argv[index]);
        if (index == 0) ExePathLen = int(std::strlen(argv[0]));
    }
    const int len = int(InStr.length());
    char* copy = static_cast<char*>(Realloc(MsgInStr, len + 2));
    if (copy == nullptr)
        return ErrHandle.report(
            -3, "InvokeParseC flattenInvLine():  Can't reallocate MsgInStr[%d] char array.",
            len + 2);
    MsgInStr = copy;
    std::memcpy(MsgInStr, InStr.c_str(), len + 1);
    return 0;
}

// An argument that could not be added to the line: it could not be printed,
// or the line could not grow to hold it.
int InvokeParseC::lineFailed(int index, const char* entry) {
    if (InStr.refusedRoom() == 0)
        return ErrHandle.report(-2,
                                "InvokeParseC flattenInvLine():  sprintf failed to copy invoke "
                                "arg\n%d=[%s]\n\nto InStr array=[%s].",
                                index, entry, InStr.c_str());
    return ErrHandle.report(-2,
                            "InvokeParseC flattenInvLine():  Can't reallocate InStr[%d] char "
                            "array\nfor invoke arg %d=[%s].",
                            int(InStr.refusedRoom()), index, entry);
}

// The program path is the whole first argument, blanks and all, so that a
// program installed under a folder such as "Program Files" still finds h and
// w after it. ExeName is its last component without the extension.
int InvokeParseC::storeExeName() {
    char* const line = InStr.data();
    const int nameMax = HeaderLimitsS::FNameMax;
    if (ExePathLen >= nameMax)
        return ErrHandle.report(
            -2, "InvokeParseC::storeExeName() exe name len=[%d]\nExceeds maximum=[%d].", nameMax,
            nameMax);
    const char* name = line;
    for (int i = 0; i < ExePathLen; ++i)
        if (line[i] == '\\') name = line + i + 1;
    int nameLen = int(line + ExePathLen - name);
    for (int i = nameLen - 1; i >= 0; --i)
        if (name[i] == '.') {
            nameLen = i;
            break;
        }
    std::memcpy(ExeName, name, nameLen);
    ExeName[nameLen] = '\0';
    const int lineLen = int(std::strlen(line));
    std::memset(line, ' ', ExePathLen + 1 <= lineLen ? ExePathLen + 1 : lineLen);
    return 0;
}

int InvokeParseC::storeRunMode() {
    int switches = 0, lost = 0, texts = 0, silents = 0;
    char* switchAt = nullptr;
    char* const line = InStr.data();
    for (char* p = std::strchr(line, '-'); p != nullptr; p = std::strchr(p + 1, '-')) {
        if (p == line || p[-1] != ' ') continue;
        ++switches;
        if (isSeparator(p[1])) {
            ++lost;
        } else if ((p[1] == 't' || p[1] == 's') && p[2] == ' ') {
            (p[1] == 't' ? texts : silents) += 1;
            switchAt = p;
        }
    }
    if (switches >= 2)
        return ErrHandle.report(
            -2,
            "InvokeParseC::storeRunMode() Apparent multiple switches.\nInvoked as: [%s]\n\n"
            "More than one \" -xxx\" found.  Only one of -s or -t allowed.\n"
            "File names beginning with \"-\" are not allowed.",
            MsgInStr);
    if (lost >= 1)
        return ErrHandle.report(
            -3,
            "InvokeParseC::storeRunMode() Apparent lost switch char '-'.\nInvoked as: [%s]\n\n"
            "The only allowed switches are -s or -t.   No isolated '-' allowed.\n"
            "File names beginning with \"-\" are not allowed.",
            MsgInStr);
    if (switches == 0) {
        Mode = ModeGraphic;
        return 0;
    }
    if (switchAt == nullptr)
        return ErrHandle.report(-4,
                                "InvokeParseC::storeRunMode() Unknown switch on invocation line.\n"
                                "Invoked as: [%s]\n\nThe only allowed switches are -s or -t.\n"
                                "File names beginning with \"-\" are not allowed.",
                                MsgInStr);
    Mode = texts == 1 ? ModeText : ModeSilent;
    switchAt[0] = switchAt[1] = ' ';
    return 0;
}

// h and w are the first two words left on the line; a word counts when its
// first seven characters are digits and points.
int InvokeParseC::storeParams() {
    char hToken[TokenMax + 1], wToken[TokenMax + 1];
    char* hAt = skipSeparators(InStr.data());
    char* wAt = skipSeparators(takeToken(hAt, hToken));
    takeToken(wAt, wToken);
    const bool hFound = isNumberToken(hToken), wFound = isNumberToken(wToken);

    if (!hFound && !wFound) {
        if (Mode == ModeGraphic) {
            Height = HeightDefault;
            Width = WidthDefault;
            ParamsValid = true;
            return 0;
        }
        ParamsValid = false;
        return ErrHandle.report(
            -2,
            "InvokeParseC::storeParams() No valid Height h or Width w found.\nInvoked as: "
            "[%s]\n\nBoth h and w must be provided for nongraphic mode.\n"
            "Each must be a percent value x, with 0.0001 <= x <= 99.9999.",
            MsgInStr);
    }
    if (!hFound || !wFound) {
        ParamsValid = false;
        return ErrHandle.report(
            -3,
            "InvokeParseC::storeParams() Just one Height h or Width w found.\nInvoked as: "
            "[%s]\n\nBoth h and w must be provided.\nNeither, or both, is OK for graphic mode.\n"
            "Each must be a percent value x, with 0.0001 <= x <= 99.9999.\n"
            "Possible typo on invocation line?",
            MsgInStr);
    }
    ParamsValid = true;
    Height = settleParam(std::strtod(hToken, nullptr), HeightDefault, "Height h");
    Width = settleParam(std::strtod(wToken, nullptr), WidthDefault, "Width w");
    blankWord(hAt);
    blankWord(wAt);
    return 0;
}

// The value when within [ParamMin, ParamMax], else the default, announced
// outside graphic mode.
double InvokeParseC::settleParam(double value, double fallback, const char* what) {
    if (value >= ParamMin && value <= ParamMax) return value;
    if (Mode != ModeGraphic)
        ErrHandle.report(0,
                         "InvokeParseC::storeParams():  WARNING!\n%s param adjusted to "
                         "default=%.1f%%.",
                         what, fallback);
    return fallback;
}

// Sorts the words left on the line into GOOD and BAD. Over-long words give
// their first 2048 characters as a name; the character after them is dropped.
// A name with wildcards stands for the files it matches; one that matches
// none is taken as typed.
int InvokeParseC::storeFileNames() {
    if (Mode == ModeGraphic) return 0;
    const int nameMax = HeaderLimitsS::FNameMax;
    char name[FNameSize];
    for (char* p = skipSeparators(InStr.data()); *p != '\0'; p = skipSeparators(p)) {
        const int len = wordLength(p);
        const int kept = len > nameMax ? nameMax : len;
        std::memcpy(name, p, kept);
        name[kept] = '\0';
        if (len > nameMax) {
            appendNew(BAD, name);
            p += nameMax + 1;
            continue;
        }
        p += len;
        if (!FileMatchC::holdsWildcard(name, len) || storeMatches(name) == 0) storeName(name, len);
    }
    return 0;
}

// A name is bad if any of its characters fails isBadChar or if its extension
// is not accepted.
void InvokeParseC::storeName(const char* name, int len) {
    bool bad = checkExtension(len, name) != 0;
    for (int i = 0; i < len && !bad; ++i) bad = isBadChar(name[i]) != 0;
    appendNew(bad ? BAD : GOOD, name);
}

// The files that pattern matches take its place in name order, each with the
// pattern's folder in front, and are checked as any name. A match that the
// checks refuse goes to BAD whole: one holding a blank, split into words,
// could name other files. So does a path too long for a list entry, which,
// cut, would name another file. Returns the number of matches.
int InvokeParseC::storeMatches(const char* pattern) {
    FileMatchC matches;
    if (!matches.find(pattern)) {
        ErrHandle.report(-2,
                         "InvokeParseC::storeFileNames() Can't allocate memory for the files "
                         "matching\n[%s].\nThe name is taken as typed.",
                         pattern);
        return 0;
    }
    const int folderLen = folderLength(pattern);
    char path[FNameSize];
    for (int i = 0; i < matches.count(); ++i) {
        const int len =
            std::snprintf(path, sizeof path, "%.*s%s", folderLen, pattern, matches.name(i));
        if (len > HeaderLimitsS::FNameMax)
            appendNew(BAD, path);
        else
            storeName(path, len);
    }
    return matches.count();
}

int InvokeParseC::isBadChar(unsigned char c) {
    if (c < ' ' || c > '~') return -1;
    return std::strchr(" \"'*<>?`|", c) != nullptr ? -1 : 0;
}

int InvokeParseC::checkExtension(int len, const char* name) {
    if (len < 5) return -1;
    const char* ext = name + len - 4;
    return std::memcmp(ext, ".txt", 4) == 0 || std::memcmp(ext, ".asc", 4) == 0 ? 0 : -1;
}
