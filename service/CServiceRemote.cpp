#include "service/CServiceRemote.h"

#include <QMetaObject>
#include <QTimer>

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
#include "model/ButtonCodes.h"
#include "model/CRemoteModel.h"

namespace {

using Clock = std::chrono::steady_clock;

HandheldFolders FoldersOf(CRemoteModel& model) {
    return FoldersFor(QString::fromStdString(model.Fs().ProgramPath()));
}

// A learn asked for over the API: nobody stands by to be asked, so the read simply runs and
// its progress goes out as events.
class CServiceLearnFace : public LearnFace {
  public:
    int Read(const LearnStep&, const std::function<int()>& read) override { return read(); }
};

// The service's result for a learn's outcome: a driver's code where the IR failed.
int ServiceResultOf(const LearnOutcome& outcome) {
    switch (outcome.code) {
        case kOpOk:
            return kServiceOk;
        case kOpNoDriver:
            return kServiceNoIr;
        case kOpNoSignal:
            return kIrNoSignal;
        case kOpCut:
            return kServiceCut;
        case kOpIrFailed:
            return outcome.ir.result;
        default:
            return kServiceCannotChange;
    }
}

// The service's result for a press or a send.
int ServiceResultOf(const PressOutcome& outcome) {
    switch (outcome.code) {
        case kOpOk:
            return kServiceOk;
        case kOpNoDriver:
            return kServiceNoIr;
        case kOpNothingToSend:
            return outcome.store == kStoreNoButton || outcome.store == kStoreNoSignal
                       ? kServiceNoButton
                       : kServiceCannotRead;
        case kOpIrFailed:
            return outcome.ir.result;
        default:
            return kServiceBadCode;
    }
}

// What a signal says, as listening compares it: its protocol, address and command, or "raw".
QString CodeKeyOf(const IrDecoded& decoded) {
    if (!decoded.protocol) {
        return QStringLiteral("raw");
    }
    return QStringLiteral("%1/%2/%3")
        .arg(QString::fromLatin1(decoded.protocol->name))
        .arg(decoded.frame.code.address)
        .arg(decoded.frame.code.command);
}

IrDecoded DecodedOf(const IrSignal& signal) {
    return DecodeIrSignal(std::span<const int32_t>(signal.durations, signal.count),
                          signal.carrierPeriod);
}

HeardCode HeardOf(const IrSignal& signal, const IrDecoded& decoded) {
    HeardCode heard;
    if (decoded.protocol) {
        heard.protocol = QString::fromLatin1(decoded.protocol->name);
        heard.address = decoded.frame.code.address;
        heard.command = decoded.frame.code.command;
    }
    heard.carrierUs = signal.carrierPeriod;
    heard.entries = signal.count;
    return heard;
}

// A listening read that failed for another reason than silence is tried again after this.
constexpr std::chrono::milliseconds kListenRetry{1000};

}  // namespace

CServiceRemote::CServiceRemote(CRemoteModel& model, QObject* parent)
    : QObject(parent), model_(model) {
    // A preference set loaded in the window changes which codebases are hot.
    connect(&model_, &CRemoteModel::StateReplaced, this, &CServiceRemote::CodebasesChanged);
    connect(this, &CServiceRemote::CodebasesChanged, this, &CServiceRemote::ButtonsChanged);
    connect(&model_, &CRemoteModel::CodebasesChanged, this, &CServiceRemote::ButtonsChanged);
    connect(&model_, &CRemoteModel::ButtonLearnt, this, [this] { emit ButtonsChanged(); });
}

CServiceRemote::~CServiceRemote() {
    stopping_ = true;  // what is still queued is dropped with the service
    {
        // A held send ends at once.
        const std::lock_guard lock(holdMutex_);
        holds_.clear();
        activeHold_.clear();
        activeFixed_ = false;
    }
    listenWatch_.cancelled = true;  // a listening read ends now rather than after its wait
    model_.FinishIrWork();
}

void CServiceRemote::Queue(std::function<void()> job) {
    // Work asked of the worker ends a listening read at once.
    model_.PostIrWork([this, job = std::move(job)] {
        if (!stopping_) {
            job();
        }
    });
    ListenAfterWork();
}

void CServiceRemote::Listen(ReceiverHooks hooks) {
    receiver_ = std::move(hooks);  // read on the worker only after the turn below is queued
    listening_ = true;
    ListenAfterWork();
}

void CServiceRemote::ListenAfterWork() {
    // One turn at most waits for the worker: two would each see the other waiting and give
    // way to it for ever.
    if (!listening_ || stopping_ || listenQueued_.exchange(true)) {
        return;
    }
    model_.PostIrWork([this] { ListenTurn(); });
}

void CServiceRemote::ListenTurn() {
    listenQueued_ = false;
    if (stopping_ || learning_) {
        return;  // the learn's end listens again
    }
    if (model_.IrWorkWaiting()) {
        ListenAfterWork();  // the work asked for meanwhile goes first
        return;
    }
    const auto now = Clock::now();
    if (now < listenResume_) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(listenResume_ - now);
        Back([this, wait] { QTimer::singleShot(wait, this, [this] { ListenAfterWork(); }); });
        return;
    }
    if (!receiver_.signalComing || !receiver_.signalComing()) {
        pressOpen_ = false;  // the receiver is quiet: a press heard before has ended
        return;              // until more work comes, which may bring a signal
    }
    ListenOnce();
    ListenAfterWork();
}

void CServiceRemote::ListenOnce() {
    if (!model_.Driver() || !model_.PortReady()) {
        listenResume_ = Clock::now() + kListenRetry;
        return;
    }
    // Work asked for from here on cancels the read; work asked for before is seen below.
    listenWatch_.cancelled = stopping_.load();
    if (receiver_.beforeRead) {
        receiver_.beforeRead();
    }
    if (model_.IrWorkWaiting()) {  // asked for while the read was prepared: it goes first
        if (receiver_.afterRead) {
            receiver_.afterRead();
        }
        return;
    }
    IrSignal signal;
    const int result = model_.Hear(signal, &listenWatch_);
    if (receiver_.afterRead) {
        receiver_.afterRead();
    }
    if (result == kIrNoSignal) {
        pressOpen_ = false;
        return;
    }
    if (result != kIrOk) {
        pressOpen_ = false;
        listenResume_ = Clock::now() + kListenRetry;
        return;
    }
    const IrDecoded decoded = DecodedOf(signal);
    const QString key = CodeKeyOf(decoded);
    // A held button's frames come one read after the other: one press. The service's own
    // send coming back to the receiver is no press at all.
    const bool continued = pressOpen_ && key == pressCode_;
    const bool own = key == ownCode_ && Clock::now() < ownUntil_;
    pressOpen_ = true;
    pressCode_ = key;
    if (continued || own) {
        return;
    }
    const HeardCode heard = HeardOf(signal, decoded);
    Back([this, heard] { Tell(heard); });
}

void CServiceRemote::Tell(HeardCode heard) {
    if (!heard.protocol.isEmpty()) {
        heard.button = ButtonOfCode(heard.protocol, heard.address, heard.command);
    }
    emit Received(heard);
}

QString CServiceRemote::ButtonOfCode(const QString& protocol, uint32_t address, uint32_t command) {
    const std::vector<CodebaseInfo> codebases = Codebases();
    for (const bool hot : {true, false}) {
        for (const CodebaseInfo& codebase : codebases) {
            if (codebase.hot != hot) {
                continue;
            }
            for (const ButtonInfo& button : codebase.buttons) {
                if (button.protocol && protocol == QLatin1String(button.protocol->name) &&
                    button.address == address && button.command == command) {
                    return codebase.name + '/' + button.name;
                }
            }
        }
    }
    return {};
}

void CServiceRemote::Back(std::function<void()> then) {
    QMetaObject::invokeMethod(this, std::move(then), Qt::QueuedConnection);
}

bool CServiceRemote::IsHeld() {
    const std::lock_guard lock(holdMutex_);
    const auto now = Clock::now();
    if (activeFixed_) {
        return now < activeUntil_;
    }
    if (activeHold_.isEmpty()) {
        return false;
    }
    const auto hold = holds_.find(activeHold_);
    return hold != holds_.end() && !hold->second.ended && now < hold->second.deadline;
}

bool CServiceRemote::RenewHold(const QString& holdId) {
    const std::lock_guard lock(holdMutex_);
    const auto hold = holds_.find(holdId);
    if (hold == holds_.end() || hold->second.ended || Clock::now() >= hold->second.deadline) {
        return false;  // released, or not renewed in time: that hold is over for good
    }
    hold->second.deadline = Clock::now() + kHoldTimeout;
    return true;
}

void CServiceRemote::EndHold(const QString& holdId) {
    const std::lock_guard lock(holdMutex_);
    const auto hold = holds_.find(holdId);
    if (hold != holds_.end()) {
        hold->second.ended = true;
    }
}

void CServiceRemote::StartHold(const QString& holdId, Clock::time_point fixedUntil) {
    const std::lock_guard lock(holdMutex_);
    activeHold_ = holdId;
    activeFixed_ = holdId.isEmpty() && fixedUntil != Clock::time_point{};
    activeUntil_ = fixedUntil;
}

void CServiceRemote::StopHold() {
    const std::lock_guard lock(holdMutex_);
    if (!activeHold_.isEmpty()) {
        holds_.erase(activeHold_);
    }
    activeHold_.clear();
    activeFixed_ = false;
}

bool CServiceRemote::FindCodebase(const QString& name, CodebaseEntry& found) {
    for (const CodebaseEntry& entry : model_.Codebases(FoldersOf(model_))) {
        if (DisplayName(entry.category, entry.deviceName).compare(name, Qt::CaseInsensitive) == 0) {
            found = entry;
            return true;
        }
    }
    return false;
}

std::vector<CServiceRemote::CodebaseInfo> CServiceRemote::Codebases() {
    const std::vector<CodebaseEntry> entries = model_.Codebases(FoldersOf(model_));
    std::vector<CodebaseInfo> list;
    for (const CodebaseEntry& entry : entries) {
        CodebaseInfo info;
        info.name = DisplayName(entry.category, entry.deviceName);
        info.category = entry.category;
        info.hot = entry.mark != 0;
        info.path = entry.path;
        std::vector<ButtonCode> rows;
        DecodeButtons(model_.Fs(), entry.path, rows);
        for (const ButtonCode& row : rows) {
            if (!info.buttons.empty() && info.buttons.back().name == row.button) {
                info.buttons.back().signalCount =
                    std::max(info.buttons.back().signalCount, row.signal);
                continue;
            }
            ButtonInfo button;
            button.name = row.button;
            button.signalCount = row.signal;
            button.protocol = row.protocol;
            button.address = row.frame.code.address;
            button.command = row.frame.code.command;
            info.buttons.push_back(button);
        }
        list.push_back(std::move(info));
    }
    return list;
}

void CServiceRemote::NoteOwnSend(const IrSignal& signal) {
    ownCode_ = CodeKeyOf(DecodedOf(signal));
    ownUntil_ = Clock::now() + kOwnEchoWindow;
}

void CServiceRemote::Press(const QString& codebase, const QString& button, const PressBody& press,
                           Done done) {
    if (learning_) {
        done(kServiceLearning);
        return;
    }
    CodebaseEntry entry;
    if (!FindCodebase(codebase, entry)) {
        done(kServiceNoCodebase);
        return;
    }
    if (!press.holdId.isEmpty()) {
        // The page holds from the moment it pressed, also while the press waits its turn.
        const std::lock_guard lock(holdMutex_);
        holds_[press.holdId] = Hold{Clock::now() + kHoldTimeout, false};
    }
    const QString name = DisplayName(entry.category, entry.deviceName);
    Queue([this, path = entry.path, name, button, press, done = std::move(done)] {
        const QString key = path.toLower() + '\n' + button;
        const auto next = nextSignal_.find(key);
        int which = next != nextSignal_.end() ? next->second : 1;
        StartHold(press.holdId, press.holdMs > 0
                                    ? Clock::now() + std::chrono::milliseconds(press.holdMs)
                                    : Clock::time_point{});
        // The model's press: the button's repeat rule, sent while the hold lasts.
        PressOutcome sent = model_.PressButton(path, button, which, PressSource::Pen);
        if (sent.code == kOpNothingToSend && which == 2) {
            which = 1;  // relearnt meanwhile without its second signal
            sent = model_.PressButton(path, button, which, PressSource::Pen);
        }
        model_.ReleaseButton();
        const int result = ServiceResultOf(sent);
        const int passes = sent.passes;
        if (sent.signal.count > 0) {
            NoteOwnSend(sent.signal);
            // A toggle button sends its second signal next time, then its first again.
            IrSignal second;
            nextSignal_[key] =
                which == 1 && model_.ReadButton(path, button, 2, second) == kStoreOk ? 2 : 1;
        }
        StopHold();
        Back([this, name, button, result, passes, done] {
            emit Sent(name, button, result, passes);
            done(result);
        });
    });
}

int CServiceRemote::Send(const SendBody& send, Done done, QString& problem) {
    IrSignal signal;
    if (send.raw) {
        signal.count = static_cast<uint16_t>(send.durations.size());
        std::copy(send.durations.begin(), send.durations.end(), signal.durations);
        signal.carrierPeriod = static_cast<uint8_t>(send.carrierUs);
        signal.frameStart = 0;
    } else {
        const IrProtocol* protocol = FindIrProtocol(send.protocol.toStdString());
        if (!protocol) {
            problem = QStringLiteral("no protocol is named %1").arg(send.protocol);
            return kServiceBadCode;
        }
        IrCode code;
        code.address = send.address;
        code.command = send.command;
        IrEncoded encoded;
        const int encodedResult = EncodeIrSignal(*protocol, code, encoded);
        if (encodedResult != kIrCodeOk) {
            problem = QString::fromStdString(IrCodeProblem(*protocol, code, encodedResult));
            return kServiceBadCode;
        }
        signal.count = static_cast<uint16_t>(encoded.durations.size());
        std::copy(encoded.durations.begin(), encoded.durations.end(), signal.durations);
        signal.frameStart = encoded.frameStart;
        signal.carrierPeriod = encoded.carrierPeriodUs;
    }
    signal.nextStart = 0;
    if (learning_) {
        return kServiceLearning;
    }
    const QString label = send.raw ? QStringLiteral("raw") : send.protocol;
    const uint16_t repeat =
        send.repeat > 0 ? static_cast<uint16_t>(send.repeat) : CIrDriver::kRepeatWhileHeld;
    Queue([this, signal, repeat, label, done = std::move(done)] {
        const PressOutcome sent = model_.SendSignal(signal, repeat);
        NoteOwnSend(signal);
        const int result = ServiceResultOf(sent);
        const int passes = sent.passes;
        Back([this, label, result, passes, done] {
            emit Sent(QString(), label, result, passes);
            done(result);
        });
    });
    return kServiceOk;
}

bool CServiceRemote::Learn(const QString& codebase, const QString& button, int& result) {
    if (learning_) {
        result = kServiceLearning;
        return false;
    }
    CodebaseEntry entry;
    QString path;
    int category = kCategoryUnknown;
    if (FindCodebase(codebase, entry)) {
        path = entry.path;
        category = entry.category;
    } else {
        // A new codebase, named as Home Devices names them, is made with its first button.
        QString device;
        const HandheldFolders folders = FoldersOf(model_);
        if (!ParseHeaderName(codebase, category, device) || !IsDeviceCategory(category) ||
            CheckCodebaseName(model_.Fs(), folders.defaultCodebaseFolder, category, device) !=
                kNameOk) {
            result = kServiceBadName;
            return false;
        }
        path = folders.defaultCodebaseFolder + CodebaseFileName(category, device);
    }
    learning_ = true;
    result = kServiceOk;
    emit LearnProgress(codebase, button, QStringLiteral("queued"), 0);
    Queue([this, codebase, button, path, category] {
        Back([this, codebase, button] {
            emit LearnProgress(codebase, button, QStringLiteral("listening"), 0);
        });
        // A new codebase goes where Home Devices puts new ones.
        model_.Fs().CreateFolder(FoldersOf(model_).defaultCodebaseFolder.chopped(1).toStdString());
        CServiceLearnFace face;
        LearnRequest request;
        request.path = path;
        request.button = button;
        request.category = category;
        const LearnOutcome learnt = model_.LearnButton(request, face);
        if (!learnt.learnt.empty()) {
            const IrSignal& signal = learnt.learnt.front();
            HeardCode heard = HeardOf(signal, DecodedOf(signal));
            heard.learnt = true;
            Back([this, heard] { emit Received(heard); });
        }
        const int outcome = ServiceResultOf(learnt);
        if (learnt.created) {
            Back([this, category, path] {
                // The first codebase of a category is the one its buttons send from.
                if (model_.HotCodebase(category).isEmpty()) {
                    model_.MakeHot(category, path);
                }
            });
        }
        model_.ClosePort();
        Back([this, codebase, button, outcome] {
            learning_ = false;
            ListenAfterWork();
            emit LearnProgress(codebase, button, QStringLiteral("done"), outcome);
            if (outcome == kServiceOk) {
                emit CodebasesChanged();
            }
        });
    });
    return true;
}

int CServiceRemote::MakeHot(const QString& codebase) {
    CodebaseEntry entry;
    if (!FindCodebase(codebase, entry)) {
        return kServiceNoCodebase;
    }
    if (!IsDeviceCategory(entry.category)) {
        return kServiceBadName;  // a codebase of no category has no buttons to send from
    }
    if (!model_.MakeHot(entry.category, entry.path)) {
        return kServiceCannotChange;
    }
    emit CodebasesChanged();
    return kServiceOk;
}

void CServiceRemote::DeleteCodebase(const QString& codebase, Done done) {
    CodebaseEntry entry;
    if (!FindCodebase(codebase, entry)) {
        done(kServiceNoCodebase);
        return;
    }
    // After the presses queued before it, by the model on this thread, where the hot
    // codebases live.
    Queue([this, path = entry.path, done = std::move(done)] {
        Back([this, path, done] {
            const int removed = model_.DeleteCodebase(path);
            if (removed == kCatalogueOk) {
                emit CodebasesChanged();
            }
            done(removed == kCatalogueOk ? kServiceOk : kServiceCannotChange);
        });
    });
}

void CServiceRemote::DeleteButton(const QString& codebase, const QString& button, Done done) {
    CodebaseEntry entry;
    if (!FindCodebase(codebase, entry)) {
        done(kServiceNoCodebase);
        return;
    }
    Queue([this, path = entry.path, button, done = std::move(done)] {
        Back([this, path, button, done] {
            const StoreResult deleted = model_.DeleteButton(path, button);
            const int result = deleted == kStoreOk             ? kServiceOk
                               : deleted == kStoreNoButton     ? kServiceNoButton
                               : deleted == kStoreNotACodebase ? kServiceCannotRead
                               : deleted == kStoreNotOpened    ? kServiceCannotRead
                                                               : kServiceCannotChange;
            if (result == kServiceOk) {
                emit CodebasesChanged();
            }
            done(result);
        });
    });
}

bool CServiceRemote::SkinFile(const QString& name, QByteArray& bytes) {
    const std::string path = (model_.BaseFolder() + QStringLiteral("Skins\\") + name).toStdString();
    FsError error{};
    const auto file = model_.Fs().Open(path, FsOpen::Read, error);
    if (!file) {
        return false;
    }
    const uint64_t length = file->Length();
    if (length > kMaxSkinFileBytes) {
        return false;
    }
    bytes.resize(static_cast<qsizetype>(length));
    return file->Read(0, bytes.data(), static_cast<size_t>(length));
}

QString CServiceRemote::PortName() const {
    return QString::fromStdString(model_.IrPort());
}
