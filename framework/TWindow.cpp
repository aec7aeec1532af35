// The platform-independent part of windows and frames.
#include "framework/TWindow.h"

#include "framework/TEdit.h"
#include "framework/TFilterValidator.h"

TWindow::TWindow(TWindow* parent, const char* title) : Parent(nullptr), Title(title) {
    if (parent != nullptr) parent->adopt(this);
}

TWindow::~TWindow() {
    leaveParent();
    while (FirstChild != nullptr) {
        TWindow* child = FirstChild;
        FirstChild = child->NextSibling;
        child->Parent = nullptr;
        delete child;
    }
    releasePlatform();
}

// A child deleted on its own no longer stands in its parent's list.
void TWindow::leaveParent() {
    if (Parent == nullptr) return;
    TWindow** link = &Parent->FirstChild;
    while (*link != nullptr && *link != this) link = &(*link)->NextSibling;
    if (*link == this) *link = NextSibling;
    Parent = nullptr;
}

void TWindow::adopt(TWindow* child) {
    child->Parent = this;
    TWindow** end = &FirstChild;
    while (*end != nullptr) end = &(*end)->NextSibling;
    *end = child;
}

bool TWindow::create() {
    if (!makeWindow()) return false;
    for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling)
        if (!child->create()) return false;
    onCreated();
    return true;
}

void TWindow::onCreated() {
    transferData();
}

bool TWindow::canClose() {
    for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling)
        if (!child->canClose()) return false;
    return true;
}

void TWindow::transferData() {
    if (TransferBuffer == nullptr) return;
    for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling)
        if (child->TakesTransfer) child->setText(TransferBuffer);
}

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client, bool shrink)
    : TWindow(parent, title), Client(client), ShrinkToClient(shrink) {
    Attr.Style = ws::OverlappedWindow | ws::Visible;
    Attr.X = Attr.Y = Attr.W = Attr.H = ws::UseDefault;
    if (client != nullptr) adopt(client);
}

void TFrameWindow::onCreated() {
    if (ShrinkToClient) shrinkToClient();
    fitClient();
    TWindow::onCreated();
}

// Closing the frame when its client is gone lets a client end its frame.
void TFrameWindow::onChildDestroyed(TWindow* child) {
    if (child == Client && created() && !Closing) postClose();
}

TFloatingFrame::TFloatingFrame(TWindow* parent, const char* title)
    : TFrameWindow(parent, title, nullptr) {
    Attr.Style = ws::Popup | ws::Caption;
    Attr.ExStyle = ws::ExToolWindow;
    Attr.X = Attr.Y = Attr.W = Attr.H = 0;
}

// Edit controls: the platform-independent part.
TEdit::TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h,
             unsigned textLimit, bool multiLine)
    : TWindow(parent, text), TextLimit(textLimit) {
    place(id, x, y, w, h);
    Attr.Style = ws::Child | ws::Visible | ws::Border | ws::TabStop | ws::EsAutoHScroll;
    if (multiLine) Attr.Style |= ws::EsMultiLine | ws::EsAutoVScroll | ws::HScroll | ws::VScroll;
}

TEdit::~TEdit() {
    delete Validator;
}

void TEdit::setValidator(TFilterValidator* validator) {
    delete Validator;
    Validator = validator;
}

TFilterValidator::TFilterValidator(const char* set) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(set); *p != '\0'; ++p) {
        unsigned first = *p, last = *p;
        if (p[1] == '-' && p[2] != '\0') {
            last = p[2];
            p += 2;
        }
        for (unsigned c = first; c <= last; ++c) Allowed[c / 32] |= 1U << (c % 32);
    }
}

bool TFilterValidator::acceptsAll(const char* text) const {
    for (; *text != '\0'; ++text)
        if (!accepts(static_cast<unsigned char>(*text))) return false;
    return true;
}
