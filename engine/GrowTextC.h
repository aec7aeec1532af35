#pragma once
// The growing text that the lists and the writers of reports compose their
// texts in.
#include <cstdarg>
#include <cstddef>

#include "core/ErrHandleC.h"

// A zero-terminated text composed piece by piece with printf formats. The
// room is allocated by the first piece and doubles whenever a piece needs
// more, so no text is ever cut; its memory comes through the lists' seam
// (GoodBadListC::Realloc), where tests make it run out.
class GrowTextC {
  public:
    explicit GrowTextC(std::size_t startRoom) : StartRoom(startRoom > 0 ? startRoom : 1) {}
    ~GrowTextC();
    GrowTextC(const GrowTextC&) = delete;
    GrowTextC& operator=(const GrowTextC&) = delete;

    // Appends a formatted piece. False when the piece cannot be printed or
    // the room for it cannot be had; the text is then as it was.
    bool append(const char* format, ...) TALLY_PRINTF_LIKE(2, 3);
    bool appendV(const char* format, va_list args);
    // The formatted piece as the whole text; false as for append, with the
    // text then empty.
    bool replace(const char* format, ...) TALLY_PRINTF_LIKE(2, 3);
    void clear();
    // Frees the room: the text is empty and the next piece allocates anew.
    void release();
    const char* c_str() const { return Text != nullptr ? Text : ""; }
    // The characters, for an owner that overwrites some of them in place
    // (never the terminator); nullptr before the first piece.
    char* data() { return Text; }
    std::size_t length() const { return Len; }
    // The bytes of the allocation refused by the last failed piece; 0 when
    // that piece failed in its printing.
    std::size_t refusedRoom() const { return Refused; }

  private:
    bool makeRoom(std::size_t need);

    char* Text = nullptr;
    std::size_t Len = 0;
    std::size_t Room = 0;  // bytes allocated, the terminator included
    std::size_t StartRoom;
    std::size_t Refused = 0;
};
