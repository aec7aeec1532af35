// The platform-independent part of the application object.
#include "framework/TApplication.h"

#include "framework/TWindow.h"

TApplication::~TApplication() {
    delete MainWindow;
}

int TApplication::Run() {
    buildMainWindow();
    if (MainWindow == nullptr || !MainWindow->create()) return -1;
    MainWindow->show(ShowState);
    afterShow();
    return runLoop();
}

bool TApplication::confirmClose() {
    return MainWindow == nullptr || MainWindow->canClose();
}

// The framework itself has nothing to do when the queue is empty.
bool TApplication::onIdle(long) {
    return false;
}

void TApplication::setMainWindow(TWindow* window) {
    MainWindow = window;
    window->MainOf = this;
}
