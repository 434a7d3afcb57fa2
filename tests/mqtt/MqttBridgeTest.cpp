// The bridge to home automation against a real broker: what a Home Assistant-style client
// sees (discovery, availability, events) and what its commands do on the simulated handheld.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "mqtt/CMqttNode.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimRemotes.h"
#include "service/CServiceRemote.h"
#include "tests/mqtt/MqttTestSupport.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/FuseLircDevice.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kPowerConfig = "homeassistant/button/den/TV_Sony_Power/config";
const std::string kVolumeConfig = "homeassistant/button/den/TV_Sony_Vol_2B/config";
const std::string kEventConfig = "homeassistant/event/den/received/config";
const std::string kPowerPress = "ardelremote/den/TV_Sony/Power/press";

QJsonObject JsonOf(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

class MqttBridgeTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!broker.Available()) {
            GTEST_SKIP() << "mosquitto is not installed";
        }
        ASSERT_TRUE(broker.Start());
        client = std::make_unique<TestMqttClient>(broker.Port(), "home");
        ASSERT_TRUE(client->Connected());
        client->Subscribe("homeassistant/#");
        client->Subscribe("ardelremote/#");
    }

    // A node on the simulated handheld whose TV_Sony codebase holds Power (SIRC 1/21) and
    // Vol+ (SIRC 1/18), connected to the test's broker.
    std::unique_ptr<CServiceHost> StartNode(const std::string& folder, const QString& nodeId,
                                            const std::string& emitted, const QString& url = {}) {
        QString error;
        EXPECT_TRUE(InstallProgramFiles(folder, error)) << error.toStdString();
        ServiceHostOptions options;
        options.root = QString::fromStdString(folder);
        options.ir.chip = "pxa255";
        options.emitterLog = QString::fromStdString(emitted);
        options.mqtt.url = url.isEmpty() ? QString::fromStdString(broker.Url()) : url;
        options.mqtt.nodeId = nodeId;
        options.mqtt.firstRetry = std::chrono::milliseconds(50);
        options.mqtt.longestRetry = std::chrono::milliseconds(200);
        auto host = std::make_unique<CServiceHost>(options);
        bool created = false;
        EXPECT_EQ(StoreLearntSignal(host->Model().Fs(), kCodebasePath, "Power", power, 1,
                                    LearnMode::Single, created),
                  kStoreOk);
        EXPECT_EQ(StoreLearntSignal(host->Model().Fs(), kCodebasePath, "Vol+", volume, 1,
                                    LearnMode::Single, created),
                  kStoreOk);
        EXPECT_TRUE(host->Model().MakeHot(1, kCodebasePath));
        host->mqttLog = [this](const QString& line) { logLines.push_back(line); };
        if (!host->Start(error)) {
            ADD_FAILURE() << error.toStdString();
            return nullptr;
        }
        return host;
    }
    void StartDen() {
        host = StartNode(root.Path().string(), "den", log);
        ASSERT_TRUE(host);
        ASSERT_TRUE(
            client->WaitFor(kPowerConfig, [](const QByteArray& p) { return !p.isEmpty(); }));
    }
    bool Logged(const QString& part) {
        for (const QString& line : logLines) {
            if (line.contains(part)) {
                return true;
            }
        }
        return false;
    }

    TempFolder root;
    TempFolder brokerFolder;
    TestBroker broker{brokerFolder.Path().string()};
    std::unique_ptr<TestMqttClient> client;
    std::string log = root / "emitted.log";
    const IrSignal power = CodeSignal("SIRC", 1, 21);
    const IrSignal volume = CodeSignal("SIRC", 1, 18);
    std::vector<QString> logLines;
    std::unique_ptr<CServiceHost> host;
};

TEST_F(MqttBridgeTest, DiscoveryAnnouncesTheCodebaseItsButtonsAndTheReceiver) {
    StartDen();
    EXPECT_TRUE(client->WaitFor("ardelremote/den/status",
                                [](const QByteArray& p) { return p == "online"; }));
    ASSERT_TRUE(client->WaitFor(kVolumeConfig, [](const QByteArray& p) { return !p.isEmpty(); }));
    ASSERT_TRUE(client->WaitFor(kEventConfig, [](const QByteArray& p) { return !p.isEmpty(); }));

    const QJsonObject powerConfig = JsonOf(client->On(kPowerConfig).back().payload);
    EXPECT_EQ(powerConfig["unique_id"].toString(), "ardelremote_den_TV_Sony_Power");
    EXPECT_EQ(powerConfig["name"].toString(), "Power");
    EXPECT_EQ(powerConfig["command_topic"].toString().toStdString(), kPowerPress);
    EXPECT_EQ(powerConfig["availability_topic"].toString(), "ardelremote/den/status");
    const QJsonObject device = powerConfig["device"].toObject();
    EXPECT_EQ(device["identifiers"].toArray(), QJsonArray{"ardelremote_den_TV_Sony"});
    EXPECT_EQ(device["name"].toString(), "Sony");
    EXPECT_EQ(device["model"].toString(), "TV");
    EXPECT_EQ(device["via_device"].toString(), "ardelremote_den");

    // "Vol+" cannot stand in a topic; its id keeps it apart from "Vol-".
    const QJsonObject volumeConfig = JsonOf(client->On(kVolumeConfig).back().payload);
    EXPECT_EQ(volumeConfig["name"].toString(), "Vol+");
    EXPECT_EQ(volumeConfig["command_topic"].toString(), "ardelremote/den/TV_Sony/Vol_2B/press");
    EXPECT_EQ(volumeConfig["device"].toObject(), device);

    const QJsonObject eventConfig = JsonOf(client->On(kEventConfig).back().payload);
    EXPECT_EQ(eventConfig["unique_id"].toString(), "ardelremote_den_received");
    EXPECT_EQ(eventConfig["state_topic"].toString(), "ardelremote/den/received");
    EXPECT_TRUE(eventConfig["event_types"].toArray().contains("NEC"));
    EXPECT_TRUE(eventConfig["event_types"].toArray().contains("SIRC"));
    EXPECT_EQ(eventConfig["device"].toObject()["identifiers"].toArray(),
              QJsonArray{"ardelremote_den"});
    for (const std::string& topic : {kPowerConfig, kVolumeConfig, kEventConfig}) {
        EXPECT_TRUE(client->On(topic).back().retained || client->On(topic).size() == 1) << topic;
    }

    // Home Assistant starting again hears every discovery message again.
    const size_t before = client->On(kPowerConfig).size();
    client->Publish("homeassistant/status", "online");
    EXPECT_TRUE(PumpUntil([&] { return client->On(kPowerConfig).size() > before; }));
}

TEST_F(MqttBridgeTest, DeletedAndRenamedButtonsLeaveAndComeUnderTheirNewIds) {
    StartDen();
    ASSERT_TRUE(client->WaitFor(kVolumeConfig, [](const QByteArray& p) { return !p.isEmpty(); }));
    bool deleted = false;
    host->Remote().DeleteButton("TV_Sony", "Vol+", [&](int result) { deleted = result == 0; });
    ASSERT_TRUE(PumpUntil([&] { return deleted; }));
    EXPECT_TRUE(client->WaitFor(kVolumeConfig, [](const QByteArray& p) { return p.isEmpty(); }));

    QString renamed;
    ASSERT_EQ(host->Model().RenameCodebase(kCodebasePath, 1, "Loewe", &renamed), 0);
    EXPECT_TRUE(client->WaitFor(kPowerConfig, [](const QByteArray& p) { return p.isEmpty(); }));
    EXPECT_TRUE(client->WaitFor(
        "homeassistant/button/den/TV_Loewe_Power/config",
        [](const QByteArray& p) { return JsonOf(p)["device"].toObject()["name"] == "Loewe"; }));

    bool gone = false;
    host->Remote().DeleteCodebase("TV_Loewe", [&](int result) { gone = result == 0; });
    ASSERT_TRUE(PumpUntil([&] { return gone; }));
    EXPECT_TRUE(client->WaitFor("homeassistant/button/den/TV_Loewe_Power/config",
                                [](const QByteArray& p) { return p.isEmpty(); }));
}

TEST_F(MqttBridgeTest, PressesSendTheLearntSignalAndHoldsRepeat) {
    StartDen();
    client->Publish(kPowerPress, "PRESS");
    ASSERT_TRUE(PumpUntil([&] { return Lines(log).size() == 1; }));
    EXPECT_TRUE(SameSend(Lines(log)[0], Passes(power, 3))) << Lines(log)[0];

    client->Publish("ardelremote/den/TV_Sony/Vol_2B/press", "HOLD 600");
    ASSERT_TRUE(PumpUntil([&] { return Lines(log).size() == 2; }));
    // SIRC frames are 45 ms apart: a hold of 600 ms sends far more than a tap's one pass.
    EXPECT_GT(Marks(Lines(log)[1]), 5 * 13);

    client->Publish("ardelremote/den/send", R"({"protocol": "NEC", "address": 4, "command": 8})");
    ASSERT_TRUE(PumpUntil([&] { return Lines(log).size() == 3; }));
    EXPECT_TRUE(SameSend(Lines(log)[2], Passes(CodeSignal("NEC", 4, 8), 3))) << Lines(log)[2];
}

struct BadCommand {
    const char* name;
    const char* topic;
    const char* payload;
    const char* logged;  // a part of the log line
};

class MqttBadCommandTest : public MqttBridgeTest, public testing::WithParamInterface<BadCommand> {};

TEST_P(MqttBadCommandTest, IsLoggedAndSendsNothing) {
    StartDen();
    const BadCommand& bad = GetParam();
    client->Publish(bad.topic, bad.payload);
    ASSERT_TRUE(PumpUntil([&] { return !logLines.empty() && Logged(bad.logged); }))
        << (logLines.empty() ? std::string("nothing logged") : logLines.back().toStdString());
    // A good press after it is the first thing sent.
    client->Publish(kPowerPress, "PRESS");
    ASSERT_TRUE(PumpUntil([&] { return !Lines(log).empty(); }));
    PumpUntil([] { return false; }, 100);
    ASSERT_EQ(Lines(log).size(), 1u);
    EXPECT_TRUE(SameSend(Lines(log)[0], Passes(power, 3)));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MqttBadCommandTest,
    testing::Values(BadCommand{"UnknownButton", "ardelremote/den/TV_Sony/Eject/press", "PRESS",
                               "no learnt button"},
                    BadCommand{"UnknownCodebase", "ardelremote/den/TV_Nobody/Power/press", "PRESS",
                               "no learnt button"},
                    BadCommand{"OtherWord", kPowerPress.c_str(), "TOGGLE", "a press is PRESS"},
                    BadCommand{"HugeHold", kPowerPress.c_str(), "HOLD 99999999999999999999",
                               "a press is PRESS"},
                    BadCommand{"NegativeHold", kPowerPress.c_str(), "HOLD -5", "a press is PRESS"},
                    BadCommand{"MalformedJson", "ardelremote/den/send", "{\"protocol\": \"NEC\",",
                               "ardelremote/den/send"},
                    BadCommand{"HugeNumbers", "ardelremote/den/send",
                               R"({"protocol": "NEC", "address": 1e300, "command": 8})",
                               "ardelremote/den/send"},
                    BadCommand{"UnknownProtocol", "ardelremote/den/send",
                               R"({"protocol": "XYZ", "address": 1, "command": 8})", "XYZ"},
                    BadCommand{"BinaryPayload", kPowerPress.c_str(), "\x01\x02PRESS\xff",
                               "??PRESS?"}),
    [](const testing::TestParamInfo<BadCommand>& info) { return info.param.name; });

TEST_F(MqttBridgeTest, ARemotePlayedAtTheReceiverIsOneEventAndTheNodesOwnSendIsNone) {
    StartDen();
    const SimRemote* tv = FindSimRemote(kCategoryTv);
    ASSERT_NE(tv, nullptr);
    RemoteWaveform press = tv->Press("Mute", 600);  // held: many repeated frames
    const IrDecoded code = DecodeIrSignal(press.durations, CarrierPeriodUs(press.carrierHz));
    ASSERT_NE(code.protocol, nullptr);
    // The node has learnt Mute: the event names the button.
    bool created = false;
    ASSERT_EQ(StoreLearntSignal(
                  host->Model().Fs(), kCodebasePath, "Mute",
                  CodeSignal(code.protocol->name, code.frame.code.address, code.frame.code.command),
                  1, LearnMode::Single, created),
              kStoreOk);
    ASSERT_EQ(host->Remote().MakeHot("TV_Sony"), 0);  // the node looks at its buttons again
    host->PlayAtReceiver(press);
    ASSERT_TRUE(client->WaitFor("ardelremote/den/received",
                                [](const QByteArray& p) { return !p.isEmpty(); }));
    const QJsonObject event = JsonOf(client->On("ardelremote/den/received").back().payload);
    EXPECT_EQ(event["event_type"].toString(), code.protocol->name);
    EXPECT_EQ(event["protocol"].toString(), code.protocol->name);
    EXPECT_EQ(event["address"].toInteger(), code.frame.code.address);
    EXPECT_EQ(event["command"].toInteger(), code.frame.code.command);
    EXPECT_EQ(event["button"].toString(), "TV_Sony/Mute");

    // The rest of the held press is no second event; the node's own send heard back is none.
    client->Publish("ardelremote/den/TV_Sony/Mute/press", "PRESS");
    ASSERT_TRUE(PumpUntil([&] { return Lines(log).size() == 1; })) << logLines.back().toStdString();
    host->Remote().RunOnIrThread([&handheld = host->Handheld()] {
        handheld.Air().Echo(handheld.Clock().Now(), SimHandheld::kOwnEchoDelayNs);
    });
    // A code that no button holds comes as an event with no button.
    host->PlayAtReceiver(tv->Press("Guide", 100));
    ASSERT_TRUE(PumpUntil([&] { return client->On("ardelremote/den/received").size() >= 2; }));
    PumpUntil([] { return false; }, 300);
    const std::vector<Received> events = client->On("ardelremote/den/received");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(JsonOf(events[1].payload)["button"].isNull());
    EXPECT_NE(JsonOf(events[1].payload)["command"], event["command"]);
}

TEST_F(MqttBridgeTest, AfterTheBrokerComesBackTheNodeAnnouncesAgainAndLosesNoPress) {
    StartDen();
    broker.Stop();
    ASSERT_TRUE(PumpUntil([&] { return Logged("No connection"); }));
    client.reset();
    ASSERT_TRUE(broker.Start());
    client = std::make_unique<TestMqttClient>(broker.Port(), "home-again");
    ASSERT_TRUE(client->Connected());
    client->Subscribe("homeassistant/#");
    client->Subscribe("ardelremote/#");
    // The broker kept nothing (no persistence): what comes is the node's new announcement.
    EXPECT_TRUE(client->WaitFor("ardelremote/den/status",
                                [](const QByteArray& p) { return p == "online"; }));
    EXPECT_TRUE(client->WaitFor(kPowerConfig, [](const QByteArray& p) { return !p.isEmpty(); }));
    client->Publish(kPowerPress, "PRESS");
    ASSERT_TRUE(PumpUntil([&] { return Lines(log).size() == 1; }));
    EXPECT_TRUE(SameSend(Lines(log)[0], Passes(power, 3)));
}

TEST_F(MqttBridgeTest, ANodeThatGoesAwaySaysOffline) {
    StartDen();
    host.reset();
    EXPECT_TRUE(client->WaitFor("ardelremote/den/status",
                                [](const QByteArray& p) { return p == "offline"; }));
}

TEST_F(MqttBridgeTest, TwoNodesOnOneBrokerAreApartAndAPressReachesOnlyItsNode) {
    StartDen();
    TempFolder kitchenRoot;
    const std::string kitchenLog = kitchenRoot / "emitted.log";
    auto kitchen = StartNode(kitchenRoot.Path().string(), "kitchen", kitchenLog);
    ASSERT_TRUE(kitchen);
    const std::string kitchenPower = "homeassistant/button/kitchen/TV_Sony_Power/config";
    ASSERT_TRUE(client->WaitFor(kitchenPower, [](const QByteArray& p) { return !p.isEmpty(); }));
    const QJsonObject den = JsonOf(client->On(kPowerConfig).back().payload);
    const QJsonObject other = JsonOf(client->On(kitchenPower).back().payload);
    EXPECT_NE(den["unique_id"], other["unique_id"]);
    EXPECT_NE(den["device"].toObject()["identifiers"], other["device"].toObject()["identifiers"]);
    EXPECT_EQ(other["command_topic"].toString(), "ardelremote/kitchen/TV_Sony/Power/press");

    client->Publish(other["command_topic"].toString().toStdString(), "PRESS");
    ASSERT_TRUE(PumpUntil([&] { return Lines(kitchenLog).size() == 1; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(Lines(log).empty());
}

TEST_F(MqttBridgeTest, ThroughTheLircDeviceAPressIsSentAndARemoteIsHeardOnce) {
    ScaledLircClock clock(10);
    FuseLircDevice device(clock);
    if (!device.Mounted()) {
        GTEST_SKIP() << "no FUSE file system can be mounted here: " << device.Error();
    }
    QString error;
    ServiceHostOptions options;
    ASSERT_TRUE(LircHostOptions(root.Path().string(), device.Path(), clock, true, options, error))
        << error.toStdString();
    options.mqtt.url = QString::fromStdString(broker.Url());
    options.mqtt.nodeId = "lirc";
    CServiceHost lirc(options);
    const IrSignal sent = CodeSignal("NEC", 4, 8);
    const IrSignal heard = CodeSignal("NEC", 4, 9);
    bool created = false;
    ASSERT_EQ(StoreLearntSignal(lirc.Model().Fs(), kCodebasePath, "Power", sent, 1,
                                LearnMode::Single, created),
              kStoreOk);
    ASSERT_EQ(StoreLearntSignal(lirc.Model().Fs(), kCodebasePath, "Mute", heard, 1,
                                LearnMode::Single, created),
              kStoreOk);
    lirc.mqttLog = [this](const QString& line) { logLines.push_back(line); };
    ASSERT_TRUE(lirc.Start(error)) << error.toStdString();
    ASSERT_TRUE(client->WaitFor("homeassistant/event/lirc/received/config",
                                [](const QByteArray& p) { return !p.isEmpty(); }));

    // The press goes out while the receiver is being listened to.
    client->Publish("ardelremote/lirc/TV_Sony/Power/press", "PRESS");
    const std::vector<int32_t> expected = MarksOf(Passes(sent, 3));
    ASSERT_TRUE(PumpUntil([&] { return WrittenMarks(device.Writes()).size() >= expected.size(); }));
    EXPECT_EQ(WrittenMarks(device.Writes()), expected);

    // A remote held for three frames is one event.
    device.Press({Passes(heard, 3), 38000});
    ASSERT_TRUE(client->WaitFor("ardelremote/lirc/received",
                                [](const QByteArray& p) { return !p.isEmpty(); }));
    PumpUntil([] { return false; }, 500);
    const std::vector<Received> events = client->On("ardelremote/lirc/received");
    ASSERT_EQ(events.size(), 1u);
    const QJsonObject event = JsonOf(events[0].payload);
    EXPECT_EQ(event["protocol"].toString(), "NEC");
    EXPECT_EQ(event["address"].toInt(), 4);
    EXPECT_EQ(event["command"].toInt(), 9);
    EXPECT_EQ(event["button"].toString(), "TV_Sony/Mute");
}

class MqttLoginTest : public testing::Test {
  protected:
    TempFolder root;
    TempFolder brokerFolder;
    TestBroker broker{brokerFolder.Path().string(), {{"node", "right"}}};
};

TEST_F(MqttLoginTest, AWrongPasswordIsToldAndTriedAgain) {
    if (!broker.Available()) {
        GTEST_SKIP() << "mosquitto is not installed";
    }
    ASSERT_TRUE(broker.Start());
    for (const auto& [password, connects] : {std::pair{"wrong", false}, {"right", true}}) {
        TempFolder folder;
        QString error;
        ASSERT_TRUE(InstallProgramFiles(folder.Path().string(), error));
        ServiceHostOptions options;
        options.root = QString::fromStdString(folder.Path().string());
        options.ir.chip = "pxa255";
        options.mqtt.url = QString::fromStdString("mqtt://node:" + std::string(password) +
                                                  "@127.0.0.1:" + std::to_string(broker.Port()));
        options.mqtt.nodeId = "den";
        options.mqtt.firstRetry = std::chrono::milliseconds(20);
        options.mqtt.longestRetry = std::chrono::milliseconds(40);
        CServiceHost host(options);
        std::vector<QString> lines;
        host.mqttLog = [&lines](const QString& line) { lines.push_back(line); };
        ASSERT_TRUE(host.Start(error)) << error.toStdString();
        if (connects) {
            ASSERT_TRUE(PumpUntil([&] { return !lines.empty(); }));
            EXPECT_TRUE(lines[0].startsWith("Connected")) << lines[0].toStdString();
            continue;
        }
        ASSERT_TRUE(PumpUntil([&] { return lines.size() >= 3; }));
        for (const QString& line : lines) {
            EXPECT_TRUE(line.contains("refused the user name or password")) << line.toStdString();
            EXPECT_FALSE(line.contains("wrong")) << "the password shows: " << line.toStdString();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
