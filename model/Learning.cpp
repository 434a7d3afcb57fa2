// The remote model's learn and press operations: the whole of what a face asks for, so that
// the window, ardelctl and a service learn and send alike.
#include <atomic>
#include <memory>
#include <span>

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "model/IrRead.h"
#include "model/IrWorker.h"
#include "platform/Sound.h"

namespace {

IrFailure FailureOf(int result, CIrDriver* driver, const std::string& port) {
    IrFailure failure;
    failure.result = result;
    failure.port = driver && result != kIrNoPortName ? driver->FaultPort() : port;
    failure.group = driver ? driver->FaultGroup() : std::string();
    return failure;
}

}  // namespace

int LearnFace::Follow(const LearnStep& step, CIrRead& read) {
    return Read(step, [&read] { return read.Run(); });
}

LearnOutcome CRemoteModel::LearnButton(const LearnRequest& request, LearnFace& face) {
    LearnOutcome outcome;
    outcome.path = request.path;
    outcome.button = request.button;
    if (request.onlySignal < 0 || request.onlySignal > 2) {
        outcome.code = kOpBadRequest;
        return outcome;
    }
    // A single signal of a double button is one read; so is single mode.
    LearnMode mode = request.onlySignal != 0 ? LearnMode::Double : request.mode;
    const std::vector<int> steps = request.onlySignal != 0 || mode == LearnMode::Single
                                       ? std::vector<int>{0}
                                       : std::vector<int>{1, 2};
    std::vector<IrSignal> learnt;

    bool byCode = request.how == LearnHow::ByCode;
    if (!byCode) {
        CIrDriver* driver = Driver();
        if (!driver) {
            outcome.code = kOpNoDriver;
            return outcome;
        }
        if (!PortReady()) {
            outcome.code = kOpIrFailed;
            outcome.ir = FailureOf(kIrNoPortName, nullptr, IrPort());
            return outcome;
        }
        for (const int step : steps) {
            LearnStep shown;
            shown.step = step;
            shown.button = request.button;
            shown.category = request.category;
            int read = 0;
            {
                CIrRead watched(
                    *worker_,
                    [&](CaptureWatch& watch) {
                        return WatchedCapture(request.button, request.category, watch);
                    },
                    shown.seconds);
                read = face.Follow(shown, watched);
            }  // a read that the face left running is ended here
            ClosePort();
            if (read == LearnFace::kByCode) {
                byCode = true;
                break;
            }
            if (read == LearnFace::kCancelled) {
                outcome.code = kOpCancelled;
                return outcome;
            }
            outcome.ir = FailureOf(read, driver, IrPort());
            if (read != kIrOk) {
                outcome.code = read == kIrNoSignal ? kOpNoSignal : kOpIrFailed;
                return outcome;
            }
            if (SoundsOn() && services_.sound) {
                services_.sound->Beep();
            }
            const IrSignal signal = CapturedSignal();
            const LearnReport report = CapturedReport();
            if (signal.count == 0) {
                outcome.code = kOpNoSignal;
                return outcome;
            }
            outcome.learnt.push_back(WithCarrier(signal));
            outcome.reports.push_back(report);
            if (report.cut) {
                // Stored, it would send only the beginning of what the remote sends.
                outcome.code = kOpCut;
                return outcome;
            }
            learnt.push_back(signal);
            if (step == 1 && !face.ConfirmSecond()) {
                outcome.code = kOpCancelled;
                return outcome;
            }
        }
    }
    if (byCode) {
        // A code stands for the whole button, as one signal learnt in single mode does.
        IrSignal coded;
        if (!face.AskCode(request.button, coded)) {
            outcome.code = kOpCancelled;
            return outcome;
        }
        learnt = {coded};
        outcome.learnt = {WithCarrier(coded)};
        outcome.reports = {ReportOf(coded, false)};
        outcome.byCode = true;
        if (request.onlySignal == 0) {
            mode = LearnMode::Single;
        }
    }

    // Each signal is stored, then sent once into the device's own receiver as it was stored.
    const bool storing = !request.path.isEmpty();
    StoreResult stored = storing ? kStoreNotStored : kStoreOk;
    for (size_t k = 0; storing && k < learnt.size(); ++k) {
        const int number = request.onlySignal != 0 ? request.onlySignal : static_cast<int>(k) + 1;
        bool made = false;
        const StoreResult result =
            StoreLearntSignal(Fs(), request.path, request.button, learnt[k], number, mode, made);
        outcome.created |= made;
        if (result == kStoreNotCreated || result == kStoreNotACodebase) {
            // A file that is there but is not a codebase is left alone: storing into it
            // would ruin it.
            stored = result;
            break;
        }
        if (result == kStoreOk) {
            stored = kStoreOk;
        } else if (stored != kStoreOk) {
            stored = result;
        }
    }
    if (outcome.created) {
        emit CodebasesChanged();
    }
    if (stored != kStoreOk) {
        outcome.code = kOpNotStored;
        outcome.store = stored;
        return outcome;
    }
    for (size_t k = 0; k < learnt.size(); ++k) {
        const int number = request.onlySignal != 0 ? request.onlySignal : static_cast<int>(k) + 1;
        IrSignal kept;
        if (!storing || ReadButton(request.path, request.button, number, kept) != kStoreOk) {
            kept = learnt[k];
        }
        outcome.checks.push_back(CheckLearnt(kept));
    }
    outcome.toggled = storing && mode == LearnMode::Single && request.onlySignal == 0 &&
                      TogglesByItself(WithCarrier(learnt[0]));
    if (storing) {
        emit ButtonLearnt(request.path, request.button);
    }
    return outcome;
}

uint16_t CRemoteModel::RepeatOf(const QString& button, PressSource source) {
    const bool volume = button == "Vol+" || button == "Vol-";
    return source == PressSource::Pen && volume ? CIrDriver::kRepeatOnceThenHeld
                                                : CIrDriver::kRepeatWhileHeld;
}

PressOutcome CRemoteModel::PressButton(const QString& path, const QString& button, int which,
                                       PressSource source,
                                       const std::function<void()>& beforeSend) {
    PressOutcome outcome;
    if (!Driver()) {
        outcome.code = kOpNoDriver;
        return outcome;
    }
    // Every press reads the codebase afresh: a button without a record there sends
    // nothing, whatever it sent from another codebase before.
    outcome.store = ReadButton(path, button, which, outcome.signal);
    if (outcome.signal.count == 0) {
        ClosePort();
        outcome.code = kOpNothingToSend;
        return outcome;
    }
    Transmit(outcome.signal, RepeatOf(button, source), beforeSend, outcome);
    return outcome;
}

void CRemoteModel::ReleaseButton() {
    ClosePort();
}

PressOutcome CRemoteModel::SendSignal(const IrSignal& signal, uint16_t repeat,
                                      const std::function<void()>& beforeSend) {
    PressOutcome outcome;
    outcome.signal = signal;
    if (!Driver()) {
        outcome.code = kOpNoDriver;
        return outcome;
    }
    Transmit(signal, repeat, beforeSend, outcome);
    return outcome;
}

void CRemoteModel::Transmit(const IrSignal& signal, uint16_t repeat,
                            const std::function<void()>& beforeSend, PressOutcome& outcome) {
    auto job = [this, &signal, repeat, &beforeSend, &outcome] {
        CIrDriver* driver = Driver();
        int result = Load(signal);
        if (result == kIrOk) {
            if (beforeSend) {
                beforeSend();
            }
            emit SendingChanged(true);
            result = Send(repeat);  // closes the port
            outcome.passes = driver->LastPassCount();
            emit SendingChanged(false);
        }  // a load that failed left no port open
        if (result != kIrOk) {
            outcome.code = kOpIrFailed;
            outcome.ir = FailureOf(result, driver, IrPort());
        }
    };
    AwaitIrWork(job);
}

void CRemoteModel::AwaitIrWork(const std::function<void()>& job) {
    if (!awaitSend || worker_->OnWorker()) {
        worker_->Run(job);
        return;
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    worker_->Post([this, job, finished] {
        job();
        finished->store(true);
        emit IrWorkDone();
    });
    awaitSend([finished] { return finished->load(); });
    if (!finished->load()) {
        worker_->Run([] {});  // the work is over when the work queued after it begins
    }
}

PressOutcome CRemoteModel::SendCode(const IrProtocol& protocol, const IrCode& code, uint16_t repeat,
                                    const std::function<void()>& beforeSend) {
    IrEncoded encoded;
    if (EncodeIrSignal(protocol, code, encoded) != kIrCodeOk ||
        encoded.durations.size() > kMaxDurations) {
        PressOutcome outcome;
        outcome.code = kOpBadRequest;
        return outcome;
    }
    return SendSignal(MakeIrSignal(encoded.durations, encoded.frameStart, encoded.carrierPeriodUs),
                      repeat, beforeSend);
}
