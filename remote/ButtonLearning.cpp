#include "remote/ButtonLearning.h"

#include "ir/IrResult.h"
#include "model/ResultText.h"
#include "platform/Modal.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CConfirmDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CSkinElement.h"
#include "resources/StringText.h"
#include "store/FormTables.h"

namespace {

QString CodebasePath(const CRemoteButton& button) {
    return button.slot ? button.slot->Path() : QString();
}

int CategoryOf(const CRemoteButton& button) {
    if (!button.slot) {
        return kCategoryUnknown;
    }
    const int form = button.slot->SlotId() / FormSlotId(1);
    return IsValidForm(form) ? FormCategory(form) : kCategoryUnknown;
}

}  // namespace

int CWindowLearnFace::Follow(const LearnStep& step, CIrRead& read) {
    CLearnPromptDlg prompt(&read, parent_);
    prompt.step = step.step;
    prompt.name = step.button;
    prompt.category = step.category;
    modal_.RunDialog(prompt);
    const int result = prompt.CaptureResult();
    switch (result) {
        case CLearnPromptDlg::kStopLearning:
            stopLearning = true;
            return kCancelled;
        case CLearnPromptDlg::kNotCaptured:
            // A prompt closed before its read began ended the learn.
            return kCancelled;
        case kIrNoSignal:
            // The prompt does not just vanish: it says why and how to go on.
            modal_.ShowMessage(
                parent_, StringText(kStrNoSignalHeard) + "\n" + StringText(kStrNothingReceived));
            return result;
        default:
            return result;
    }
}

bool CWindowLearnFace::ConfirmSecond() {
    CConfirmDlg confirm(parent_);
    return modal_.RunDialog(confirm) == kIdOk;
}

bool CWindowLearnFace::AskCode(const QString& button, IrSignal& coded) {
    return AskButtonCode(modal_, button, coded, parent_);
}

bool Learn(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, int learnMode,
           bool byCode, QWidget* parent, bool* stopLearning) {
    if (learnMode != 0 && learnMode != 1) {
        return false;
    }
    LearnRequest request;
    request.path = CodebasePath(button);
    request.button = button.name;
    request.category = CategoryOf(button);
    request.mode = learnMode == 0 ? LearnMode::Single : LearnMode::Double;
    request.how = byCode ? LearnHow::ByCode : LearnHow::Read;
    CWindowLearnFace face(modal, parent);
    const LearnOutcome outcome = model.LearnButton(request, face);
    if (stopLearning) {
        *stopLearning = face.stopLearning;
    }
    if (outcome.created && button.slot) {
        // The slot looks at the new file again and takes it up as the hot codebase.
        button.slot->SetPath(request.path);
    }
    if (outcome.code != kOpOk) {
        // The prompt has told of a read that heard nothing, and a read the user ended needs
        // no words; without a driver the start-up message has said it already.
        if (outcome.code != kOpNoSignal && outcome.code != kOpNoDriver) {
            const QString message = LearnFailureText(outcome);
            if (!message.isEmpty()) {
                modal.ShowMessage(parent, message);
            }
        }
        return false;
    }
    button.hasSignal = true;
    CConfirmDlg learntDlg(parent);
    learntDlg.message = LearntText(outcome);
    learntDlg.cancelShown = false;
    modal.RunDialog(learntDlg);
    return true;
}

bool Press(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, PressSource source,
           const std::function<void()>& beforeSend, QWidget* parent) {
    const PressOutcome outcome = model.PressButton(CodebasePath(button), button.name,
                                                   button.whichSignal, source, beforeSend);
    button.signal = outcome.signal;
    if (outcome.code == kOpIrFailed) {
        modal.ShowMessage(parent, IrFailureText(outcome.ir, IrAction::Send));
    }
    return outcome.code == kOpOk;
}
