#include "core/MessageBoxC.h"

#include "framework/PlatformSeams.h"

namespace {
const char* const MessageCaption = "Tallywave Message:";
const char* const WarningCaption = "Tallywave WARNING!";
const char* const FatalCaption = "Tallywave FATAL!";
}  // namespace

int MessageBoxC::showBox(unsigned flags, const char* caption, const char* text) {
    return seam::showMessageBox(flags, caption, text);
}

int MessageBoxC::showMessage(const char* text) {
    return showBox(seam::BoxOk | seam::BoxIconInformation | seam::BoxTaskModal, MessageCaption,
                   text);
}

int MessageBoxC::showWarning(const char* text) {
    return showBox(seam::BoxOk | seam::BoxIconExclamation | seam::BoxTaskModal, WarningCaption,
                   text);
}

int MessageBoxC::showFatal(const char* text) {
    return showBox(seam::BoxOk | seam::BoxIconHand | seam::BoxTaskModal | seam::BoxTopmost,
                   FatalCaption, text);
}
