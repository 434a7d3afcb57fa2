#include "model/IrWorker.h"

#include "ir/CaptureCore.h"

CIrWorker::CIrWorker() : thread_([this] { Loop(); }) {}

CIrWorker::~CIrWorker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    thread_.join();
}

void CIrWorker::Post(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        if (yieldWatch_) {
            yieldWatch_->cancelled = true;
        }
    }
    ready_.notify_all();
}

bool CIrWorker::WorkWaiting() {
    const std::lock_guard lock(mutex_);
    return !jobs_.empty();
}

void CIrWorker::YieldTo(CaptureWatch* watch) {
    const std::lock_guard lock(mutex_);
    yieldWatch_ = watch;
    if (watch && !jobs_.empty()) {
        watch->cancelled = true;
    }
}

void CIrWorker::Run(const std::function<void()>& job) {
    if (OnWorker()) {
        job();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneReady;
    bool done = false;
    Post([&] {
        job();
        const std::lock_guard lock(doneMutex);
        done = true;
        doneReady.notify_all();
    });
    std::unique_lock lock(doneMutex);
    doneReady.wait(lock, [&] { return done; });
}

void CIrWorker::Loop() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}
