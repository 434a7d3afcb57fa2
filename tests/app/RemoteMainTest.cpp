// The ardelremote program as a user starts it: --version, a second start on a device root
// that a running program uses, and the service of a program started with --serve.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTest>

#include "ArdelVersion.h"
#include "app/program/InstanceLock.h"
#include "model/ButtonStore.h"
#include "platform/host/HostHandheldFs.h"
#include "tests/service/ServiceTestSupport.h"
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

TEST(RemoteMainTest, ThePresentedServiceSendsAPressThroughTheProgramsHandheld) {
    TempFolder root;
    // A codebase with a learnt button waits in the root before the first start.
    const QString path = QStringLiteral("\\My Documents\\TV_Sony.PDB");
    const IrSignal power = CodeSignal("NEC", 4, 8);
    {
        QString error;
        ASSERT_TRUE(InstallProgramFiles(root.Path().string(), error)) << error.toStdString();
        HostHandheldFs fs(root.Path().string());
        bool created = false;
        ASSERT_EQ(EnsureCodebase(fs, path, created), kStoreOk);
        ASSERT_EQ(StoreButtonSignal(fs, path, "Power", power, 1, LearnMode::Single), kStoreOk);
    }
    quint16 port = 0;
    {
        QTcpServer probe;  // a port that is free now
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    const std::string log = root / "emitter.log";
    QProcess program;
    program.setProcessEnvironment(Environment(true));
    program.start(kProgram, {"--root", QString::fromStdString(root.Path().string()), "--scale", "1",
                             "--ir", "sim", "--sim-emitter-log", QString::fromStdString(log),
                             "--serve", QStringLiteral("127.0.0.1:%1").arg(port)});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (out += program.readAllStandardOutput()).contains("serving on"); }, 20000))
        << program.readAllStandardError().toStdString();

    const Reply reply =
        Exchange(port, Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press"));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(SameSend(lines[0], Passes(power, 3))) << lines[0];
    program.kill();
    program.waitForFinished(10000);
}

}  // namespace
