#include "gui/TallyGAppC.h"

#include <new>

#include "core/ErrHandleC.h"
#include "framework/TThread.h"
#include "resources/ResourceIds.h"

namespace {

// The five buttons: where they stand on the dialog, their bitmaps and what
// is shown when one cannot be made.
struct ButtonRowS {
    int Id, X, Y, W, H, UpBmp;
    const char* Name;
};

const ButtonRowS Buttons[] = {
    {DialogBoxC::SelectId, 250, 120, 90, 30, IDB_SELECT_UP, "SelButtonP"},
    {DialogBoxC::CheckId, 392, 120, 60, 30, IDB_CHECK_UP, "CheckButtonP"},
    {DialogBoxC::CountId, 488, 120, 60, 30, IDB_COUNT_UP, "CountButtonP"},
    {DialogBoxC::HelpId, 530, 50, 60, 30, IDB_HELP_UP, "HelpButtonP"},
    {DialogBoxC::QuitId, 530, 10, 60, 30, IDB_QUIT_UP, "QuitButtonP"},
};

}  // namespace

ButtonMapC::ButtonMapC(TWindow* parent, int id, int x, int y, int w, int h, int upId, int downId,
                       int focusId)
    : TButton(parent, id, nullptr, x, y, w, h, false),
      UpBmpP(new (std::nothrow) TBitmap(upId)),
      DownBmpP(new (std::nothrow) TBitmap(downId)),
      FocusBmpP(new (std::nothrow) TBitmap(focusId)) {}

ButtonMapC::~ButtonMapC() {
    destroyWindow();
    delete UpBmpP;
    delete DownBmpP;
    delete FocusBmpP;
}

// A full redraw shows the up face, also on the focused button; a press shows
// the down face, and letting go or getting the focus the focus face.
void ButtonMapC::drawItem(const DrawItemS& item) {
    if (item.Action & DrawItemS::DrawEntire) {
        drawBitmap(UpBmpP, item);
    } else if (item.Action & DrawItemS::SelectChanged) {
        drawBitmap(item.State & DrawItemS::Selected ? DownBmpP : FocusBmpP, item);
    } else if (item.Action & DrawItemS::FocusChanged) {
        drawBitmap(item.State & DrawItemS::Focused ? FocusBmpP : UpBmpP, item);
    }
}

void ButtonMapC::drawBitmap(const TBitmap* bitmap, const DrawItemS& item) {
    if (bitmap != nullptr) bitmap->drawAt(item.Dc, item.Left, item.Top);
}

ButtonFrameC::ButtonFrameC(TWindow* parent, const char* title, TWindow* client)
    : TFrameWindow(parent, title, client, true) {
    for (const ButtonRowS& row : Buttons) {
        auto* button = new (std::nothrow)
            ButtonMapC(client, row.Id, row.X, row.Y, row.W, row.H, row.UpBmp,
                       row.UpBmp + IDB_DOWN_OFFSET, row.UpBmp + IDB_FOCUS_OFFSET);
        if (button == nullptr)
            ErrHandle.fatal(-1, "Tallywave TallyGAppC ButtonFrameC::%s NULL pointer.", row.Name);
        button->Attr.Style |= ButtonMapC::ButtonStyle;
    }
}

TallyGAppC::TallyGAppC(StartupC* startup, QuitterS* quitter, const char* name, TWindow* parent)
    : TApplication(name),
      ParentP(parent),
      InvokeP(startup),
      QuitterP(quitter),
      DialogBoxCP(nullptr),
      DlgFrameP(nullptr) {}

void TallyGAppC::buildMainWindow() {
    setShowState(ShowNormal);
    DialogBoxCP = new (std::nothrow) DialogBoxC(ParentP, IDD_PARAMS, InvokeP, QuitterP);
    if (DialogBoxCP == nullptr)
        ErrHandle.fatal(-1, "TallyGAppC allocate DialogBoxCP failed: NULL pointer.");
    DialogBoxCP->PassHook.set(TApplication::pumpWaitingOf, this);  // alive during a pass
    DlgFrameP = new (std::nothrow) ButtonFrameC(nullptr, name(), DialogBoxCP);
    if (DlgFrameP == nullptr)
        ErrHandle.fatal(-1, "TallyGAppC allocate DlgFrameP failed: NULL pointer.");
    DlgFrameP->Attr.Style = FrameStyle;
    DlgFrameP->setIcon(IDI_TALLYWAVE);
    setMainWindow(DlgFrameP);
}

void TallyGAppC::afterShow() {
    DialogBoxCP->showParams();
}

// Once the output window has gone, the dialog goes, and its frame closes
// itself. While the output window is being taken down, idle looks again
// every few milliseconds, as nothing else would wake this thread for it.
bool TallyGAppC::onIdle(long idleCount) {
    const int32_t state = QuitterP->QuitState.load();
    if (state == QuitterS::TakenDown && DialogBoxCP->created()) DialogBoxCP->destroyWindow();
    const bool more = TApplication::onIdle(idleCount);
    if (state != QuitterS::TakeDownAsked) return more;
    thread::sleepMillis(QuitPollMs);
    return true;
}
