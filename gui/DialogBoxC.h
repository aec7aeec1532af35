#pragma once
// The client of graphic mode's main frame: the banner, the Height and Width
// fields and the five buttons, whose commands it runs. It is at once the
// dialog, the file selection and the engine of graphic mode: the lists and
// h and w it works on are the selection's (InvokeP), the output window and
// the quit record the engine's (OutWin, Quitter).
#include "engine/ValidateC.h"
#include "framework/TDialog.h"
#include "framework/TEdit.h"
#include "framework/TGdiObjects.h"
#include "gui/FileSysAccessC.h"
#include "resources/ResourceIds.h"
#include "startup/InvokeParseC.h"

class HelpMenuC;
class TextWinC;

class DialogBoxC : public TDialog, public FileSysAccessC, public ValidateC {
  public:
    enum Ids { HeightId = IDC_HEIGHT_FIELD, WidthId = IDC_WIDTH_FIELD };
    enum ButtonIds {
        HelpId = IDC_HELP_BUTTON,
        SelectId = IDC_SELECT_BUTTON,
        QuitId = IDC_QUIT_BUTTON,
        CheckId = IDC_CHECK_BUTTON,
        CountId = IDC_COUNT_BUTTON
    };
    enum Sizes { FieldSize = 8, BadLineStartRoom = 10240, StartLineWaitMs = 10000 };
    enum Colors : unsigned long { Gray = 0x777777, White = 0xFFFFFF, Yellow = 0x00FFFF };

    DialogBoxC(TWindow* parent, int resourceId, InvokeParseC* invoke, QuitterS* quitter);
    ~DialogBoxC() override;

    // The initial h and w into the fields, with four decimals.
    void showParams();
    // Whether text is an acceptable percentage.
    static bool checkParamText(const char* text);
    // The Check and Count pass: Status + 1, or 0 when nothing was selected.
    int doCheck();
    // The rejected names into the output window: 0, or a negative status.
    int reportBadNames();
    // The close query of the main window: asks the quit question while both
    // front ends run; once a quit is under way, closes without asking. While
    // a pass runs the window stays (the pass uses it): a Yes stops the pass,
    // and the quit handshake takes the window down once the pass is over.
    bool confirmClose();
    // A Check or Count is under way: the engine gives the user turns.
    bool passRunning() const { return PassRunning; }
    bool canClose() override { return confirmClose(); }
    // White behind the edits; grey with yellow text behind everything else.
    void* colorControl(TDC& dc, int kind) override;

  protected:
    const char* dialogClass() const override { return IDD_PARAMS_CLASS; }
    void onCommand(int id, int notifyCode) override;

  private:
    TEdit* makeField(int labelX, const char* label, int editX, int id, const char* failure);
    void settleParams();
    void fetchOutputWindow();
    // Check (false) or Count (true), unless a pass runs already.
    void runPass(bool count);

    TBrush* GrayBrush;
    TBrush* WhiteBrush;
    char TransferBuf[FieldSize];
    TEdit* HeightValueP;
    TEdit* WidthValueP;
    char HeightStr[FieldSize];  // the fields' texts, as they change
    char WidthStr[FieldSize];
    double InitHeight;  // h and w as the dialog found them, shown by showParams
    double InitWidth;
    HelpMenuC* HelperP;
    TextWinC* OutTextP;  // the output window, as OutWin
    bool PassRunning;    // the fields take no typing and Select, Check, Count do nothing
};
