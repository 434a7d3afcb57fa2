// Answers a learning prompt the way a person holding the device's remote does: lets it read
// until it closes by itself, when the read has ended (the read's own time-out at the latest,
// in the handheld's time).
#pragma once

#include <QDialog>
#include <QEventLoop>

// Any other dialog is left as it is, with its result.
inline int LetPromptCapture(QDialog& dialog) {
    if (!dialog.inherits("CLearnPromptDlg")) {
        return dialog.result();
    }
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    if (dialog.isVisible()) {
        loop.exec();
    }
    return dialog.result();
}
