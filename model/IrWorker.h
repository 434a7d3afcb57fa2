// The thread that does the remote model's IR work: captures, sends and the learning check
// run there one after the other, in the order they were asked for, whichever face asked.
// The thread that asks is free meanwhile (a window keeps painting) or waits, as it chooses.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct CaptureWatch;

class CIrWorker {
  public:
    CIrWorker();
    // Finishes the work already asked for, then ends the thread.
    ~CIrWorker();
    CIrWorker(const CIrWorker&) = delete;
    CIrWorker& operator=(const CIrWorker&) = delete;

    // Runs `job` after everything posted before it; returns at once.
    void Post(std::function<void()> job);
    // Runs `job` after everything posted before it and waits for its end; on the worker
    // itself (a job that asks for more) it runs at once.
    void Run(const std::function<void()>& job);
    bool OnWorker() const { return std::this_thread::get_id() == thread_.get_id(); }
    // Whether work was asked for that has not begun yet.
    bool WorkWaiting();
    // While set, a read that only fills idle time gives way: work asked for from then on
    // cancels `watch`, and so does work that is already waiting. Null ends it.
    void YieldTo(CaptureWatch* watch);

  private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    CaptureWatch* yieldWatch_ = nullptr;
    std::thread thread_;
};
