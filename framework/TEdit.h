#pragma once
// The edit control: a single-line field with a text limit and a filter on
// what may be typed, or the multi-line text area the output and help windows
// show their text in.
#include "framework/PlatformSeams.h"
#include "framework/TFilterValidator.h"
#include "framework/TWindow.h"

class TEdit : public TWindow, public seam::EditControl {
  public:
    // A control of parent with that identifier, starting text and place.
    // textLimit counts the terminator (0: none set); multi-line controls get
    // both scroll bars. The style may be changed in Attr.Style before creation.
    TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h,
          unsigned textLimit = 0, bool multiLine = false);
    ~TEdit() override;

    // The control keeps to what validator accepts and owns it from here on.
    void setValidator(TFilterValidator* validator);
    // Line (from 0) of the text into buffer, at most size - 1 characters.
    void getLine(char* buffer, int size, int line);
    // Whether the user may change the text (a read-only control when not).
    void allowTyping(bool allowed);

    void replaceText(const char* text) override;
    void appendText(const char* text, std::size_t length) override;
    bool modified() override;
    void setReadOnly() override;
    int lineCount() override;
    void scrollLines(int lines) override;

    TFilterValidator* Validator = nullptr;

  protected:
    const char* className() const override { return "EDIT"; }
    void onCreated() override;

  private:
    unsigned TextLimit;
};
