#pragma once
// The application of the silent (-s) and text (-t) modes. Its main window is
// the text output window; every step of the run happens in the idle hook of
// its message loop: text mode shows a banner with the command about to run
// and waits for the user's answer, silent mode starts at once. The window
// stays open after the run until the user closes it and confirms.
#include "core/ErrHandleC.h"
#include "engine/ValidateC.h"
#include "framework/TApplication.h"
#include "framework/TWindow.h"
#include "startup/StartupC.h"
#include "textui/SaveResultsC.h"
#include "textui/TextWinC.h"

// The frame of the output window: a caption, an icon and the TextWinC
// client; its window menu and Ctrl+S save the results.
class TextFrameC : public TDecoratedFrame {
  public:
    enum Size { Width = 645, Height = 524 };
    enum Commands { SaveResultsId = 0x0200 };

    TextFrameC(TWindow* parent, const char* title, TextWinC* client, const QuitterS& quitter);
    // Style and place of the frame, with the program's icon.
    void setUp(unsigned long style, int left, int top);

    SaveResultsC Saver;

  protected:
    void onCommand(int id, int notifyCode) override;
};

class TallyTAppC : public TApplication {
  public:
    enum Sizes { MsgStartSize = 2048 };
    enum FrameGeometry { FrameLeft = 10, FrameTop = 200 };

    // Builds the banner (text mode) or the bad-name line (silent mode);
    // a failure is reported and the run goes on.
    TallyTAppC(StartupC* startup, QuitterS* quitter, const char* name);

    // The text-mode banner in MsgStr: 0, or the code of the last failed piece.
    int makeBanStr(const char* name);
    // The silent-mode bad-name line in MsgStr (empty without bad names).
    int reportBadNames();
    // Text mode: the banner as the window's whole text; false in other modes.
    bool showBanner();
    // Text mode: a new line proceeds, any other change to the text aborts.
    void checkAnswer();
    // Starts the validation pass, once.
    void doRun();

    ValidateC Engine;
    TextFrameC* TextFrameCP;
    TextWinC* TextWinCP;
    bool InvokeOK;
    bool BannerShown;
    bool Proceed;
    bool RunStarted;
    int BannerLines;
    GrowTextC MsgStr;  // the banner or the bad-name line; grows so that every name fits
    StartupC* StartupP;
    QuitterS* QuitterP;  // its state marks a quit confirmed while the pass ran
    bool PassRunning;    // the window stays while the pass that writes to it runs

  protected:
    void buildMainWindow() override;
    bool onIdle(long idleCount) override;
    // Asks the quit question. A Yes while the pass runs stops the pass, and
    // the window closes once the pass is over.
    bool confirmClose() override;

  private:
    // A piece of the banner; its failure is reported under code.
    void appendPiece(int code, const char* format, ...) TALLY_PRINTF_LIKE(3, 4);
    void checkPiece(int code, bool added);
};
