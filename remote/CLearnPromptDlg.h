// The prompt shown while one signal is read from the device's own remote. It shows itself
// first and then runs the capture, so the user sees what to do while the driver waits;
// it closes with the driver's result, which the caller reads from CaptureResult(); the
// caller words a failure.
//
// Its "Code..." button is the way to give the button a protocol and code instead: the prompt
// then closes with kByCode. The read blocks the program while it waits, so a click on the
// button made meanwhile is taken when the read is over, in place of what it heard.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "model/Operations.h"

class QLabel;
class QPushButton;

class CLearnPromptDlg : public QDialog {
    Q_OBJECT

  public:
    // The private command the prompt posts itself after painting.
    static constexpr int kCaptureCommand = 5533;
    static constexpr int kFirstTextId = 1028;
    static constexpr int kTextCount = 5;
    // The result while no capture has run (the prompt was closed before it could start).
    static constexpr int kNotCaptured = -1;
    // The result when the user chose to give the button a code.
    static constexpr int kByCode = LearnFace::kByCode;

    // `read` waits for the remote and gives the driver's result.
    explicit CLearnPromptDlg(std::function<int()> read, QWidget* parent = nullptr);

    int step = 0;      // 0 the only read, 1 the first and 2 the second read of double mode
    QString name;      // the button being learnt
    int category = 0;  // its category

    int CaptureResult() const { return captureResult_; }
    // Text 1028 + index.
    QString Text(int index) const;
    QPushButton* CodeButton() const { return code_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    // A read cannot be cancelled: it ends with a signal or with the driver's time-out.
    void reject() override {}

  private:
    void RunCapture();
    void OnCode();
    void PlaceTexts();

    std::function<int()> read_;
    std::array<QLabel*, kTextCount> texts_{};
    QPushButton* code_;
    bool captureStarted_ = false;
    bool codeChosen_ = false;
    int captureResult_ = kNotCaptured;
};
