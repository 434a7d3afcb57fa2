// Answers a learning prompt the way a person holding the device's remote does: lets it
// capture until it closes by itself (the 20-second time-out at the latest).
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>

inline int LetPromptCapture(QDialog& dialog) {
    QElapsedTimer waited;
    waited.start();
    while (dialog.isVisible() && waited.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return dialog.result();
}
