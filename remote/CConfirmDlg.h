// A "Continue" / "Cancel" question: between the two reads of a button in double mode, and
// when learning is to stop. Without its Cancel button it tells what a learn found.
#pragma once

#include <QDialog>

#include "resources/Strings.h"

class QLabel;
class QPushButton;

class CConfirmDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTextId = 1028;
    static constexpr int kFirstSignalReadString = kStrFirstSignalRead;

    explicit CConfirmDlg(QWidget* parent = nullptr);

    int stringId = kFirstSignalReadString;
    bool stopLearningLabel = false;  // the Cancel button reads "Stop Learning"
    // Shown instead of the string when not empty; the text grows the dialog downwards as
    // far as it needs.
    QString message;
    bool cancelShown = true;

    QLabel* Text() const { return text_; }
    // The text shown, before it was broken into lines.
    const QString& ShownText() const { return shown_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ContinueButton() const { return continue_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QString shown_;
    QLabel* text_;
    QPushButton* cancel_;
    QPushButton* continue_;
};
