// The bridge to home automation through a real broker on loopback (a timed program, not a
// Google Benchmark; needs Debian's mosquitto):
//   press      a PRESS published by a client to the first carrier edge on the simulated
//              handheld's emitter, beyond the driver's fixed delays (the handheld runs
//              unpaced, so its sleeps cost no host time);
//   discovery  a node with 50 codebases of 40 learnt buttons, from its start to the client
//              having every discovery message, and again after Home Assistant's "online".
//   build/bench/mqtt_bench [PRESSES]
#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "platform/sim/SimHandheld.h"
#include "service/CServiceRemote.h"
#include "store/Catalogue.h"
#include "tests/mqtt/MqttTestSupport.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double part) {
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(part * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::unique_ptr<CServiceHost> MakeNode(const TempFolder& root, const TestBroker& broker,
                                       const QString& nodeId) {
    QString error;
    InstallProgramFiles(root.Path().string(), error);
    ServiceHostOptions options;
    options.root = QString::fromStdString(root.Path().string());
    options.ir.chip = "pxa255";
    options.pacedClock = false;
    options.mqtt.url = QString::fromStdString(broker.Url());
    options.mqtt.nodeId = nodeId;
    auto host = std::make_unique<CServiceHost>(options);
    host->mqttLog = [](const QString&) {};
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    TempFolder brokerFolder;
    TestBroker broker(brokerFolder.Path().string());
    if (!broker.Available() || !broker.Start()) {
        std::fprintf(stderr, "mqtt_bench: mosquitto cannot be started\n");
        return 1;
    }
    TestMqttClient client(broker.Port(), "bench-home");
    client.Subscribe("ardelremote/#");

    // Press to first edge.
    {
        TempFolder root;
        auto host = MakeNode(root, broker, "press");
        bool created = false;
        StoreLearntSignal(host->Model().Fs(), "\\My Documents\\TV_Sony.PDB", "Power",
                          CodeSignal("NEC", 4, 8), 1, LearnMode::Single, created);
        QString error;
        if (!host->Start(error) ||
            !client.WaitFor("ardelremote/press/status",
                            [](const QByteArray& p) { return p == "online"; })) {
            std::fprintf(stderr, "mqtt_bench: the node did not come online\n");
            return 1;
        }
        std::atomic<int64_t> firstEdge{0};
        host->Handheld().Air().SetTransmitObserver([&](uint64_t, bool on) {
            int64_t none = 0;
            if (on) {
                firstEdge.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
            }
        });
        int sent = 0;
        QObject::connect(&host->Remote(), &CServiceRemote::Sent, [&sent] { ++sent; });
        std::vector<double> latencies;
        for (int k = 0; k < presses; ++k) {
            firstEdge = 0;
            const auto start = Clock::now();
            client.Publish("ardelremote/press/TV_Sony/Power/press", "PRESS");
            if (!PumpUntil([&] { return sent > k; })) {
                std::fprintf(stderr, "mqtt_bench: press %d was not sent\n", k);
                return 1;
            }
            const Clock::time_point edge{Clock::duration(firstEdge.load())};
            latencies.push_back(std::chrono::duration<double, std::milli>(edge - start).count());
        }
        host->Handheld().Air().SetTransmitObserver({});
        std::printf(
            "press through the broker to first carrier edge: median %.2f ms, p90 %.2f ms, "
            "p99 %.2f ms, max %.2f ms (%d presses)\n",
            Percentile(latencies, 0.5), Percentile(latencies, 0.9), Percentile(latencies, 0.99),
            Percentile(latencies, 1.0), presses);
    }

    // Discovery of 50 codebases of 40 buttons.
    {
        constexpr int kCodebases = 50;
        constexpr int kButtons = 40;
        constexpr size_t kConfigs = kCodebases * kButtons + 1;  // and the event entity
        TempFolder root;
        auto host = MakeNode(root, broker, "many");
        for (int c = 0; c < kCodebases; ++c) {
            const int category = 1 + c % 6;
            const QString path =
                "\\My Documents\\" + CodebaseFileName(category, QStringLiteral("Dev%1").arg(c));
            for (int b = 0; b < kButtons; ++b) {
                bool created = false;
                StoreLearntSignal(
                    host->Model().Fs(), path, QStringLiteral("B%1").arg(b),
                    CodeSignal("NEC", static_cast<uint32_t>(c), static_cast<uint32_t>(b)), 1,
                    LearnMode::Single, created);
            }
        }
        client.Subscribe("homeassistant/+/many/#");
        client.Clear();
        QString error;
        const auto start = Clock::now();
        // Every config, then the node's "online".
        if (!host->Start(error) ||
            !PumpUntil([&] { return client.Count() >= kConfigs + 1; }, 60000)) {
            std::fprintf(stderr, "mqtt_bench: discovery did not arrive (%zu messages)\n",
                         client.Count());
            return 1;
        }
        std::printf(
            "discovery of %d codebases of %d buttons: %zu messages at the client "
            "%.0f ms after the node's start\n",
            kCodebases, kButtons, client.Count(), MsSince(start));
        PumpUntil([] { return false; }, 500);  // the status and the broker's echoes settle
        client.Clear();
        const auto again = Clock::now();
        client.Publish("homeassistant/status", "online");
        if (!PumpUntil([&] { return client.Count() >= kConfigs; }, 60000)) {
            std::fprintf(stderr, "mqtt_bench: discovery was not sent again\n");
            return 1;
        }
        std::printf("discovery sent again after Home Assistant's \"online\": %.0f ms\n",
                    MsSince(again));
    }
    return 0;
}
