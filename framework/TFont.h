#pragma once
// A font the program creates and owns; escapement, orientation, italic,
// underline, strike-out, precisions, quality and pitch are all left at 0.
class TFont {
  public:
    TFont(const char* face, int height, int width, int weight, unsigned char charSet);
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    // The platform's font (null when it could not be made).
    void* handle() const { return Handle; }

  private:
    void* Handle;
};
