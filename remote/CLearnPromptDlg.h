// The prompt shown while one signal is read from the device's own remote. It shows itself
// first and then starts the read on the model's IR worker, so the user sees what to do while
// the driver waits; meanwhile it counts down the seconds left of the read's time, and the
// window behind it keeps painting. It closes with the driver's result when the read ends,
// which the caller reads from CaptureResult(); the caller words a failure.
//
// The user may end the read at once: Esc and Cancel end this read, "Stop Learning" ends it
// and learning mode, "Code..." ends it to give the button a protocol and code instead. The
// prompt then closes as soon as the driver has let go of the receiver.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "model/Operations.h"

class CIrRead;
class QLabel;
class QPushButton;

class CLearnPromptDlg : public QDialog {
    Q_OBJECT

  public:
    // The private command the prompt posts itself once it is shown.
    static constexpr int kCaptureCommand = 5533;
    static constexpr int kFirstTextId = 1028;
    static constexpr int kTextCount = 5;
    static constexpr int kTimeOutId = 1033;
    // The result while no capture has run (the prompt was closed before it could start).
    static constexpr int kNotCaptured = -1;
    // The results when the user chose to give the button a code, ended the read, or ended
    // learning.
    static constexpr int kByCode = LearnFace::kByCode;
    static constexpr int kCancelled = LearnFace::kCancelled;
    static constexpr int kStopLearning = -4;

    // `read` waits for the remote on the model's IR worker.
    explicit CLearnPromptDlg(CIrRead* read, QWidget* parent = nullptr);

    int step = 0;      // 0 the only read, 1 the first and 2 the second read of double mode
    QString name;      // the button being learnt
    int category = 0;  // its category

    int CaptureResult() const { return captureResult_; }
    CIrRead* Read() const { return read_; }
    // Text 1028 + index.
    QString Text(int index) const;
    // What the prompt says of the time left.
    QString TimeOutText() const;
    QPushButton* CodeButton() const { return code_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* StopButton() const { return stop_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    // Esc ends the read.
    void reject() override { End(kCancelled); }

  private:
    void StartRead();
    // Ends the prompt with `choice` once the read has let go of the driver.
    void End(int choice);
    void OnEnded(int result);
    void ShowSecondsLeft(int seconds);
    void PlaceTexts();

    CIrRead* read_;
    std::array<QLabel*, kTextCount> texts_{};
    QLabel* timeOut_;
    QPushButton* code_;
    QPushButton* cancel_;
    QPushButton* stop_;
    bool started_ = false;
    bool ended_ = false;
    int choice_ = 0;  // the user's choice that ends the prompt, 0 while none
    int captureResult_ = kNotCaptured;
};
