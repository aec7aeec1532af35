#pragma once
// Drawing objects the program creates and owns: a bitmap from the program's
// resources and a solid brush. Each holds the platform's object, null when it
// could not be made.
class TBitmap {
  public:
    explicit TBitmap(int resourceId);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    void* handle() const { return Handle; }
    int resourceId() const { return ResourceId; }
    // Copies the bitmap at its own size to x, y of the device context dc.
    void drawAt(void* dc, int x, int y) const;

  private:
    void* Handle;
    int ResourceId;
};

class TBrush {
  public:
    explicit TBrush(unsigned long rgb);
    ~TBrush();
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    void* handle() const { return Handle; }

  private:
    void* Handle;
};
