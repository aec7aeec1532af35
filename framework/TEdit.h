#pragma once
// The multi-line edit control, as the output window drives it.
#include "framework/PlatformSeams.h"
#include "framework/TWindow.h"

class TEdit : public TWindow, public seam::EditControl {
  public:
    // A control of parent with that identifier and place; its style is set
    // in Attr.Style before creation.
    TEdit(TWindow* parent, int id, int x, int y, int w, int h) : TWindow(parent, nullptr) {
        Attr.Id = id;
        Attr.X = x;
        Attr.Y = y;
        Attr.W = w;
        Attr.H = h;
    }

    void replaceText(const char* text) override;
    void appendText(const char* text, std::size_t length) override;
    bool modified() override;
    void setReadOnly() override;
    int lineCount() override;
    void scrollLines(int lines) override;

  protected:
    const char* className() const override { return "EDIT"; }
};
