// One read of the device's remote, run on the remote model's IR worker. The face that shows
// it starts it, may end it early (the user cancelled), and hears on its own thread how many
// of its seconds are left and how it ended, so it never waits for the read with its thread
// blocked.
#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "ir/CaptureCore.h"

class CIrWorker;

class CIrRead : public QObject {
    Q_OBJECT

  public:
    // The read itself, on the worker: the driver's result.
    using Job = std::function<int(CaptureWatch& watch)>;

    // A read that waits `seconds` for the remote.
    CIrRead(CIrWorker& worker, Job job, int seconds, QObject* parent = nullptr);
    // Ends the read and waits for it.
    ~CIrRead() override;
    CIrRead(const CIrRead&) = delete;
    CIrRead& operator=(const CIrRead&) = delete;

    int Seconds() const { return seconds_; }
    // Starts the read (once).
    void Start();
    // Ends the read within one slice of the device's time (CaptureWatch::kSliceUs): it ends
    // with kIrNoSignal, or never starts. Any thread may call it.
    void Cancel();
    bool Cancelled() const { return watch_.cancelled.load(); }
    // Starts the read when it has not started and waits for its end: the driver's result.
    int Run();
    bool HasEnded();

  signals:
    // Seconds of the read's time that are left: told as each second goes by.
    void SecondsLeft(int seconds);
    // The read is over: the driver's result.
    void Ended(int result);

  private:
    CIrWorker& worker_;
    Job job_;
    int seconds_;
    int shownSeconds_;  // worker only
    CaptureWatch watch_;
    bool started_ = false;
    std::mutex mutex_;
    std::condition_variable endedReady_;
    bool ended_ = false;
    int result_ = 0;
};
