#pragma once
// Our thin windowing layer: windows with attributes, a background colour and a
// transfer buffer into their controls; frames with a client and icons. The
// header is portable: the Win32 build implements it in framework/win32, the
// native build with in-memory stand-ins in framework/native, so front-end
// logic built on it is unit-tested natively.
#include <cstdint>

class TApplication;

// Window styles the front ends ask for, with the values Win32 gives them.
namespace ws {
enum : unsigned long {
    Overlapped = 0x00000000UL,
    Child = 0x40000000UL,
    Visible = 0x10000000UL,
    Border = 0x00800000UL,
    DlgFrame = 0x00400000UL,
    SysMenu = 0x00080000UL,
    HScroll = 0x00100000UL,
    VScroll = 0x00200000UL,
    TabStop = 0x00010000UL,
    EsMultiLine = 0x0004UL,
    EsAutoVScroll = 0x0040UL,
    EsAutoHScroll = 0x0080UL,
};
}  // namespace ws

// Where a window stands and how it looks; set before the window is created.
struct WindowAttrS {
    unsigned long Style = 0;
    unsigned long ExStyle = 0;
    int X = 0, Y = 0, W = 0, H = 0;  // pixels; a child's relative to its parent
    int Id = 0;                      // a control's identifier
};

// A window and the C++ object behind it. The object exists before its window
// (create makes the window, with its children's) and after it; a window
// deletes its child objects when it is deleted.
class TWindow {
  public:
    TWindow(TWindow* parent, const char* title);
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // Makes the window and then its children's, then runs onCreated. False
    // when the platform refuses a window.
    bool create();
    void destroyWindow();
    bool created() const { return Handle != nullptr; }
    void* handle() const { return Handle; }

    void show(int showState);
    void setBkgndColor(unsigned long rgb) { BkgndColor = rgb; }
    // Sets the font of the window (a control) and redraws it.
    void setFont(void* font);
    // The text the controls that take part in the transfer are set to.
    void setTransferBuffer(const char* text) { TransferBuffer = text; }
    // This control takes part in its parent's transfer.
    void enableTransfer() { TakesTransfer = true; }
    // Sets every control that takes part to the transfer buffer's text.
    void transferData();
    // Sets the window's text (the platform's set-text).
    void setText(const char* text);

    // The application whose main window this is (none for other windows).
    TApplication* MainOf = nullptr;
    WindowAttrS Attr;

  protected:
    // Runs once the window and its children exist: transfers the buffer.
    virtual void onCreated();
    // The platform class of the window; ours when null.
    virtual const char* className() const { return nullptr; }
    // Handles one message of the window's own class; the default handling
    // gives the background colour, closes the main window only when its
    // application agrees and ends the loop when it is gone.
    virtual std::intptr_t handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t defaultMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

    // Makes child (made without a parent) a child of this window.
    void adopt(TWindow* child);

  private:
    friend struct WindowGlue;
    // The platform's part: makes the window itself, or lets go of what the
    // platform holds for this object (window, brush).
    bool makeWindow();
    void releasePlatform();

    TWindow* Parent;
    TWindow* FirstChild = nullptr;  // children in the order they were adopted
    TWindow* NextSibling = nullptr;
    const char* Title;
    void* Handle = nullptr;
    void* BkgndBrush = nullptr;
    unsigned long BkgndColor = 0xFFFFFFUL;
    const char* TransferBuffer = nullptr;
    bool TakesTransfer = false;
};

// A top-level window with a caption and a client window that fills it.
class TFrameWindow : public TWindow {
  public:
    // The frame owns client from here on.
    TFrameWindow(TWindow* parent, const char* title, TWindow* client);
    // Large and small icon from the program's resources, given at creation.
    void setIcon(int resourceId) { IconId = resourceId; }

  protected:
    void onCreated() override;
    std::intptr_t handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;

  private:
    void fitClient();

    TWindow* Client;
    int IconId = 0;
};

// A frame that may carry decorations; ours never asks for any.
class TDecoratedFrame : public TFrameWindow {
  public:
    TDecoratedFrame(TWindow* parent, const char* title, TWindow* client)
        : TFrameWindow(parent, title, client) {}
};
