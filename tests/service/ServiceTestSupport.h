// What the service's tests share: raw HTTP exchanges on loopback while the service's loop
// runs, stored signals of codes, and reading the simulated handheld's emitter log.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"

inline const QString kCodebasePath = QStringLiteral("\\My Documents\\TV_Sony.PDB");

struct Reply {
    int status = 0;
    QByteArray headers;
    QByteArray body;
};

// One request over its own connection, as raw bytes, so that paths reach the service exactly
// as written. Runs on a thread of its own while this thread keeps the service's loop going.
// Keeps this thread's event loop (the service's) going for `ms` milliseconds.
inline void Pump(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// A connection to a loopback port whose reads give up after `timeoutSeconds`; -1 when it
// cannot be made.
inline int Connect(quint16 port, int timeoutSeconds) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{timeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline Reply Exchange(quint16 port, const QByteArray& request) {
    auto future = std::async(std::launch::async, [port, request] {
        Reply reply;
        const int fd = Connect(port, 20);
        if (fd < 0) {
            return reply;
        }
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n = ::send(fd, request.constData() + sent,
                                     static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                break;  // the service may answer (413) before it has read everything
            }
            sent += n;
        }
        QByteArray data;
        qsizetype length = -1, bodyAt = -1;
        char buffer[65536];
        while (bodyAt < 0 || data.size() < bodyAt + length) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            data.append(buffer, n);
            if (bodyAt < 0 && data.contains("\r\n\r\n")) {
                bodyAt = data.indexOf("\r\n\r\n") + 4;
                reply.headers = data.left(bodyAt);
                const qsizetype at = reply.headers.toLower().indexOf("content-length:");
                length = at < 0
                             ? 0
                             : reply.headers.mid(at + 15, reply.headers.indexOf('\r', at) - at - 15)
                                   .trimmed()
                                   .toLongLong();
            }
        }
        ::close(fd);
        if (bodyAt > 0) {
            reply.status = data.mid(9, 3).toInt();
            reply.body = data.mid(bodyAt, length);
        }
        return reply;
    });
    while (future.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return future.get();
}

inline QByteArray Request(const QByteArray& method, const QByteArray& path,
                          const QByteArray& body = {}, const QByteArray& extraHeaders = {}) {
    QByteArray request = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders;
    if (!body.isEmpty()) {
        request +=
            "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\n";
    }
    return request + "\r\n" + body;
}

// The signal of a held button of a code, as stored.
inline IrSignal CodeSignal(const char* protocol, uint32_t address, uint32_t command) {
    IrEncoded encoded;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), IrCode{address, command, 0}, encoded),
              kIrCodeOk);
    IrSignal signal;
    signal.count = static_cast<uint16_t>(encoded.durations.size());
    std::copy(encoded.durations.begin(), encoded.durations.end(), signal.durations);
    signal.frameStart = encoded.frameStart;
    signal.carrierPeriod = encoded.carrierPeriodUs;
    return signal;
}

// What `passes` passes of a signal put into the air: the first from its start, the others
// from its repeating frame.
inline std::vector<int32_t> Passes(const IrSignal& signal, int passes) {
    std::vector<int32_t> all;
    for (int pass = 0; pass < passes; ++pass) {
        all.insert(all.end(), signal.durations + (pass ? signal.frameStart : 0),
                   signal.durations + signal.count);
    }
    return all;
}

// Whether a line of the emitter log is exactly those durations, each within what the
// simulated emitter's carrier allows (a mark is whole carrier cycles).
inline bool SameSend(const std::string& line, const std::vector<int32_t>& expected) {
    const size_t at = line.find("durations=");
    if (at == std::string::npos) {
        return false;
    }
    std::vector<int32_t> got;
    for (const QByteArray& value : QByteArray::fromStdString(line.substr(at + 10)).split(',')) {
        got.push_back(value.toInt());
    }
    if (got.size() != expected.size()) {
        return false;
    }
    for (size_t k = 0; k < got.size(); ++k) {
        if (std::abs(got[k] - expected[k]) > 30 + std::abs(expected[k]) / 100) {
            return false;
        }
    }
    return true;
}

// The marks of `durations`, in order.
inline std::vector<int32_t> MarksOf(const std::vector<int32_t>& durations) {
    std::vector<int32_t> marks;
    for (const int32_t value : durations) {
        if (value > 0) {
            marks.push_back(value);
        }
    }
    return marks;
}

// The marks that a LIRC device was given, in order: every write holds pulse, space, ...,
// pulse (spaces are cut where writes end).
template <typename Writes>
std::vector<int32_t> WrittenMarks(const Writes& writes) {
    std::vector<int32_t> marks;
    for (const auto& write : writes) {
        for (size_t k = 0; k < write.values.size(); k += 2) {
            marks.push_back(static_cast<int32_t>(write.values[k]));
        }
    }
    return marks;
}

inline int Marks(const std::string& line) {
    int marks = 0;
    for (const QByteArray& value :
         QByteArray::fromStdString(line.substr(line.find("durations=") + 10)).split(',')) {
        marks += value.toInt() > 0;
    }
    return marks;
}

inline std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                lines.push_back(line.toStdString());
            }
        }
    }
    return lines;
}

// A service in `root` (given the program's files) on the LIRC device at `devicePath`, which
// it sends on, and hears with too when `receive`, timed by `clock`. False with the reason
// when the files cannot be installed.
inline bool LircHostOptions(const std::string& root, const std::string& devicePath,
                            LircClock& clock, bool receive, ServiceHostOptions& options,
                            QString& error) {
    if (!InstallProgramFiles(root, error)) {
        return false;
    }
    options.root = QString::fromStdString(root);
    options.ir.chip = "pxa255";
    options.ir.lirc = true;
    options.ir.transmitter = devicePath;
    options.ir.receiver = receive ? devicePath : std::string();
    options.lircClock = &clock;
    return true;
}

// A service on the simulated handheld whose TV_Sony codebase, hot for TV, holds Power
// (SIRC 1/21) and Vol+ (SIRC 1/18); its emitter log is `log`.
inline std::unique_ptr<CServiceHost> StartSonyHost(const std::string& root, const std::string& log,
                                                   bool forceToken = false) {
    QString error;
    EXPECT_TRUE(InstallProgramFiles(root, error)) << error.toStdString();
    ServiceHostOptions options;
    options.root = QString::fromStdString(root);
    options.ir.chip = "pxa255";
    options.emitterLog = QString::fromStdString(log);
    options.forceToken = forceToken;
    auto host = std::make_unique<CServiceHost>(options);
    if (!host->Start(error)) {
        ADD_FAILURE() << error.toStdString();
        return nullptr;
    }
    bool created = false;
    EXPECT_EQ(StoreLearntSignal(host->Model().Fs(), kCodebasePath, "Power",
                                CodeSignal("SIRC", 1, 21), 1, LearnMode::Single, created),
              kStoreOk);
    EXPECT_EQ(StoreLearntSignal(host->Model().Fs(), kCodebasePath, "Vol+",
                                CodeSignal("SIRC", 1, 18), 1, LearnMode::Single, created),
              kStoreOk);
    EXPECT_TRUE(host->Model().MakeHot(1, kCodebasePath));
    return host;
}
