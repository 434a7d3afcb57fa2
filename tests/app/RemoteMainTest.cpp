// The ardelremote program as a user starts it: --version, and a second start on a device
// root that a running program uses.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "ArdelVersion.h"
#include "app/program/InstanceLock.h"
#include "tests/support/TempFolder.h"

namespace {

const QString kProgram = QStringLiteral(ARDEL_BINARY_DIR "/app/ardelremote");

QProcessEnvironment Environment(bool display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    if (display) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    return environment;
}

// The process id in the root's lock file, 0 without one.
qint64 LockHolder(const TempFolder& root) {
    QFile file(QString::fromStdString(root / CInstanceLock::kFileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

TEST(RemoteMainTest, VersionNeedsNoDisplay) {
    QProcess program;
    program.setProcessEnvironment(Environment(false));
    program.start(kProgram, {"--version"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray("ardelremote ") + kProgramVersion + "\n");
}

TEST(RemoteMainTest, SecondStartOnARootInUseIsRefusedUntilTheFirstIsGone) {
    TempFolder root;
    const QStringList args = {"--root", QString::fromStdString(root.Path().string()), "--scale",
                              "1"};
    QProcess first;
    first.setProcessEnvironment(Environment(true));
    first.start(kProgram, args);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return LockHolder(root) == first.processId(); }, 20000));

    QProcess second;
    second.setProcessEnvironment(Environment(true));
    second.start(kProgram, args);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_NE(second.exitCode(), 0);
    const QString message = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_TRUE(message.contains("already running")) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::number(first.processId()))) << message.toStdString();
    // The running program heard it and brings its window to the front.
    EXPECT_TRUE(message.contains("brought to the front")) << message.toStdString();
    EXPECT_EQ(second.readAllStandardOutput(), "");

    // The first program dies without cleaning up; the next start takes the root over.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess third;
    third.setProcessEnvironment(Environment(true));
    third.start(kProgram, args);
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return LockHolder(root) == third.processId(); }, 20000));
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(10000);
}

}  // namespace
