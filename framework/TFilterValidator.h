#pragma once
// The characters that may be typed into an edit control: a set written as
// single characters and ranges, "0-9." being the digits and the point.
class TFilterValidator {
  public:
    explicit TFilterValidator(const char* set);
    bool accepts(unsigned char c) const { return (Allowed[c / 32] >> (c % 32)) & 1U; }
    // Whether every character of text (zero-terminated) may be typed.
    bool acceptsAll(const char* text) const;

  private:
    unsigned Allowed[256 / 32] = {};
};
