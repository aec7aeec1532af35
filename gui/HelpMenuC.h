#pragma once
// The Help button's menu and the six help topics. A hidden floating frame
// owns the pop-up menu and receives its commands; each chosen topic opens a
// window of its own, at most one per topic: choosing an open topic replaces
// its window by a fresh one.
#include "framework/TEdit.h"
#include "framework/TFont.h"
#include "framework/TPopupMenu.h"
#include "framework/TWindow.h"
#include "gui/HelpTexts.h"

// The edit control that shows a topic's text, in Courier New.
class HelpTextC : public TEdit {
  public:
    enum Geometry { X = 300, Y = 300, Width = 500, Height = 550 };
    explicit HelpTextC(const char* text);
    ~HelpTextC() override;
    TFont* TFontP;

  protected:
    void onCreated() override;
};

// A topic's frame. Its title starts with the topic's numeral, through which
// its destruction marks the topic closed.
class HelpFrameC : public TFrameWindow {
  public:
    HelpFrameC(TWindow* parent, const char* title, TWindow* client);
    ~HelpFrameC() override;
    const char* Title;
};

// One open topic: its text window and frame, which the window tree owns.
struct HelpItemC {
    HelpItemC(TWindow* parent, const char* title, const char* text);
    HelpTextC* TextP;
    HelpFrameC* FrameP;
};

// The topics, open or not, of the one help host.
struct HelpFlagsS {
    bool Open[HelpTopicCount];
    HelpItemC* OverviewP;
    HelpItemC* HeightP;
    HelpItemC* WidthP;
    HelpItemC* CheckP;
    HelpItemC* CountP;
    HelpItemC* AboutP;
};
extern HelpFlagsS Fx;

class HelpMenuC : public TFloatingFrame {
  public:
    enum Ids { TitleId = 288, FirstTopicId = 289 };
    enum Place { MenuX = 250, MenuY = 250 };

    explicit HelpMenuC(TWindow* parent);
    ~HelpMenuC() override;

    // Shows the menu; false when it could not be shown. A topic chosen
    // there comes back as its command (FirstTopicId onwards).
    bool popMenu();

    TPopupMenu Popup;
    TWindow* ParentP;

  protected:
    void onCommand(int id, int notifyCode) override;

  private:
    void openTopic(int index);
};
