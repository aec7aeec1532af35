#pragma once
// A pop-up menu: entries appended in order, tracked at a screen position; the
// chosen entry's id reaches the owner window as a command.
#include "framework/TWindow.h"

class TPopupMenu {
  public:
    // Entry kinds and tracking flags, with the values Win32 gives them.
    enum Flags : unsigned { String = 0x0, Grayed = 0x1, Separator = 0x800, CenterAlign = 0x4 };

    TPopupMenu();
    ~TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    bool appendMenu(unsigned flags, int id, const char* text);
    // Shows the menu at x, y of the screen until the user chooses or leaves
    // it; false when it could not be shown.
    bool trackPopupMenu(unsigned flags, int x, int y, TWindow* owner);
    void* handle() const { return Handle; }

  private:
    void* Handle;
};
