#include "remote/ButtonLearning.h"

#include <QStringList>
#include <algorithm>
#include <vector>

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "platform/Modal.h"
#include "platform/Sound.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CConfirmDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CSkinElement.h"
#include "resources/dialogs/StringText.h"
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

// Runs one read through the prompt; the driver's result.
int ReadOnce(CRemoteModel& model, ModalRunner& modal, int step, const CRemoteButton& button,
             QWidget* parent) {
    CLearnPromptDlg prompt(model, modal, parent);
    prompt.step = step;
    prompt.name = button.name;
    prompt.category = CategoryOf(button);
    modal.RunDialog(prompt);
    return prompt.CaptureResult();
}

}  // namespace

QString LearntText(const std::vector<LearnReport>& reports, const std::vector<LearnCheck>& checks,
                   bool toggled) {
    QStringList lines;
    for (size_t k = 0; k < reports.size(); ++k) {
        const LearnReport& report = reports[k];
        QString line = reports.size() > 1 ? StringText(kStrLearntSignal, {QString::number(k + 1)})
                                          : StringText(kStrLearntOne);
        line += StringText(kStrLearntEntries,
                           {QString::number(report.entries),
                            StringText(report.frameFound ? kStrFrameFound : kStrNoFrameFound)});
        line += report.carrierUs > 0
                    ? StringText(kStrLearntCarrier, {QString::number(report.carrierUs)})
                    : StringText(kStrCarrierNotMeasured);
        lines << line;
        if (k >= checks.size()) {
            continue;
        }
        const LearnCheck& check = checks[k];
        if (check.outcome == CheckOutcome::Yes) {
            lines << StringText(kStrCheckedSame);
        } else if (check.outcome == CheckOutcome::No) {
            lines << StringText(kStrCheckedDifferent, {CheckDifference(check)});
        } else {
            lines << StringText(kStrNotChecked);
        }
    }
    if (toggled) {
        lines << StringText(kStrToggleStored);
    }
    return lines.join("\n");
}

QString IrFailureMessage(int result, const std::string& port, IrAction action) {
    const bool capturing = action == IrAction::Capture;
    if (result == kIrOk || (capturing && result == kIrNoSignal)) {
        return QString();
    }
    if (capturing && (result == kIrCarrierTooLong || result == kIrMarkTooLong)) {
        return StringText(kStrReceiveProblem, {QString::number(result)});
    }
    if (result == kIrPortBusy) {
        return StringText(kStrPortBusy, {QString::fromStdString(port)});
    }
    if (result == kIrNoPortName) {
        return StringText(kStrPortNotSelected);
    }
    return StringText(kStrDriverError, {QString::number(result)});
}

namespace {

// Stores what was learnt (or given by code) under the button, sends each stored signal once
// into the device's own receiver to check it, and confirms what was stored.
bool StoreAndConfirm(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal,
                     const std::vector<IrSignal>& learnt, const std::vector<LearnReport>& reports,
                     LearnMode mode, QWidget* parent) {
    const QString path = CodebasePath(button);
    bool created = false;
    StoreResult stored = kStoreNotStored;
    for (size_t k = 0; k < learnt.size(); ++k) {
        bool made = false;
        const StoreResult result =
            model.StoreLearnt(path, button.name, learnt[k], static_cast<int>(k) + 1, mode, made);
        created |= made;
        if (result == kStoreNotCreated || result == kStoreNotACodebase) {
            stored = result;
            break;
        }
        if (result == kStoreOk) {
            stored = kStoreOk;
        }
    }
    if (created && button.slot) {
        // The slot looks at the new file again and takes it up as the hot codebase.
        button.slot->SetPath(path);
    }
    if (stored == kStoreNotCreated || stored == kStoreNotACodebase) {
        // A file that is there but is not a codebase is left alone: storing into it would
        // ruin it.
        modal.ShowMessage(parent, StringText(kStrCreateFileFailed, {path}));
        return false;
    }
    if (stored != kStoreOk) {
        return false;
    }
    button.hasSignal = true;

    // Each stored signal goes out once into the device's own receiver, as it was stored.
    std::vector<LearnCheck> checks;
    for (size_t k = 0; k < learnt.size(); ++k) {
        IrSignal kept;
        if (model.ReadButton(path, button.name, static_cast<int>(k) + 1, kept) != kStoreOk) {
            kept = learnt[k];
        }
        checks.push_back(model.CheckLearnt(kept));
    }
    const bool toggled = mode == LearnMode::Single &&
                         CRemoteModel::TogglesByItself(CRemoteModel::WithCarrier(learnt[0]));
    CConfirmDlg learntDlg(parent);
    learntDlg.message = LearntText(reports, checks, toggled);
    learntDlg.cancelShown = false;
    modal.RunDialog(learntDlg);
    return true;
}

}  // namespace

bool Learn(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, int learnMode,
           QWidget* parent) {
    std::vector<int> steps;
    if (learnMode == 0) {
        steps = {0};
    } else if (learnMode == 1) {
        steps = {1, 2};
    } else {
        return false;
    }
    if (!model.Driver()) {
        return false;
    }
    std::vector<IrSignal> learnt;
    bool byCode = false;
    std::vector<LearnReport> reports;
    for (const int step : steps) {
        const int read = ReadOnce(model, modal, step, button, parent);
        if (read == CLearnPromptDlg::kByCode) {
            // A code stands for the whole button, as one signal learnt in single mode does.
            model.ClosePort();
            IrSignal coded;
            if (!AskButtonCode(modal, button.name, coded, parent)) {
                return false;
            }
            learnt = {coded};
            reports = {ReportOf(coded, false)};
            byCode = true;
            break;
        }
        if (read != kIrOk) {
            return false;
        }
        model.ClosePort();
        if (model.SoundsOn() && model.SoundOutput()) {
            model.SoundOutput()->Beep();
        }
        const IrSignal signal = model.CapturedSignal();
        if (signal.count == 0) {
            return false;
        }
        const LearnReport report = model.CapturedReport();
        if (report.cut) {
            // Stored, it would send only the beginning of what the remote sends.
            modal.ShowMessage(parent, StringText(kStrSignalCut));
            return false;
        }
        learnt.push_back(signal);
        reports.push_back(report);
        if (step == 1) {
            CConfirmDlg confirm(parent);
            if (modal.RunDialog(confirm) != kIdOk) {
                return false;
            }
        }
    }

    const LearnMode mode = learnMode == 0 || byCode ? LearnMode::Single : LearnMode::Double;
    return StoreAndConfirm(button, model, modal, learnt, reports, mode, parent);
}

bool LearnByCode(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, QWidget* parent) {
    IrSignal coded;
    if (!AskButtonCode(modal, button.name, coded, parent)) {
        return false;
    }
    return StoreAndConfirm(button, model, modal, {coded}, {ReportOf(coded, false)},
                           LearnMode::Single, parent);
}

bool PrepareSend(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, QWidget* parent) {
    if (!model.Driver()) {
        return false;
    }
    // Every send reads the hot codebase afresh: a button without a record there sends
    // nothing, whatever it sent from another codebase before.
    model.ReadButton(CodebasePath(button), button.name, button.whichSignal, button.signal);
    if (button.signal.count == 0) {
        model.ClosePort();
        return false;
    }
    const int result = model.Load(button.signal);
    if (result != kIrOk) {
        const std::string port =
            result == kIrNoPortName ? model.IrPort() : model.Driver()->GetPortName();
        modal.ShowMessage(parent, IrFailureMessage(result, port, IrAction::Load));
        return false;
    }
    return true;
}
