// A dialog that fills itself in when it is first shown rather than when it is made, so that
// what it reads (files, the list's width) is read once its geometry is known and a dialog
// that is made but never shown reads nothing.
#pragma once

#include <QDialog>

class CFillOnShowDialog : public QDialog {
  public:
    using QDialog::QDialog;

  protected:
    // Called once, as the dialog is first shown and before it reaches the screen.
    virtual void FirstShown() = 0;

    void showEvent(QShowEvent* event) override {
        if (!shown_) {
            shown_ = true;
            FirstShown();
        }
        QDialog::showEvent(event);
    }

  private:
    bool shown_ = false;
};
