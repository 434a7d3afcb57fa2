// The service under load, timed through real HTTP on loopback (a timed program, not a
// Google Benchmark):
//   latency  a press of a learnt button from the request to the first carrier edge on the
//            emitter, beyond the driver's fixed delays (the handheld runs unpaced, so its
//            sleeps cost no host time);
//   load     8 clients together sending 200 requests a second for 10 seconds; every send is
//            told apart in the emitter log by its mark (the client) and its space (the
//            sequence number): none may be lost, doubled, or out of order within its client.
//   build/bench/service_bench [SECONDS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <tuple>
#include <vector>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "platform/sim/SimHandheld.h"
#include "tests/support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

int Post(quint16 port, const QByteArray& path, const QByteArray& body) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return 0;
    }
    const QByteArray request = "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                               QByteArray::number(body.size()) + "\r\n\r\n" + body;
    ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL);
    char buffer[512] = {};
    const ssize_t n = ::recv(fd, buffer, sizeof buffer - 1, 0);
    ::close(fd);
    return n > 12 ? QByteArray(buffer + 9, 3).toInt() : 0;
}

// The durations of a send that names client `client` (its first mark) and its `sequence`-th
// request (its first space and its second mark), short so that the log tells them apart
// without long sends.
QByteArray Tagged(int client, int sequence) {
    return QByteArray(R"({"carrier_us": 26, "repeat": 1, "durations": [)") +
           QByteArray::number(1000 + 200 * client) + ",-" +
           QByteArray::number(1000 + 50 * (sequence % 50)) + "," +
           QByteArray::number(600 + 100 * (sequence / 50)) + ",-1000]}";
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<size_t>(p * double(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    TempFolder root;
    QString error;
    if (!InstallProgramFiles(root.Path().string(), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ServiceHostOptions options;
    options.root = QString::fromStdString(root.Path().string());
    options.ir.chip = "pxa255";
    options.emitterLog = QString::fromStdString(root / "emitted.log");
    options.pacedClock = false;
    CServiceHost host(options);
    if (!host.Start(error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const quint16 port = host.Port();
    // Runs `work` on a thread of its own while this thread serves (an event loop that sleeps
    // until something arrives, so that it takes no processor from the work).
    auto pump = [&](auto work) {
        QEventLoop loop;
        std::thread worker([&] {
            work();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
    };

    // Press to first edge, one press at a time.
    IrEncoded power;
    EncodeIrSignal(*FindIrProtocol("SIRC"), IrCode{1, 21, 0}, power);
    IrSignal signal;
    signal.count = static_cast<uint16_t>(power.durations.size());
    std::copy(power.durations.begin(), power.durations.end(), signal.durations);
    signal.frameStart = power.frameStart;
    signal.carrierPeriod = power.carrierPeriodUs;
    bool created = false;
    StoreLearntSignal(host.Model().Fs(), QStringLiteral("\\My Documents\\TV_Sony.PDB"), "Power",
                      signal, 1, LearnMode::Single, created);
    std::atomic<int64_t> firstEdge{0};
    host.Handheld().Air().SetTransmitObserver([&](uint64_t, bool on) {
        int64_t none = 0;
        if (on) {
            firstEdge.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        }
    });
    // The same signal pressed by name (read from its codebase) and sent by value.
    QByteArray raw = R"({"carrier_us": 25, "durations": [)";
    for (size_t k = 0; k < power.durations.size(); ++k) {
        raw += (k ? "," : "") + QByteArray::number(power.durations[k]);
    }
    raw += "]}";
    for (const auto& [what, path, body] :
         {std::tuple<const char*, QByteArray, QByteArray>{
              "press", "/api/v1/codebases/TV_Sony/buttons/Power/press", {}},
          {"send", "/api/v1/send", raw}}) {
        std::vector<double> latencies;
        pump([&, path = path, body = body] {
            for (int k = 0; k < 200; ++k) {
                firstEdge = 0;
                const auto start = Clock::now();
                Post(port, path, body);
                const Clock::time_point edge{Clock::duration(firstEdge.load())};
                latencies.push_back(
                    std::chrono::duration<double, std::milli>(edge - start).count());
            }
        });
        std::printf(
            "%s to first carrier edge: median %.2f ms, p90 %.2f ms, p99 %.2f ms, max "
            "%.2f ms (200 times)\n",
            what, Percentile(latencies, 0.5), Percentile(latencies, 0.9),
            Percentile(latencies, 0.99), Percentile(latencies, 1.0));
    }
    host.Handheld().Air().SetTransmitObserver({});
    // The load's lines follow the presses' in the log.
    QFile before(options.emitterLog);
    before.open(QIODevice::ReadOnly);
    const qsizetype skipLines = before.readAll().count('\n');

    // 8 clients, 200 requests a second together.
    constexpr int kClients = 8;
    const int perClient = 25 * seconds;
    std::vector<std::vector<int>> statuses(kClients);
    const auto begin = Clock::now();
    pump([&] {
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c) {
            clients.emplace_back([&, c] {
                for (int k = 0; k < perClient; ++k) {
                    std::this_thread::sleep_until(begin +
                                                  std::chrono::milliseconds(40 * k + 5 * c));
                    statuses[c].push_back(Post(port, "/api/v1/send", Tagged(c, k)));
                }
            });
        }
        for (std::thread& client : clients) {
            client.join();
        }
    });
    const double took = std::chrono::duration<double>(Clock::now() - begin).count();
    int failed = 0;
    for (const auto& list : statuses) {
        failed += static_cast<int>(
            std::count_if(list.begin(), list.end(), [](int s) { return s != 200; }));
    }
    // The emitter log, line by line: which client, which sequence number.
    QFile log(options.emitterLog);
    log.open(QIODevice::ReadOnly);
    std::map<int, std::vector<int>> seen;
    int unreadable = 0;
    const QList<QByteArray> lines = log.readAll().split('\n');
    for (const QByteArray& line : lines.mid(skipLines)) {
        const qsizetype at = line.indexOf("durations=");
        if (at < 0) {
            continue;
        }
        const QList<QByteArray> values = line.mid(at + 10).split(',');
        if (values.size() != 4) {
            ++unreadable;
            continue;
        }
        const int client = (values[0].toInt() - 1000 + 100) / 200;
        const int sequence =
            (-values[1].toInt() - 1000 + 25) / 50 + 50 * ((values[2].toInt() - 600 + 50) / 100);
        seen[client].push_back(sequence);
    }
    int lost = 0, doubled = 0, outOfOrder = 0;
    for (int c = 0; c < kClients; ++c) {
        const std::vector<int>& got = seen[c];
        std::vector<int> sorted = got;
        std::sort(sorted.begin(), sorted.end());
        doubled += static_cast<int>(sorted.end() - std::unique(sorted.begin(), sorted.end()));
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        lost += perClient - static_cast<int>(sorted.size());
        outOfOrder += !std::is_sorted(got.begin(), got.end());
    }
    std::printf(
        "%d clients x %d sends in %.2f s (%.0f a second): %d answered other than 200, "
        "%d lost, %d doubled, %d clients out of order, %d unreadable lines\n",
        kClients, perClient, took, kClients * perClient / took, failed, lost, doubled, outOfOrder,
        unreadable);
    return failed || lost || doubled || outOfOrder || unreadable ? 1 : 0;
}
