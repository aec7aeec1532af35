#include "gui/DialogBoxC.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/TThread.h"
#include "gui/HelpMenuC.h"
#include "textui/NewThreadC.h"

namespace {

const char FieldFilter[] = "0-9.";
const unsigned EnChange = 0x0300;  // an edit's text changed
const int IdOk = 1, IdCancel = 2;

}  // namespace

DialogBoxC::DialogBoxC(TWindow* parent, int resourceId, InvokeParseC* invoke, QuitterS* quitter)
    : TDialog(parent, resourceId),
      FileSysAccessC(parent, invoke),
      ValidateC(*invoke, *quitter),
      GrayBrush(new (std::nothrow) TBrush(Gray)),
      WhiteBrush(new (std::nothrow) TBrush(White)),
      TransferBuf(),
      HeightValueP(nullptr),
      WidthValueP(nullptr),
      HeightStr(),
      WidthStr(),
      InitHeight(invoke->Height),
      InitWidth(invoke->Width),
      HelperP(nullptr),
      OutTextP(nullptr),
      PassRunning(false) {
    Status = 0;
    HeightValueP = makeField(25, "Height", 15, HeightId,
                             "DialogBoxC ctor allocate HeightValueP failed: NULL pointer.");
    WidthValueP = makeField(130, "Width", 120, WidthId,
                            "DialogBoxC ctor allocate WidthValueP failed: NULL pointer.");
    setTransferBuffer(TransferBuf);
    HelperP = new (std::nothrow) HelpMenuC(this);
    if (HelperP == nullptr)
        ErrHandle.fatal(-1, "DialogBoxC ctor allocate HelperP failed: NULL pointer.");
}

// The fields, labels and help host go with the window tree.
DialogBoxC::~DialogBoxC() {
    delete GrayBrush;
    delete WhiteBrush;
}

// A label, then a single-line field of at most seven characters that takes
// only digits and the point and is emptied when the dialog is set up.
TEdit* DialogBoxC::makeField(int labelX, const char* label, int editX, int id,
                             const char* failure) {
    new (std::nothrow) TStatic(this, -1, label, labelX, 100, 50, 20);
    auto* field = new (std::nothrow) TEdit(this, id, "", editX, 120, 70, 22, FieldSize);
    if (field == nullptr) ErrHandle.fatal(-1, "%s", failure);
    field->Attr.Style |= ws::Child | ws::Visible | ws::Border | ws::TabStop;
    field->setValidator(new (std::nothrow) TFilterValidator(FieldFilter));
    field->enableTransfer();
    return field;
}

// Values with an integer part of up to three digits keep four decimals.
void DialogBoxC::showParams() {
    const double values[] = {InitHeight, InitWidth};
    TEdit* fields[] = {HeightValueP, WidthValueP};
    for (int i = 0; i < 2; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%.5f", values[i]);
        const char* point = std::strchr(text, '.');
        if (point != nullptr) {
            const std::size_t at = static_cast<std::size_t>(point - text);
            text[at <= 3 ? at + 5 : at] = '\0';
        }
        fields[i]->setText(text);
    }
}

bool DialogBoxC::checkParamText(const char* text) {
    const char* point = std::strchr(text, '.');
    if (point != nullptr && std::strchr(point + 1, '.') != nullptr) return false;
    const double value = std::atof(text);
    return value >= GoodBadListC::ParamMin && value <= GoodBadListC::ParamMax;
}

// Texts that are no acceptable percentage give way to the defaults, which
// are then shown and used.
void DialogBoxC::settleParams() {
    if (!checkParamText(HeightStr))
        std::snprintf(HeightStr, sizeof HeightStr, "%s", GoodBadListC::HeightDefaultText);
    if (!checkParamText(WidthStr))
        std::snprintf(WidthStr, sizeof WidthStr, "%s", GoodBadListC::WidthDefaultText);
    char height[FieldSize], width[FieldSize];
    std::memcpy(height, HeightStr, sizeof height);
    std::memcpy(width, WidthStr, sizeof width);
    HeightValueP->setText(height);
    WidthValueP->setText(width);
    InvokeP->Height = std::atof(height);
    InvokeP->Width = std::atof(width);
}

// The output window is written to only once it shows its start-up line, so
// the two threads never write its text at the same time.
void DialogBoxC::fetchOutputWindow() {
    if (OutWin != nullptr) return;
    TextAppC* textApp = Quitter.TextAppP.load();
    if (textApp == nullptr) return;
    const unsigned stepMs = 10;
    for (unsigned waited = 0; textApp->readyWindow() == nullptr && waited < StartLineWaitMs;
         waited += stepMs)
        thread::sleepMillis(stepMs);
    OutTextP = textApp->readyWindow();
    OutWin = OutTextP;
}

// Once a quit is under way the output window is going: nothing more is run.
int DialogBoxC::doCheck() {
    if (Quitter.QuitState.load() != QuitterS::Running) return 0;
    settleParams();
    if (!storePopFiles()) return 0;
    fetchOutputWindow();
    if (OutWin == nullptr)
        return ErrHandle.report(-3,
                                "Tallywave: DialogBoxC::doCheck() the text output window is not "
                                "ready.\nPlease try again.") +
               1;
    OutTextP->beginPass();
    Status = reportBadNames();
    if (Status < 0)
        ErrHandle.report(Status,
                         "Tallywave: DialogBoxC::doCheck() call to reportBadNames() failed.\n"
                         "Invalid file name(s) may not be presented in the text window.See the "
                         "Help menu for valid input file name format.");
    Status = ValidateAll();
    OutTextP->endPass();
    return Status + 1;
}

// The line is made as long as the names need, so none is lost.
int DialogBoxC::reportBadNames() {
    Status = 0;
    GrowTextC line(BadLineStartRoom);
    if (!InvokeP->appendBadLine(line))
        return Status = ErrHandle.report(-2, "DialogBoxC::reportBadNames() sprintf failed.");
    if (line.length() == 0) return Status;  // no rejected names
    OutWin->addLine(line.c_str());
    OutWin->refresh();
    return Status;
}

bool DialogBoxC::confirmClose() {
    if (Quitter.QuitState.load() != QuitterS::Running) {
        if (PassRunning) return false;
        destroyWindow();
        return true;
    }
    if (ErrHandle.askQuit() != seam::AnswerYes) return false;
    Quitter.QuitState.store(QuitterS::TakeDownAsked);
    Quitter.ReleaseMode.store(QuitterS::ThreadDestroys);
    if (TextAppC* textApp = Quitter.TextAppP.load()) textApp->bringForward();
    return !PassRunning;
}

// The engine gives the user turns during the pass, in which the buttons
// and fields may be used: no pass starts inside it, and the selection and
// the fields stay as the pass found them. What the user did after the
// pass's last turn (a click, a key) waits for the thread; a last turn takes
// it while the pass still runs, so it starts nothing once the pass is over.
// Once a quit is under way no turn comes, and nothing waiting starts a pass.
void DialogBoxC::runPass(bool count) {
    if (PassRunning) return;
    PassRunning = true;
    HeightValueP->allowTyping(false);
    WidthValueP->allowTyping(false);
    CountFlag = count;
    doCheck();
    CountFlag = false;
    if (Quitter.QuitState.load() == QuitterS::Running) PassHook.turnNow();
    HeightValueP->allowTyping(true);
    WidthValueP->allowTyping(true);
    PassRunning = false;
}

void DialogBoxC::onCommand(int id, int notifyCode) {
    switch (id) {
        case IdOk:
        case IdCancel:
            break;  // Enter and Escape never end the dialog
        case SelectId:
            if (!PassRunning) popFiles();
            break;
        case CheckId:
            runPass(false);
            break;
        case CountId:
            runPass(true);
            break;
        case HelpId:
            HelperP->popMenu();
            break;
        case QuitId:
            confirmClose();
            break;
        case HeightId:
            if (static_cast<unsigned>(notifyCode) == EnChange)
                HeightValueP->getLine(HeightStr, sizeof HeightStr, 0);
            break;
        case WidthId:
            if (static_cast<unsigned>(notifyCode) == EnChange)
                WidthValueP->getLine(WidthStr, sizeof WidthStr, 0);
            break;
        default:
            break;
    }
}

void* DialogBoxC::colorControl(TDC& dc, int kind) {
    if (kind == CtlColorEdit) return WhiteBrush->handle();
    dc.setTextColor(Yellow);
    dc.setBkModeTransparent();
    return GrayBrush->handle();
}
