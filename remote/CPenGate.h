// The pen as the handheld's driver sees it while a send runs on the IR worker.
//
// A send keeps going while the stylus stays down, and the driver asks for the stylus from
// the worker's thread. The gate watches the host's pointer button for the whole application
// and keeps its state where any thread may read it. While a send runs the window waits for
// it in its event loop, and the gate is busy: it swallows pointer and key input, so a tap
// made during a send never reaches any window, and hands a lift of the pointer seen then to
// `onLiftWhileBusy`, so that the remote can release its button once the press is handled.
//
// A pen state never outlives the press that made it. A press ends where its release is
// seen, and also where the release can no longer reach the gate: when a dialog or message
// box starts or ends its modal run on the program's runner (the release goes to the dialog,
// or is dropped while the window behind is blocked), and when the application loses the
// pointer to another window.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

#include "platform/Modal.h"

class CPenGate : public QObject, private ModalWatcher {
    Q_OBJECT

  public:
    // Watches the dialogs and message boxes that `modal` runs.
    explicit CPenGate(ModalRunner& modal, QObject* parent = nullptr);
    ~CPenGate() override;

    // Whether the primary pointer button is down; any thread may ask.
    bool IsDown() const { return down_.load(); }

    bool IsBusy() const { return busy_ > 0; }
    std::function<void()> onLiftWhileBusy;

    // Marks the thread busy for the life of the object.
    class Busy {
      public:
        explicit Busy(CPenGate* gate) : gate_(gate) {
            if (gate_) {
                ++gate_->busy_;
            }
        }
        ~Busy() {
            if (gate_) {
                --gate_->busy_;
            }
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        CPenGate* gate_;
    };

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ModalStarted() override { down_ = false; }
    void ModalEnded() override { down_ = false; }

    ModalRunner& modal_;
    int busy_ = 0;
    std::atomic<bool> down_{false};
};
