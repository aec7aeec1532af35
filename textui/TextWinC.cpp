#include "textui/TextWinC.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ErrHandleC.h"
#include "engine/PassHookC.h"
#include "framework/TThread.h"

TextWinC::ReallocFn TextWinC::Realloc = std::realloc;

TextWinC::MillisFn TextWinC::Millis = steadyMillis;

// ShownLen when the control does not hold a leading part of Text: the next
// refresh replaces its whole text.
static const std::size_t NothingShown = static_cast<std::size_t>(-1);

TextWinC::TextWinC()
    : TWindow(nullptr, nullptr),
      Text(nullptr),
      TEditP(nullptr),
      TFontP(nullptr),
      TextLen(0),
      TextRoom(0),
      ShownLen(0),
      ShownInP(nullptr),
      Held(false),
      Pending(false),
      LastSent(0),
      Holder(NoHolder) {
    setBkgndColor(0xFFFFFF);
    Text = static_cast<char*>(Realloc(nullptr, TextStartRoom + 1));
    if (Text == nullptr)
        ErrHandle.fatal(-1, "TallyTAppC.TextWinC:  Allocate Text failed: NULL pointer.");
    TextRoom = TextStartRoom;
    Text[0] = '\0';
    Text[TextRoom] = '\0';
    setTransferBuffer(Text);
    TFontP = new (std::nothrow) TFont("Courier New", 14, 9, 500, 1);
    if (TFontP == nullptr || TFontP->handle() == nullptr)
        ErrHandle.fatal(-1, "TallyTAppC.TextWinC:  Allocate TFontP failed: NULL pointer.");
    TEditP = new (std::nothrow) TEdit(this, EditId, nullptr, 0, 0, EditWidth, EditHeight);
    if (TEditP == nullptr)
        ErrHandle.fatal(-1, "TallyTAppC.TextWinC:  Allocate TEditP failed: NULL pointer.");
    TEditP->Attr.Style = ws::Border | ws::TabStop | ws::HScroll | ws::VScroll | ws::EsMultiLine |
                         ws::EsAutoHScroll | ws::EsAutoVScroll;
    TEditP->enableTransfer();
}

// The edit control's window goes first, then the font it shows its text in;
// the edit control object goes with the window's children.
TextWinC::~TextWinC() {
    TEditP->destroyWindow();
    delete TFontP;
    std::free(Text);
}

void TextWinC::onCreated() {
    TWindow::onCreated();
    TEditP->setFont(TFontP->handle());
    setEdit(TEditP);
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
        setTransferBuffer(Text);
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
    if (ShownInP == nullptr) return;
    const bool appending = ShownLen <= TextLen && !ShownInP->modified();
    if (Held && appending && Millis() - LastSent < UpdateGapMs) {
        Pending = true;
        return;
    }
    Pending = false;
    LastSent = Millis();
    if (appending) {
        ShownInP->appendText(Text + ShownLen, TextLen - ShownLen);
    } else {
        ShownInP->replaceText(Text);
    }
    ShownLen = TextLen;
}

bool TextWinC::userTyped() {
    if (ShownInP == nullptr || !ShownInP->modified()) return false;
    ShownInP->setReadOnly();
    return true;
}

int TextWinC::lineCount() {
    return ShownInP == nullptr ? 0 : ShownInP->lineCount();
}

// A held refresh shows the newest text when it is sent; until then there is
// nothing new to scroll to.
void TextWinC::scrollLines(int lines) {
    if (ShownInP != nullptr && !Pending) ShownInP->scrollLines(lines);
}

void TextWinC::holdUpdates(bool hold) {
    Held = hold;
    if (!hold && Pending) refresh();
}

void TextWinC::setEdit(seam::EditControl* edit) {
    ShownInP = edit;
    ShownLen = NothingShown;
    refresh();
}

// A save holds them only while it copies them: the wait is short.
void TextWinC::beginPass() {
    for (int free = NoHolder; !Holder.compare_exchange_weak(free, PassHolds); free = NoHolder)
        thread::sleepMillis(1);
    Table.clear();
}

void TextWinC::endPass() {
    Holder.store(NoHolder);
}

bool TextWinC::beginSave() {
    int free = NoHolder;
    return Holder.compare_exchange_strong(free, SaveHolds);
}

void TextWinC::endSave() {
    Holder.store(NoHolder);
}
