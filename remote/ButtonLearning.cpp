#include "ButtonLearning.h"

#include <QStringList>
#include <algorithm>
#include <vector>

#include "CAddByCodeDlg.h"
#include "CCodebaseSlot.h"
#include "CConfirmDlg.h"
#include "CIrDriver.h"
#include "CLearnPromptDlg.h"
#include "CSkinElement.h"
#include "FormTables.h"
#include "IrResult.h"
#include "Modal.h"
#include "Sound.h"
#include "Strings.h"

namespace {

constexpr int kNotSelectedString = 65053;
constexpr int kPortBusyString = 65054;
constexpr int kDriverErrorString = 65057;
constexpr int kReceiveProblemString = 65058;

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
        QString line = reports.size() > 1 ? QString("Signal %1: ").arg(k + 1) : QString("Learnt: ");
        line += QString("%1 entries, %2, ")
                    .arg(report.entries)
                    .arg(report.frameFound ? "repeating frame found" : "no repeating frame");
        line += report.carrierUs > 0 ? QString("carrier %1 µs.").arg(report.carrierUs)
                                     : QString("carrier not measured.");
        lines << line;
        if (k >= checks.size()) {
            continue;
        }
        const LearnCheck& check = checks[k];
        if (check.outcome == CheckOutcome::Yes) {
            lines << "Checked: the signal comes back as learnt.";
        } else if (check.outcome == CheckOutcome::No) {
            lines << "Warning: the signal does not come back as learnt (" + CheckDifference(check) +
                         "). Please learn the button again.";
        } else {
            lines << "Not checked: the receiver cannot hear the emitter.";
        }
    }
    if (toggled) {
        lines << "The remote flips a toggle bit on every press of this button: signal 2 was "
                 "stored with the other toggle, so that presses alternate as on the remote.";
    }
    return lines.join("\n");
}

QString IrFailureMessage(int result, const std::string& port, IrAction action) {
    const bool capturing = action == IrAction::Capture;
    QString text;
    if (result == kIrOk || (capturing && result == kIrNoSignal)) {
        return text;
    }
    if (capturing && (result == kIrCarrierTooLong || result == kIrMarkTooLong)) {
        text = LoadString(kReceiveProblemString);
    } else if (result == kIrPortBusy) {
        text = LoadString(kPortBusyString);
    } else if (result == kIrNoPortName) {
        text = LoadString(kNotSelectedString);
    } else {
        text = LoadString(kDriverErrorString);
    }
    // The table's texts are filled in here rather than used as printf formats.
    return text.replace("%s", QString::fromStdString(port)).replace("%d", QString::number(result));
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
        modal.ShowMessage(parent, "Failure on creating the file.\n '" + path + "'");
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
            modal.ShowMessage(parent, kCutSignalText);
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
