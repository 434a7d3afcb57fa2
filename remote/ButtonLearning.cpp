#include "ButtonLearning.h"

#include <algorithm>
#include <vector>

#include "CCodebaseFile.h"
#include "CCodebaseSlot.h"
#include "CConfirmDlg.h"
#include "CIrDriver.h"
#include "CLearnPromptDlg.h"
#include "CSkinElement.h"
#include "FormTables.h"
#include "Modal.h"
#include "SelectedPort.h"
#include "Sound.h"
#include "Strings.h"

namespace {

constexpr int kNotSelectedString = 65053;
constexpr int kPortBusyString = 65054;
constexpr int kDriverErrorString = 65057;
constexpr int kReceiveProblemString = 65058;

constexpr int kPortBusy = 13;
constexpr int kNothingArrived = 17;
constexpr int kCarrierTooSlow = 5;
constexpr int kMarkTooLong = 6;

LearnCaptureHook& CaptureHook() {
    static LearnCaptureHook hook;
    return hook;
}

struct CapturedSignal {
    std::vector<int32_t> durations;
    uint8_t count = 0;
    uint8_t frameStart = 0;
    uint8_t carrierPeriod = 0;
};

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
int ReadOnce(CIrDriver* driver, int step, const CRemoteButton& button, QWidget* parent) {
    CLearnPromptDlg prompt(parent);
    prompt.driver = driver;
    prompt.step = step;
    prompt.name = button.name;
    const int category = CategoryOf(button);
    prompt.beforeCapture = [&button, category] {
        if (const LearnCaptureHook& hook = CaptureHook()) {
            hook(button.name, category);
        }
    };
    RunModal(prompt);
    return prompt.CaptureResult();
}

// Makes sure the codebase file exists, creating it on the first learnt button. A file that
// is there but is not a codebase is left alone: storing buttons into it would ruin it.
bool EnsureCodebase(CRemoteButton& button, QWidget* parent) {
    const QString path = CodebasePath(button);
    CCodebaseFile file;
    bool usable = false;
    if (file.Open(path, CPdbFile::kModeRead) == kPdbOk) {
        usable = file.IsCodebase();
    } else if (file.CreateCodebase(path, CCodebaseFile::kFormatNumber)) {
        file.Close();
        // The slot looks at the new file again and takes it up as the hot codebase.
        button.slot->SetPath(path);
        usable = true;
    }
    file.Close();
    if (!usable) {
        ShowMessage(parent, "Failure on creating the file.\n '" + path + "'");
    }
    return usable;
}

// Stores one captured signal as signal `number` of the button; false when nothing was
// stored. A single-mode read replaces the whole button, so that a signal 2 learnt earlier
// in double mode does not keep alternating with the new signal.
bool StoreCaptured(const CRemoteButton& button, const CapturedSignal& captured, int number,
                   bool singleMode) {
    CCodebaseFile file;
    if (file.Open(CodebasePath(button), CPdbFile::kModeReadWrite) != kPdbOk) {
        return false;
    }
    const std::vector<int16_t> values =
        CCodebaseFile::DurationsToValues(captured.durations.data(), captured.count);
    if (values.empty()) {
        return false;
    }
    const QByteArray name = ToFileBytes(button.name);
    if (singleMode) {
        const int index = file.FindButton(button.name);
        ButtonRecord record;
        if (index >= 0 && file.ParseButtonRecord(index, record) && !record.signal2.values.empty()) {
            record.carrierPeriod = captured.carrierPeriod;
            record.signal1 = ButtonSignal{captured.frameStart, values};
            record.signal2 = ButtonSignal{};
            const std::vector<uint8_t> bytes = CCodebaseFile::BuildButtonRecord(record);
            return file.ReplaceRecord(index, bytes.data(), bytes.size()) == kPdbOk;
        }
    }
    return file.StoreSignal(values, captured.frameStart, captured.carrierPeriod, name, number);
}

}  // namespace

LearnCaptureHook SetLearnCaptureHook(LearnCaptureHook hook) {
    LearnCaptureHook previous = std::move(CaptureHook());
    CaptureHook() = std::move(hook);
    return previous;
}

QString IrFailureMessage(int result, const std::string& port, IrAction action) {
    const bool capturing = action == IrAction::Capture;
    QString text;
    if (result == 0 || (capturing && result == kNothingArrived)) {
        return text;
    }
    if (capturing && (result == kCarrierTooSlow || result == kMarkTooLong)) {
        text = LoadString(kReceiveProblemString);
    } else if (result == kPortBusy) {
        text = LoadString(kPortBusyString);
    } else if (result == kIrNoPortSelected) {
        text = LoadString(kNotSelectedString);
    } else {
        text = LoadString(kDriverErrorString);
    }
    // The table's texts are filled in here rather than used as printf formats.
    return text.replace("%s", QString::fromStdString(port)).replace("%d", QString::number(result));
}

bool Learn(CRemoteButton& button, CIrDriver* driver, int learnMode, bool soundsOn,
           QWidget* parent) {
    std::vector<int> steps;
    if (learnMode == 0) {
        steps = {0};
    } else if (learnMode == 1) {
        steps = {1, 2};
    } else {
        return false;
    }
    if (!driver) {
        return false;
    }
    std::vector<CapturedSignal> captured;
    for (const int step : steps) {
        if (ReadOnce(driver, step, button, parent) != 0) {
            return false;
        }
        driver->ClosePort();
        if (soundsOn) {
            GetSound().Beep();
        }
        CapturedSignal signal;
        driver->GetSignal(signal.durations, signal.count, signal.frameStart, signal.carrierPeriod);
        if (signal.durations.empty() || signal.count == 0) {
            return false;
        }
        captured.push_back(std::move(signal));
        if (step == 1) {
            CConfirmDlg confirm(parent);
            if (RunModal(confirm) != kIdOk) {
                return false;
            }
        }
    }

    if (!EnsureCodebase(button, parent)) {
        return false;
    }
    bool stored = false;
    for (size_t k = 0; k < captured.size(); ++k) {
        stored |= StoreCaptured(button, captured[k], static_cast<int>(k) + 1, learnMode == 0);
    }
    if (stored) {
        button.hasSignal = true;
    }
    return stored;
}

bool PrepareSend(CRemoteButton& button, CIrDriver* driver, QWidget* parent) {
    if (!driver) {
        return false;
    }
    // Every send reads the hot codebase afresh: a button without a record there sends
    // nothing, whatever it sent from another codebase before.
    button.signal = IrSignal{};
    CCodebaseFile file;
    if (file.Open(CodebasePath(button), CPdbFile::kModeRead) == kPdbOk) {
        const int index = file.FindButton(button.name);
        std::vector<int32_t> durations;
        uint8_t count = 0;
        uint8_t frameStart = 0;
        uint8_t carrierPeriod = 0;
        if (index >= 0 && file.ReadSignal(index, button.whichSignal, durations, count, frameStart,
                                          carrierPeriod)) {
            // A record may hold more durations than a signal has room for.
            const size_t kept = std::min({durations.size(), size_t{count}, size_t{kMaxDurations}});
            std::copy_n(durations.begin(), kept, button.signal.durations);
            button.signal.count = static_cast<uint8_t>(kept);
            button.signal.frameStart = frameStart < kept ? frameStart : 0;
            button.signal.carrierPeriod = carrierPeriod;
        }
    }
    file.Close();

    driver->ClosePort();
    if (button.signal.count == 0) {
        driver->ClosePort();
        return false;
    }
    const std::string& port = SelectedIrPort();
    if (!IsIrPortSelected(port)) {
        ShowMessage(parent, IrFailureMessage(kIrNoPortSelected, port, IrAction::Load));
        return false;
    }
    driver->SetPortName(port);
    const int result = driver->LoadSignal(button.signal.durations, button.signal.count,
                                          button.signal.frameStart, button.signal.carrierPeriod);
    if (result != 0) {
        ShowMessage(parent, IrFailureMessage(result, driver->GetPortName(), IrAction::Load));
        if (result == kPortBusy) {
            driver->ClosePort();
        }
        return false;
    }
    return true;
}
