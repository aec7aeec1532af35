#pragma once
// Our thin windowing layer: windows with attributes, a background colour and a
// transfer buffer into their controls; frames with a client and icons; the
// commands, colours and owner drawing that controls ask of their parent. The
// header is portable: the Win32 build implements it in framework/win32, the
// native build with in-memory stand-ins in framework/native, so front-end
// logic built on it is unit-tested natively.
#include <cstdint>

class TApplication;

// Window styles the front ends ask for, with the values Win32 gives them.
namespace ws {
enum : unsigned long {
    Overlapped = 0x00000000UL,
    OverlappedWindow = 0x00CF0000UL,  // caption, system menu, sizing border, both boxes
    Popup = 0x80000000UL,
    Caption = 0x00C00000UL,
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
    BsDefPushButton = 0x0001UL,
    BsOwnerDraw = 0x000BUL,
    BsBitmap = 0x0080UL,
    ExToolWindow = 0x0080UL,  // extended style: a small caption
};
// A top-level window's position or size left to the system.
constexpr int UseDefault = static_cast<int>(0x80000000UL);
}  // namespace ws

// What a control asks its parent to colour (the values Win32 gives them).
enum CtlColorKind { CtlColorEdit = 1, CtlColorButton = 3, CtlColorDialog = 4, CtlColorStatic = 6 };

// A device context that a control is drawn with; remembers what was set on it.
class TDC {
  public:
    explicit TDC(void* handle) : Handle(handle) {}
    void setTextColor(unsigned long rgb);
    void setBkModeTransparent();
    void* handle() const { return Handle; }
    unsigned long TextColor = 0;
    bool Transparent = false;

  private:
    void* Handle;
};

// An owner-drawn control's request to be drawn: what changed, its state now,
// where to draw.
struct DrawItemS {
    enum Actions { DrawEntire = 0x1, SelectChanged = 0x2, FocusChanged = 0x4 };
    enum States { Selected = 0x1, Focused = 0x10 };
    unsigned Action = 0;
    unsigned State = 0;
    void* Dc = nullptr;
    int Left = 0, Top = 0;
};

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
    // Brings this top-level window to the foreground.
    void setForeground();
    // Asks the window to close, as its close box does (posted).
    void postClose();

    // Whether the window may close: by default when all its children agree.
    virtual bool canClose();
    // A command from a control or menu (its id and notification code).
    void command(int id, int notifyCode) { onCommand(id, notifyCode); }
    // An owner-drawn control draws itself.
    virtual void drawItem(const DrawItemS&) {}
    // The window tree: children in the order they were adopted.
    TWindow* parent() const { return Parent; }
    TWindow* firstChild() const { return FirstChild; }
    TWindow* nextSibling() const { return NextSibling; }

    // The application whose main window this is (none for other windows).
    TApplication* MainOf = nullptr;
    WindowAttrS Attr;

  protected:
    // Runs once the window and its children exist: transfers the buffer.
    virtual void onCreated();
    // The platform's part: makes the window itself.
    virtual bool makeWindow();
    // A frame or floating frame: a top-level window that its parent only owns.
    virtual bool topLevel() const { return false; }
    virtual void onCommand(int, int) {}
    // The brush a control of this window is painted with; by default the
    // window's background colour.
    virtual void* colorControl(TDC& dc, int kind);
    // A child's window is gone.
    virtual void onChildDestroyed(TWindow*) {}
    void* bkgndBrush();
    // The platform class of the window; ours when null.
    virtual const char* className() const { return nullptr; }
    // Handles one message of the window's own class; the default handling
    // gives the background colour, closes the main window only when its
    // application agrees and ends the loop when it is gone.
    virtual std::intptr_t handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    virtual std::intptr_t defaultMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

    // Makes child (made without a parent) a child of this window.
    void adopt(TWindow* child);
    const char* title() const { return Title; }
    // A control's identifier and place in its parent.
    void place(int id, int x, int y, int w, int h) {
        Attr.Id = id;
        Attr.X = x;
        Attr.Y = y;
        Attr.W = w;
        Attr.H = h;
    }

  private:
    friend struct WindowGlue;
    // Lets go of what the platform holds for this object (window, brush).
    void releasePlatform();
    void leaveParent();

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

// A top-level window with a caption and a client window that fills it. Its
// place and size are the system's unless set; a frame that shrinks to its
// client takes the client's size. It closes itself when its client's window
// is destroyed. A frame with a parent is a top-level window owned by it.
class TFrameWindow : public TWindow {
  public:
    // The frame owns client (if any) from here on.
    TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrinkToClient = false);
    // Large and small icon from the program's resources, given at creation.
    void setIcon(int resourceId) { IconId = resourceId; }
    TWindow* client() const { return Client; }
    // A command of the frame's window menu, which the user also gives with
    // Ctrl+key while the frame or a window in it has the keyboard focus; it
    // reaches onCommand with id. A frame with a system menu shows the entry
    // there, after a separator; a frame without one (and so without a close
    // box) shows it alone in a menu of its own on Alt+Space. The system keeps
    // the four low bits of a system menu's ids: those of id are 0. Set before
    // the window is made.
    void setMenuCommand(int id, const char* text, char key) {
        MenuCommandId = id;
        MenuCommandText = text;
        MenuCommandKey = key;
    }

  protected:
    void onCreated() override;
    bool topLevel() const override { return true; }
    void onChildDestroyed(TWindow* child) override;
    std::intptr_t handleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;

  private:
    void fitClient();
    void shrinkToClient();

    // The window menu's command: its entry in the menu and its keys.
    void addMenuCommand();
    void showOwnMenu();
    void dropMenuCommand();

    TWindow* Client;
    int IconId = 0;
    int MenuCommandId = 0;
    const char* MenuCommandText = nullptr;
    char MenuCommandKey = 0;
    void* MenuCommandKeys = nullptr;  // the platform's table of them
    bool ShrinkToClient;
    bool Closing = false;  // its own window is being destroyed
};

// A frame that may carry decorations; ours never asks for any.
class TDecoratedFrame : public TFrameWindow {
  public:
    TDecoratedFrame(TWindow* parent, const char* title, TWindow* client)
        : TFrameWindow(parent, title, client) {}
};

// A small floating frame with a small caption, owned by its parent, hidden
// until shown. Ours serves as an owner of pop-up menus.
class TFloatingFrame : public TFrameWindow {
  public:
    TFloatingFrame(TWindow* parent, const char* title);
};
