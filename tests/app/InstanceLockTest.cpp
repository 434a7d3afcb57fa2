// One program per device root: the lock in the root, within one process and across
// processes, a crashed holder included.
#include "app/program/InstanceLock.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QObject>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

TEST(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    TempFolder root;
    auto first = std::make_unique<CInstanceLock>(root.Path().string());
    ASSERT_EQ(first->Take(), CInstanceLock::kTaken);
    EXPECT_EQ(first->Take(), CInstanceLock::kTaken);  // asking again changes nothing

    CInstanceLock second(root.Path().string());
    EXPECT_EQ(second.Take(), CInstanceLock::kInUse);
    EXPECT_EQ(second.HolderPid(), long(::getpid()));

    first.reset();
    EXPECT_EQ(second.Take(), CInstanceLock::kTaken);
}

// A holder killed without a chance to clean up leaves the file (with its process id) behind;
// the next program takes the root all the same and writes its own id.
TEST(InstanceLockTest, LockOfAKilledHolderIsTakenOver) {
    TempFolder root;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        CInstanceLock lock(root.Path().string());
        const char taken = lock.Take() == CInstanceLock::kTaken ? 'y' : 'n';
        if (::write(ready[1], &taken, 1) != 1) {
            ::_exit(1);
        }
        ::pause();  // until killed
        ::_exit(0);
    }
    ::close(ready[1]);
    // Never leaves the child waiting when a check below stops the test early.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (::kill(pid, SIGKILL) == 0) {
                ::waitpid(pid, nullptr, 0);
            }
        }
    } reaper{child};
    char taken = 0;
    ASSERT_EQ(::read(ready[0], &taken, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(taken, 'y');

    CInstanceLock waiting(root.Path().string());
    EXPECT_EQ(waiting.Take(), CInstanceLock::kInUse);
    EXPECT_EQ(waiting.HolderPid(), long(child));

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string file = root / CInstanceLock::kFileName;
    ASSERT_TRUE(std::filesystem::exists(file));

    EXPECT_EQ(waiting.Take(), CInstanceLock::kTaken);
    std::ifstream in(file);
    long written = 0;
    in >> written;
    EXPECT_EQ(written, long(::getpid()));
}

TEST(InstanceLockTest, UnusableRootIsAFailureNotALock) {
    TempFolder root;
    // A root that is a file, and one whose lock file name is taken by a folder.
    const std::string plainFile = root / "file";
    std::ofstream(plainFile) << "x";
    std::filesystem::create_directories(std::filesystem::path(root / "folder") /
                                        CInstanceLock::kFileName);
    for (const std::string& path : {plainFile, root / "folder", root / "missing"}) {
        CInstanceLock lock(path);
        EXPECT_EQ(lock.Take(), CInstanceLock::kFailed) << path;
        EXPECT_NE(lock.Error().find(path), std::string::npos) << lock.Error();
    }
}

// A second start rings the holder's doorbell, which the holder hears (and a ring meant for
// an earlier holder is not heard by the next one); with nobody listening, a ring fails.
TEST(InstanceLockTest, SecondStartRingsTheHoldersDoorbell) {
    TempFolder root;
    EXPECT_FALSE(CInstanceLock::Ring(root.Path().string()));  // nobody holds the root

    CInstanceLock holder(root.Path().string(), true);
    EXPECT_LT(holder.Doorbell(), 0);  // not before the root is taken
    ASSERT_EQ(holder.Take(), CInstanceLock::kTaken);
    ASSERT_GE(holder.Doorbell(), 0);
    EXPECT_FALSE(holder.TakeRings());
    EXPECT_TRUE(CInstanceLock::Ring(root.Path().string()));
    EXPECT_TRUE(CInstanceLock::Ring(root.Path().string()));
    EXPECT_TRUE(holder.TakeRings());
    EXPECT_FALSE(holder.TakeRings());  // both rings taken at once

    // The program watches the doorbell on its event loop.
    int heard = 0;
    QObject owner;
    WatchDoorbell(
        holder, [&heard] { ++heard; }, &owner);
    EXPECT_TRUE(CInstanceLock::Ring(root.Path().string()));
    EXPECT_TRUE(QTest::qWaitFor([&heard] { return heard == 1; }, 5000));
}

// A holder without a window does not listen: a second start is not told that a window came
// to the front.
TEST(InstanceLockTest, HolderWithoutDoorbellIsNotRung) {
    TempFolder root;
    CInstanceLock holder(root.Path().string());
    ASSERT_EQ(holder.Take(), CInstanceLock::kTaken);
    EXPECT_LT(holder.Doorbell(), 0);
    EXPECT_FALSE(CInstanceLock::Ring(root.Path().string()));
}

// A file that is no pipe under the doorbell's name is neither rung nor listened at.
TEST(InstanceLockTest, DoorbellNameTakenByAFileIsLeftAlone) {
    TempFolder root;
    std::ofstream(root / CInstanceLock::kDoorbellName) << "not a pipe";
    CInstanceLock holder(root.Path().string(), true);
    ASSERT_EQ(holder.Take(), CInstanceLock::kTaken);
    EXPECT_LT(holder.Doorbell(), 0);
    EXPECT_FALSE(CInstanceLock::Ring(root.Path().string()));
    std::ifstream left(root / CInstanceLock::kDoorbellName);
    std::string text;
    std::getline(left, text);
    EXPECT_EQ(text, "not a pipe");
}

}  // namespace
