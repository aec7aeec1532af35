#pragma once
// A dialog built from a template in the program's resources, made as a child
// of its parent's window; the controls of the template and those the program
// adds go on it. A dialog names its window class, which the framework
// registers with the dialog procedure the system provides.
#include "framework/TWindow.h"

class TDialog : public TWindow {
  public:
    TDialog(TWindow* parent, int resourceId) : TWindow(parent, nullptr), ResourceId(resourceId) {}

  protected:
    bool makeWindow() override;
    // Once the controls the program added exist, the first that takes the
    // keyboard (Tab) has it.
    void onCreated() override;
    std::intptr_t handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t defaultMessage(unsigned msg, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
    // The window class the template names.
    virtual const char* dialogClass() const = 0;

  private:
    [[maybe_unused]] int ResourceId;  // read by the Win32 side only
};

// A text label.
class TStatic : public TWindow {
  public:
    TStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h)
        : TWindow(parent, text) {
        place(id, x, y, w, h);
    }

  protected:
    const char* className() const override { return "STATIC"; }
};

// A push button; its clicks reach the parent as commands with its id.
class TButton : public TWindow {
  public:
    TButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, bool isDefault)
        : TWindow(parent, text) {
        place(id, x, y, w, h);
        Attr.Style =
            ws::Child | ws::Visible | ws::TabStop | (isDefault ? ws::BsDefPushButton : 0UL);
    }

  protected:
    const char* className() const override { return "BUTTON"; }
};
