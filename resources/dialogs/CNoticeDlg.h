// A notice without a title bar: one or two texts of the string table and an extra text,
// acknowledged with "Ok".
#pragma once

#include <QDialog>

class ModalRunner;

class QLabel;
class QPushButton;

class CNoticeDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTextId = 1028;

    explicit CNoticeDlg(QWidget* parent = nullptr);

    // String numbers 0 mean none. Mode 0 is the only mode: a single "Ok" button.
    void Set(int firstString, int secondString, int mode, const QString& extraText);

    QString Text() const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* SecondButton() const { return second_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int first_ = 0;
    int secondString_ = 0;
    int mode_ = 0;
    QString extra_;
    QLabel* text_;
    QPushButton* ok_;
    QPushButton* second_;
};

// Shows string `stringId` in a notice, run by `modal`.
int ShowNotice(ModalRunner& modal, QWidget* parent, int stringId);
