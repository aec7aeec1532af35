#include "gui/HelpMenuC.h"

#include <new>

#include "core/ErrHandleC.h"
#include "resources/WindowNames.h"

HelpFlagsS Fx = {};

namespace {

// Each topic: its slot in Fx, frame title and what is shown when it cannot
// be made.
struct TopicS {
    HelpItemC* HelpFlagsS::*Slot;
    const char* Title;
    const char* Failure;
};

const TopicS Topics[HelpTopicCount] = {
    {&HelpFlagsS::OverviewP, names::HelpTopicCaptions[0],
     "Tallywave HelpMenuC::doHelpOverview():\nFx.OverviewP is NULL.\n"
     "Can't create Help Overview menu item."},
    {&HelpFlagsS::HeightP, names::HelpTopicCaptions[1],
     "Tallywave HelpMenuC::doHelpHeight():\nFx.HeightP is NULL.\n"
     "Can't create Help Height menu item."},
    {&HelpFlagsS::WidthP, names::HelpTopicCaptions[2],
     "Tallywave HelpMenuC::doHelpWidth():\nFx.WidthP is NULL.\n"
     "Can't create Help Width menu item."},
    {&HelpFlagsS::CheckP, names::HelpTopicCaptions[3],
     "Tallywave HelpMenuC::doHelpCheck():\nFx.CheckP is NULL.\n"
     "Can't create Help Check menu item."},
    {&HelpFlagsS::CountP, names::HelpTopicCaptions[4],
     "Tallywave HelpMenuC::doHelpCount():\nFx.CountP is NULL.\n"
     "Can't create Help Count menu item."},
    {&HelpFlagsS::AboutP, names::HelpTopicCaptions[5],
     "Tallywave HelpMenuC::doHelpAbout():\nFx.AboutP is NULL.\n"
     "Can't create Help About menu item."},
};

}  // namespace

HelpTextC::HelpTextC(const char* text)
    : TEdit(nullptr, -1, text, X, Y, Width, Height, 0, true), TFontP(nullptr) {
    TFontP = new (std::nothrow) TFont("Courier New", 14, 8, 500, 1);
    if (TFontP == nullptr || TFontP->handle() == nullptr)
        ErrHandle.fatal(-1, "Tallywave HelpTextC ctor:  Allocate TFontP failed: NULL pointer.");
}

// The control's window goes before the font it shows its text in.
HelpTextC::~HelpTextC() {
    destroyWindow();
    delete TFontP;
}

void HelpTextC::onCreated() {
    TEdit::onCreated();
    setFont(TFontP->handle());
}

HelpFrameC::HelpFrameC(TWindow* parent, const char* title, TWindow* client)
    : TFrameWindow(parent, title, client, true), Title(title) {}

HelpFrameC::~HelpFrameC() {
    const int index = Title[0] - '1';
    if (index >= 0 && index < HelpTopicCount) {
        Fx.Open[index] = false;
        HelpItemC* item = Fx.*Topics[index].Slot;
        if (item != nullptr && item->FrameP == this) item->FrameP = nullptr;
    } else {
        ErrHandle.report(-2,
                         "Tallywave internal error in HelpFrameC dtor:\nCannot flag a menu item "
                         "as deleted.\nTitle=[%s].\nTitle[0] should be a numeral.\nPossible "
                         "small memory leak on termination;\nContinuing anyway.",
                         Title);
    }
}

// A text area without scroll bars in a frame the size of the text area.
HelpItemC::HelpItemC(TWindow* parent, const char* title, const char* text)
    : TextP(new (std::nothrow) HelpTextC(text)), FrameP(nullptr) {
    if (TextP == nullptr)
        ErrHandle.fatal(
            -2, "Tallywave HelpItemC ctor:  TextP is NULL.\nCan't create [%s] menu text.", title);
    TextP->Attr.Style &= ~(ws::HScroll | ws::VScroll);
    TextP->Attr.Style |= ws::Child | ws::Visible;
    FrameP = new (std::nothrow) HelpFrameC(parent, title, TextP);
    if (FrameP == nullptr)
        ErrHandle.fatal(-3,
                        "Tallywave HelpItemC ctor:  FrameP is NULL.\nCan't create [%s] menu "
                        "window frame.",
                        title);
    FrameP->create();
    FrameP->show(1);
}

HelpMenuC::HelpMenuC(TWindow* parent)
    : TFloatingFrame(parent, names::HelpOwnerCaption), ParentP(parent) {
    Popup.appendMenu(TPopupMenu::Grayed, TitleId, "<< Tallywave Help >>");
    Popup.appendMenu(TPopupMenu::String, 289, "Overview of Tallywave");
    Popup.appendMenu(TPopupMenu::Separator, 0, nullptr);
    Popup.appendMenu(TPopupMenu::String, 290, "Spike Height");
    Popup.appendMenu(TPopupMenu::String, 291, "Spike Width");
    Popup.appendMenu(TPopupMenu::String, 292, "Check Files");
    Popup.appendMenu(TPopupMenu::String, 293, "Count Files");
    Popup.appendMenu(TPopupMenu::Separator, 0, nullptr);
    Popup.appendMenu(TPopupMenu::String, 294, "About this program");
    for (bool& open : Fx.Open) open = false;
}

// The topics' records go, also of a topic whose frame has gone already;
// their windows belong to the window tree.
HelpMenuC::~HelpMenuC() {
    for (const TopicS& topic : Topics) {
        delete (Fx.*topic.Slot);
        Fx.*topic.Slot = nullptr;
    }
}

bool HelpMenuC::popMenu() {
    return Popup.trackPopupMenu(TPopupMenu::CenterAlign, MenuX, MenuY, this);
}

void HelpMenuC::onCommand(int id, int) {
    const int index = id - FirstTopicId;
    if (index >= 0 && index < HelpTopicCount) openTopic(index);
}

// An open topic's frame is shut down first (its destruction clears the flag),
// and its record goes with it.
void HelpMenuC::openTopic(int index) {
    HelpItemC*& item = Fx.*Topics[index].Slot;
    if (item != nullptr) {
        if (item->FrameP != nullptr) item->FrameP->destroyWindow();
        delete item->FrameP;
        delete item;
        item = nullptr;
    }
    item = new (std::nothrow) HelpItemC(ParentP, Topics[index].Title, HelpTopicTexts[index]);
    if (item == nullptr) ErrHandle.fatal(-2, "%s", Topics[index].Failure);
    Fx.Open[index] = true;
}
