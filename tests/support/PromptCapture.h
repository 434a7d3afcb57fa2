// Answers a learning prompt the way a person holding the device's remote does: lets it read
// until it closes by itself, when the read has ended (the read's own time-out at the latest,
// in the handheld's time). Any other dialog is left as it is, with its result.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>

inline int LetPromptCapture(QDialog& dialog) {
    if (!dialog.inherits("CLearnPromptDlg")) {
        return dialog.result();
    }
    // Events, not a nested loop: an application told to quit by an earlier test would end
    // a nested loop at once.
    while (dialog.isVisible()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return dialog.result();
}
