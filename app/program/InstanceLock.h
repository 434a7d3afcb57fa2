// One ardelremote per device root. Two programs on the same root would each keep their own
// idea of the hot codebases and the preference files and overwrite each other's changes, so
// the program holds an exclusive lock on a file in the root while it runs.
//
// The lock is flock(2) on an open file: the kernel drops it when the process ends in any way,
// a crash or SIGKILL included, so the file a dead program leaves behind never blocks the next
// start (it is only reused). The holder writes its process id into the file, for the message
// that a second start shows.
//
// While it holds the root, the program listens at a doorbell beside the lock (a named pipe):
// a second start rings it, and the running program brings its window to the front, so that a
// start from the desktop's menu shows the program the user already has.
#pragma once

#include <functional>
#include <string>

class QObject;

class CInstanceLock {
  public:
    enum Result {
        kTaken,        // this process holds the root now
        kInUse,        // another process holds it
        kUnsupported,  // the root's file system has no locks (some network and FUSE ones)
        kFailed        // the lock file could not be opened or locked (Error() says why)
    };
    static constexpr const char* kFileName = ".ardelremote.lock";
    static constexpr const char* kDoorbellName = ".ardelremote.bell";

    // With `doorbell`, the holder listens at the root's doorbell (a program with a window);
    // without, a second start is only told (a service without one).
    explicit CInstanceLock(std::string root, bool doorbell = false);
    ~CInstanceLock();  // releases the lock
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // Tries once, without waiting. Taking a lock already held by this object succeeds.
    Result Take();
    // After kInUse: the process id the holder wrote, 0 when it has not written one yet.
    long HolderPid() const { return holderPid_; }
    // After kFailed: what went wrong, with the path.
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }

    // After kTaken: the doorbell's descriptor to watch for reading (made and opened as the
    // root is taken, before the holder's id is written), -1 without a doorbell or when the
    // root's file system has no named pipes (then a second start is only told). The lock
    // owns it.
    int Doorbell() const { return doorbell_; }
    // Empties the doorbell; whether it had been rung since the last call.
    bool TakeRings();
    // Rings the doorbell of the program that holds `root`; false when none listens there.
    static bool Ring(const std::string& root);

  private:
    void OpenDoorbell();

    std::string path_;
    std::string doorbellPath_;
    bool listens_;
    int fd_ = -1;
    int doorbell_ = -1;
    long holderPid_ = 0;
    std::string error_;
};

// Calls `rung` on the program's thread whenever `lock`'s doorbell rings; nothing when the
// lock has no doorbell. The watcher is a child of `parent`.
void WatchDoorbell(CInstanceLock& lock, std::function<void()> rung, QObject* parent);
