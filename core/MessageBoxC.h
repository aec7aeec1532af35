#pragma once
// The three kinds of report box, and the raw box they are drawn with.

class MessageBoxC {
  public:
    // Shows one modal box without owner and returns the button that closed it.
    int showBox(unsigned flags, const char* caption, const char* text);
    int showMessage(const char* text);
    int showWarning(const char* text);
    int showFatal(const char* text);
};
