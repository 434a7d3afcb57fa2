#include "remote/ButtonLearning.h"

#include "model/ResultText.h"
#include "platform/Modal.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CConfirmDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CSkinElement.h"
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

int CWindowLearnFace::Read(const LearnStep& step, const std::function<int()>& read) {
    CLearnPromptDlg prompt(read, parent_);
    prompt.step = step.step;
    prompt.name = step.button;
    prompt.category = step.category;
    modal_.RunDialog(prompt);
    // A prompt closed before its read began ended the learn.
    const int result = prompt.CaptureResult();
    return result == CLearnPromptDlg::kNotCaptured ? kCancelled : result;
}

bool CWindowLearnFace::ConfirmSecond() {
    CConfirmDlg confirm(parent_);
    return modal_.RunDialog(confirm) == kIdOk;
}

bool CWindowLearnFace::AskCode(const QString& button, IrSignal& coded) {
    return AskButtonCode(modal_, button, coded, parent_);
}

bool Learn(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, int learnMode,
           bool byCode, QWidget* parent) {
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
    if (outcome.created && button.slot) {
        // The slot looks at the new file again and takes it up as the hot codebase.
        button.slot->SetPath(request.path);
    }
    if (outcome.code != kOpOk) {
        // Nothing heard within the learning time and a read the user ended need no words;
        // without a driver the start-up message has said it already.
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
