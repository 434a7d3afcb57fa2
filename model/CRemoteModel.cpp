#include "model/CRemoteModel.h"

#include <algorithm>
#include <span>

#include "ir/protocols/IrProtocol.h"

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "model/IrWorker.h"
#include "platform/Sound.h"

CRemoteModel::CRemoteModel(RemoteServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), worker_(std::make_unique<CIrWorker>()) {}

// The worker ends (after the work asked for) before the services it uses go.
CRemoteModel::~CRemoteModel() = default;

CIrDriver* CRemoteModel::Driver() {
    return services_.driver ? services_.driver() : nullptr;
}

std::array<uint16_t, kHardKeySlots> CRemoteModel::SlotKeyCodes() {
    return services_.hardKeys ? SlotKeys(services_.hardKeys->DefaultKeys())
                              : std::array<uint16_t, kHardKeySlots>{};
}

void CRemoteModel::SetFolders(const QString& baseFolder, const QString& prefFile) {
    baseFolder_ = baseFolder;
    prefFile_ = prefFile;
}

QString CRemoteModel::PreferenceFileName() const {
    return prefFile_.startsWith(baseFolder_, Qt::CaseInsensitive)
               ? prefFile_.mid(baseFolder_.size())
               : prefFile_;
}

void CRemoteModel::SwitchPreferenceFile(const QString& name) {
    prefFile_ = baseFolder_ + name;
}

void CRemoteModel::LoadState() {
    // The form on the screen is the one its category showed last.
    if (IsValidForm(state_.currentForm)) {
        state_.lastForms[static_cast<size_t>(state_.currentForm / 2)] = state_.currentForm % 2;
    }
    ::LoadState(Fs(), prefFile_, state_);
    if (!IsValidForm(state_.currentForm)) {
        state_.currentForm = 0;
    }
    emit StateReplaced();
}

bool CRemoteModel::SaveState() {
    if (IsValidForm(state_.currentForm)) {
        state_.lastForms[static_cast<size_t>(state_.currentForm / 2)] = state_.currentForm % 2;
    }
    return ::SaveState(Fs(), prefFile_, state_);
}

bool CRemoteModel::SaveStateAs(const QString& setFile) {
    const QString previous = PreferenceFileName();
    SwitchPreferenceFile(setFile);
    const bool saved = SaveState();
    SwitchPreferenceFile(previous);
    return saved;
}

bool CRemoteModel::ApplyStateFrom(const QString& setFile) {
    const QString previous = PreferenceFileName();
    SwitchPreferenceFile(setFile);
    LoadState();
    SwitchPreferenceFile(previous);
    return SaveState();
}

QString CRemoteModel::HotCodebaseOfForm(int form) const {
    return IsValidForm(form) ? state_.hotCodebases[static_cast<size_t>(form)] : QString();
}

bool CRemoteModel::MakeHot(int category, const QString& path, bool persist) {
    if (!IsDeviceCategory(category)) {
        return false;
    }
    bool ok = true;
    for (const int form : {FirstFormOf(category), SecondFormOf(category)}) {
        state_.hotCodebases[static_cast<size_t>(form)] = path;
        if (persist) {
            ok = StoreHotCodebase(Fs(), prefFile_, form, path) && ok;
        }
    }
    emit HotCodebaseChanged(category, path);
    return ok;
}

void CRemoteModel::ReloadHot(int category) {
    if (!IsDeviceCategory(category)) {
        return;
    }
    for (const int form : {FirstFormOf(category), SecondFormOf(category)}) {
        LoadHotCodebase(Fs(), prefFile_, form, state_.hotCodebases[static_cast<size_t>(form)]);
    }
    emit HotCodebaseChanged(category, HotCodebase(category));
}

void CRemoteModel::SetCurrentForm(int form) {
    if (IsValidForm(state_.currentForm)) {
        state_.lastForms[static_cast<size_t>(state_.currentForm / 2)] = state_.currentForm % 2;
    }
    const bool changed = state_.currentForm != form;
    state_.currentForm = form;
    if (changed) {
        emit CurrentFormChanged(form);
    }
}

int CRemoteModel::RememberedForm(int category) const {
    return IsDeviceCategory(category) ? state_.lastForms[static_cast<size_t>(category - 1)] : 0;
}

void CRemoteModel::SetRememberedForm(int category, int which) {
    if (IsDeviceCategory(category)) {
        state_.lastForms[static_cast<size_t>(category - 1)] = which == 1 ? 1 : 0;
    }
}

bool CRemoteModel::ApplyKeyCapture() {
    if (!services_.hardKeys) {
        return true;
    }
    return state_.keyCapture ? services_.hardKeys->Open() : services_.hardKeys->Close();
}

bool CRemoteModel::GetKeyAssignment(int slot, HardKeyAssignment& assignment) const {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    assignment = state_.hardKeys[static_cast<size_t>(slot)];
    return true;
}

bool CRemoteModel::GetDefaultKeyAssignment(int slot, int& form, int& button) const {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    const HardKeyAssignment key = DefaultHardKeys()[static_cast<size_t>(slot)];
    form = key.form;
    button = key.button;
    return true;
}

bool CRemoteModel::SetKeyAssignment(int slot, bool used, int form, int button) {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    state_.hardKeys[static_cast<size_t>(slot)] = {used, form, button};
    return true;
}

int CRemoteModel::AssignedSlotOfKey(uint16_t keyCode) {
    const std::array<uint16_t, kHardKeySlots> codes = SlotKeyCodes();
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        if (codes[static_cast<size_t>(slot)] == keyCode &&
            state_.hardKeys[static_cast<size_t>(slot)].used) {
            return slot;
        }
    }
    return -1;
}

bool CRemoteModel::IsPortSelected(const std::string& port) {
    return !port.empty() && port != "COM0";
}

void CRemoteModel::LoadUsedList() {
    usedList_ = ::LoadUsedList(Fs(), baseFolder_ + UsedListFileName());
}

bool CRemoteModel::SaveUsedList() {
    return ::SaveUsedList(Fs(), baseFolder_ + UsedListFileName(), usedList_);
}

void CRemoteModel::SetLearning(bool on) {
    const bool changed = learning_ != on;
    learning_ = on;
    if (on) {
        lowerFormVisited_ = false;
    }
    if (changed) {
        emit LearningChanged(on);
    }
}

int CRemoteModel::Capture(const QString& button, int category) {
    CaptureWatch unwatched;
    return WatchedCapture(button, category, unwatched);
}

int CRemoteModel::ReadOnPort(CaptureWatch* watch, const std::function<void(CIrDriver&)>& prepare,
                             const std::function<void(CIrDriver&, int)>& finish) {
    int result = -1;
    worker_->Run([&] {
        CIrDriver* driver = Driver();
        if (!driver) {
            return;
        }
        if (!PortReady()) {
            result = kIrNoPortName;
            return;
        }
        driver->SetPortName(IrPort());
        prepare(*driver);
        driver->WatchCapture(watch);
        result = driver->Capture();
        driver->WatchCapture(nullptr);
        finish(*driver, result);
    });
    return result;
}

int CRemoteModel::WatchedCapture(const QString& button, int category, CaptureWatch& watch) {
    return ReadOnPort(
        &watch,
        [&](CIrDriver& driver) {
            if (beforeCapture) {
                beforeCapture(button, category);
            }
            // The receiver's bias estimate lives with the settings: handed in, and kept again
            // after the capture moved it.
            const RemoteState::ReceiverBias& remembered = state_.receiverBias;
            driver.SetReceiverBias(
                {remembered.receiver.toStdString(), remembered.biasUs, remembered.captures});
        },
        [&](CIrDriver& driver, int) {
            const ReceiverBiasMemo memo = driver.ReceiverBias();
            if (memo.captures > 0) {
                state_.receiverBias = {QString::fromStdString(memo.receiver), memo.biasUs,
                                       memo.captures};
            }
        });
}

IrSignal CRemoteModel::CapturedSignal() {
    CIrDriver* driver = Driver();
    return driver ? SignalOf(driver->Signal()) : IrSignal{};
}

IrSignal CRemoteModel::WithCarrier(const IrSignal& signal) {
    return SignalWithCarrier(signal);
}

LearnReport CRemoteModel::CapturedReport() {
    CIrDriver* driver = Driver();
    return driver ? ReportOf(driver->Signal(), driver->LastCaptureFull()) : LearnReport{};
}

LearnCheck CRemoteModel::CheckLearnt(const IrSignal& learnt) {
    if (!worker_->OnWorker()) {
        // The check sends and reads back for as long as the signal lasts: the asking thread
        // waits as it waits for a send.
        LearnCheck check;
        AwaitIrWork([&] { check = CheckLearnt(learnt); });
        return check;
    }
    LearnCheck check;
    CIrDriver* driver = Driver();
    if (!driver || !ownReceiver.listen || !ownReceiver.hear || learnt.count == 0) {
        return check;
    }
    const IrSignal sent = WithCarrier(learnt);
    ownReceiver.listen();
    check.sendResult = Load(sent);
    if (check.sendResult == kIrOk) {
        check.sendResult = Send(1);
    }
    ClosePort();
    if (check.sendResult != kIrOk) {
        check.outcome = CheckOutcome::No;
        return check;
    }
    if (!ownReceiver.hear()) {
        return check;
    }
    // Not the model's Capture: that one asks the device's remote to press the button.
    driver->SetPortName(IrPort());
    check.captureResult = driver->Capture();
    driver->ClosePort();
    if (check.captureResult != kIrOk) {
        check.outcome = CheckOutcome::No;
        check.storedCount = sent.count;
        return check;
    }
    LearnCheck compared = CompareLearnt(sent, driver->LastCaptureHeard());
    compared.sendResult = check.sendResult;
    compared.captureResult = check.captureResult;
    return compared;
}

bool CRemoteModel::TogglesByItself(const IrSignal& signal) {
    IrEncoded other;
    return EncodeOtherToggle(std::span<const int32_t>(signal.durations, signal.count),
                             signal.carrierPeriod, other);
}

StoreResult CRemoteModel::ReadButton(const QString& path, const QString& button, int which,
                                     IrSignal& signal) {
    return ReadButtonSignal(Fs(), path, button, which, signal);
}

int CRemoteModel::Load(const IrSignal& signal) {
    if (!worker_->OnWorker()) {
        int result = 0;
        worker_->Run([&] { result = Load(signal); });
        return result;
    }
    CIrDriver* driver = Driver();
    if (!driver) {
        return -1;
    }
    driver->ClosePort();
    if (!PortReady()) {
        return kIrNoPortName;
    }
    driver->SetPortName(IrPort());
    const int result =
        driver->LoadSignal(signal.durations, signal.count, signal.frameStart, signal.carrierPeriod);
    if (result == kIrPortBusy) {
        driver->ClosePort();
    }
    return result;
}

int CRemoteModel::Send(uint16_t repeat) {
    if (!worker_->OnWorker()) {
        int result = 0;
        worker_->Run([&] { result = Send(repeat); });
        return result;
    }
    CIrDriver* driver = Driver();
    if (!driver) {
        return -1;
    }
    const int result = driver->Send(repeat);
    driver->ClosePort();
    return result;
}

int CRemoteModel::Hear(IrSignal& heard, CaptureWatch* watch) {
    return ReadOnPort(
        watch, [this, watch](CIrDriver&) { worker_->YieldTo(watch); },
        [&](CIrDriver& driver, int result) {
            worker_->YieldTo(nullptr);
            if (result == kIrOk) {
                heard = SignalOf(driver.Signal());
            }
            driver.ClosePort();
        });
}

void CRemoteModel::PostIrWork(std::function<void()> job) {
    worker_->Post(std::move(job));
}

bool CRemoteModel::IrWorkWaiting() {
    return worker_->WorkWaiting();
}

void CRemoteModel::FinishIrWork() {
    worker_->Run([] {});
}

void CRemoteModel::ClosePort() {
    worker_->Run([this] {
        if (CIrDriver* driver = Driver()) {
            driver->ClosePort();
        }
    });
}
