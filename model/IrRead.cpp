#include "model/IrRead.h"

#include <algorithm>

#include "ir/IrResult.h"
#include "model/IrWorker.h"

CIrRead::CIrRead(CIrWorker& worker, Job job, int seconds, QObject* parent)
    : QObject(parent),
      worker_(worker),
      job_(std::move(job)),
      seconds_(seconds),
      shownSeconds_(seconds) {
    watch_.waiting = [this](uint32_t waitedMs) {
        const int left = std::max(0, seconds_ - static_cast<int>(waitedMs / 1000));
        if (left != shownSeconds_) {
            shownSeconds_ = left;
            emit SecondsLeft(left);
        }
    };
}

CIrRead::~CIrRead() {
    if (started_) {
        Cancel();
        Run();
    }
}

void CIrRead::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    auto read = [this] {
        const int result = Cancelled() ? kIrNoSignal : job_(watch_);
        // Told before the end is marked: once it is, the read may be gone.
        emit Ended(result);
        const std::lock_guard lock(mutex_);
        result_ = result;
        ended_ = true;
        endedReady_.notify_all();
    };
    // A learn that runs on the worker (queued there by a face without a thread of its own)
    // reads at once: a read posted behind it would wait for it for ever.
    if (worker_.OnWorker()) {
        read();
    } else {
        worker_.Post(std::move(read));
    }
}

void CIrRead::Cancel() {
    watch_.cancelled = true;
}

int CIrRead::Run() {
    Start();
    std::unique_lock lock(mutex_);
    endedReady_.wait(lock, [this] { return ended_; });
    return result_;
}

bool CIrRead::HasEnded() {
    const std::lock_guard lock(mutex_);
    return ended_;
}
