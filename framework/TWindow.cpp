// The platform-independent part of windows and frames.
#include "framework/TWindow.h"

TWindow::TWindow(TWindow* parent, const char* title) : Parent(nullptr), Title(title) {
    if (parent != nullptr) parent->adopt(this);
}

TWindow::~TWindow() {
    while (FirstChild != nullptr) {
        TWindow* child = FirstChild;
        FirstChild = child->NextSibling;
        child->Parent = nullptr;
        delete child;
    }
    releasePlatform();
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

void TWindow::transferData() {
    if (TransferBuffer == nullptr) return;
    for (TWindow* child = FirstChild; child != nullptr; child = child->NextSibling)
        if (child->TakesTransfer) child->setText(TransferBuffer);
}

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* client)
    : TWindow(parent, title), Client(client) {
    adopt(client);
}

void TFrameWindow::onCreated() {
    fitClient();
    TWindow::onCreated();
}
