#pragma once
// Graphic mode's application: its main window is a button frame whose
// client is the parameter dialog, with five bitmap buttons on the dialog.
// It runs on the main thread beside the output window's thread, and ends
// through the quit handshake with that thread.
#include "framework/TApplication.h"
#include "framework/TDialog.h"
#include "framework/TGdiObjects.h"
#include "gui/DialogBoxC.h"
#include "startup/StartupC.h"

// An owner-drawn push button that shows one of three bitmaps: up, held down
// and up with the keyboard focus.
class ButtonMapC : public TButton {
  public:
    // Child, visible, tab stop, bitmap, owner-drawn.
    static const unsigned long ButtonStyle = 0x5001008BUL;

    ButtonMapC(TWindow* parent, int id, int x, int y, int w, int h, int upId, int downId,
               int focusId);
    ~ButtonMapC() override;
    void drawItem(const DrawItemS& item) override;

    TBitmap* UpBmpP;
    TBitmap* DownBmpP;
    TBitmap* FocusBmpP;

  private:
    void drawBitmap(const TBitmap* bitmap, const DrawItemS& item);
};

// The main frame: shrinks to the dialog and puts the five buttons on it
// (the window tree owns them).
class ButtonFrameC : public TFrameWindow {
  public:
    ButtonFrameC(TWindow* parent, const char* title, TWindow* client);
};

class TallyGAppC : public TApplication {
  public:
    enum { QuitPollMs = 10 };
    static const unsigned long FrameStyle = 0x00480000UL;  // dialog frame and system menu

    TallyGAppC(StartupC* startup, QuitterS* quitter, const char* name, TWindow* parent = nullptr);

    TWindow* ParentP;
    InvokeParseC* InvokeP;
    QuitterS* QuitterP;
    DialogBoxC* DialogBoxCP;
    ButtonFrameC* DlgFrameP;

  protected:
    void buildMainWindow() override;
    void afterShow() override;
    bool onIdle(long idleCount) override;
};
