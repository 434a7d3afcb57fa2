// The window's side of learning and pressing one remote button: the model does the work,
// the window supplies the prompt, the confirmation and the code dialog, and shows what the
// model's outcome says.
#pragma once

#include <QString>

#include "model/CRemoteModel.h"

class ModalRunner;
class CRemoteButton;
class QWidget;

// The learning prompt, the confirmation between two reads and the code dialog, as dialogs
// of the window `parent`, run by `modal`.
class CWindowLearnFace : public LearnFace {
  public:
    CWindowLearnFace(ModalRunner& modal, QWidget* parent) : modal_(modal), parent_(parent) {}

    int Follow(const LearnStep& step, CIrRead& read) override;
    bool ConfirmSecond() override;
    bool AskCode(const QString& button, IrSignal& coded) override;

    // The user chose "Stop Learning" in a prompt.
    bool stopLearning = false;

  private:
    ModalRunner& modal_;
    QWidget* parent_;
};

// Learns `button` into its hot codebase through the prompt: one read in single mode (0),
// two in double mode (1) with a confirmation between them; with `byCode` the button's code
// is asked for instead. A failure is shown (a read that heard nothing, or that the user
// ended, is not); a learnt button gets its signal, and a confirmation tells what was learnt.
// True when the button was learnt. `stopLearning` tells whether the user chose to end
// learning mode in a prompt.
bool Learn(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, int learnMode,
           bool byCode, QWidget* parent = nullptr, bool* stopLearning = nullptr);

// Presses `button`: its signal (the one its whichSignal names) from its hot codebase is sent
// while it stays held, after `beforeSend` (the click). A failure of the IR is shown. True
// when something was sent.
bool Press(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, PressSource source,
           const std::function<void()>& beforeSend, QWidget* parent = nullptr);
