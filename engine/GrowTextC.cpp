#include "engine/GrowTextC.h"

#include <cstdio>
#include <cstdlib>

#include "engine/GoodBadListC.h"

GrowTextC::~GrowTextC() {
    std::free(Text);
}

// The piece is printed into the free room first; only a piece that does not
// fit there is printed again once the room has grown.
bool GrowTextC::appendV(const char* format, va_list args) {
    Refused = 0;
    va_list again;
    va_copy(again, args);
    const std::size_t spare = Room - Len;
    const int length = std::vsnprintf(Text != nullptr ? Text + Len : nullptr, spare, format, args);
    bool printed = length >= 0;
    if (printed && static_cast<std::size_t>(length) >= spare)
        printed = makeRoom(Len + length + 1) &&
                  std::vsnprintf(Text + Len, Room - Len, format, again) == length;
    va_end(again);
    if (printed) Len += length;
    if (Text != nullptr) Text[Len] = '\0';
    return printed;
}

bool GrowTextC::append(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool printed = appendV(format, args);
    va_end(args);
    return printed;
}

bool GrowTextC::replace(const char* format, ...) {
    clear();
    va_list args;
    va_start(args, format);
    const bool printed = appendV(format, args);
    va_end(args);
    return printed;
}

void GrowTextC::clear() {
    Len = 0;
    if (Text != nullptr) Text[0] = '\0';
}

void GrowTextC::release() {
    std::free(Text);
    Text = nullptr;
    Len = Room = 0;
}

bool GrowTextC::makeRoom(std::size_t need) {
    std::size_t room = Room > StartRoom ? Room : StartRoom;
    while (room < need) room *= 2;
    char* bigger = static_cast<char*>(GoodBadListC::Realloc(Text, room));
    if (bigger == nullptr) {
        Refused = room;
        return false;
    }
    Text = bigger;
    Room = room;
    return true;
}
