// The pen as the handheld's driver sees it while the user-interface thread is busy.
//
// A send blocks the thread while the driver polls whether the stylus is still down, so no
// pen event reaches the remote window meanwhile. The gate watches the host's pointer
// button for the whole application: while the thread is busy it lets the pending input
// through the event loop only to learn the button's state, and swallows it, so a tap made
// during a send never reaches any window. A lift of the pointer seen then is handed to
// `onLiftWhileBusy`, so that the remote can release its button once the press is handled.
//
// A pen state never outlives the press that made it. A press ends where its release is
// seen, and also where the release can no longer reach the gate: when a dialog or message
// box starts or ends its modal run on the program's runner (the release goes to the dialog,
// or is dropped while the window behind is blocked), and when the application loses the
// pointer to another window.
#pragma once

#include <QObject>
#include <functional>

#include "platform/Modal.h"

class CPenGate : public QObject, private ModalWatcher {
    Q_OBJECT

  public:
    // Watches the dialogs and message boxes that `modal` runs.
    explicit CPenGate(ModalRunner& modal, QObject* parent = nullptr);
    ~CPenGate() override;

    // Whether the primary pointer button is down. While busy, the pending input is read
    // (and swallowed) first.
    bool IsDown();
    // Reads and swallows every pending pointer and key input.
    void Flush();

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
    bool down_ = false;
};
