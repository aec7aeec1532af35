#include "textui/TextWinC.h"

#include <cstdlib>
#include <cstring>

#include "startup/ErrHandleC.h"

TextWinC::ReallocFn TextWinC::Realloc = std::realloc;

// ShownLen when the control does not hold a leading part of Text: the next
// refresh replaces its whole text.
static const std::size_t NothingShown = static_cast<std::size_t>(-1);

TextWinC::TextWinC()
    : Text(nullptr), NewLines(0), TEditP(nullptr), TextLen(0), TextRoom(0), ShownLen(0) {
    Text = static_cast<char*>(Realloc(nullptr, TextStartRoom + 1));
    if (Text == nullptr)
        ErrHandle.fatal(-1, "TallyTAppC.TextWinC:  Allocate Text failed: NULL pointer.");
    TextRoom = TextStartRoom;
    Text[0] = '\0';
    Text[TextRoom] = '\0';
}

TextWinC::~TextWinC() {
    std::free(Text);
}

// Writes str (and CR LF) at offset at, growing Text when it must. The text
// is either written whole or left as it was.
int TextWinC::put(std::size_t at, const char* str, bool lineEnd) {
    const std::size_t strLen = std::strlen(str);
    const std::size_t end = at + strLen + (lineEnd ? 2 : 0);
    if (end > TextRoom) {
        std::size_t room = TextRoom;
        while (room < end) {
            if (room > static_cast<std::size_t>(-1) / 4) return -2;
            room *= 2;
        }
        char* bigger = static_cast<char*>(Realloc(Text, room + 1));
        if (bigger == nullptr) return -2;
        Text = bigger;
        TextRoom = room;
        Text[TextRoom] = '\0';
    }
    std::memmove(Text + at, str, strLen);
    if (lineEnd) std::memcpy(Text + at + strLen, "\r\n", 2);
    Text[end] = '\0';
    TextLen = end;
    return 0;
}

int TextWinC::addLine(const char* str) {
    if (put(TextLen, str, true) != 0) return -2;
    ++NewLines;
    return 0;
}

int TextWinC::appendStr(const char* str) {
    return put(TextLen, str, false);
}

int TextWinC::setLine(const char* str) {
    if (put(0, str, true) != 0) return -2;
    ShownLen = NothingShown;
    refresh();
    return 0;
}

void TextWinC::refresh() {
    if (TEditP == nullptr) return;
    if (ShownLen <= TextLen && !TEditP->modified()) {
        TEditP->appendText(Text + ShownLen, TextLen - ShownLen);
    } else {
        TEditP->replaceText(Text);
    }
    ShownLen = TextLen;
}

bool TextWinC::userTyped() {
    if (TEditP == nullptr || !TEditP->modified()) return false;
    TEditP->setReadOnly();
    return true;
}

int TextWinC::lineCount() {
    return TEditP == nullptr ? 0 : TEditP->lineCount();
}

void TextWinC::scrollLines(int lines) {
    if (TEditP != nullptr) TEditP->scrollLines(lines);
}

void TextWinC::setEdit(seam::EditControl* edit) {
    TEditP = edit;
    ShownLen = NothingShown;
    refresh();
}
