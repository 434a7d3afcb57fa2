#include "mqtt/CMqttBridge.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

#include "ir/protocols/IrProtocol.h"
#include "mqtt/CMqttClient.h"
#include "mqtt/MqttSettings.h"
#include "resources/StringText.h"
#include "service/CServiceApi.h"
#include "service/CServiceRemote.h"
#include "service/ServiceRequest.h"
#include "store/Catalogue.h"
#include "store/FormTables.h"

namespace {

constexpr int kCommandQos = 1;
// A command's payload shown in the log is cut to this many characters.
constexpr int kShownPayload = 60;
// Changes to codebases come in bursts (a learn, a rename with its hot codebase): one
// round of discovery after the burst.
constexpr int kSettleMs = 50;

QByteArray Compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString Shown(const QByteArray& payload) {
    QString shown;
    for (const char c : payload.left(kShownPayload)) {
        shown += c >= 0x20 && c < 0x7F ? QChar(c) : QChar('?');
    }
    return payload.size() > kShownPayload ? shown + "..." : shown;
}

}  // namespace

CMqttBridge::CMqttBridge(CServiceRemote& remote, CMqttClient& client, MqttBridgeOptions options,
                         QObject* parent)
    : QObject(parent),
      remote_(remote),
      client_(client),
      options_(std::move(options)),
      base_(options_.prefix + '/' + options_.nodeId + '/') {
    changed_.setSingleShot(true);
    changed_.setInterval(kSettleMs);
    connect(&changed_, &QTimer::timeout, this, [this] { Announce(false); });
    connect(&remote_, &CServiceRemote::ButtonsChanged, &changed_, qOverload<>(&QTimer::start));
    connect(&remote_, &CServiceRemote::Received, this, &CMqttBridge::OnHeard);
    connect(&client_, &CMqttClient::Connected, this, &CMqttBridge::OnConnected);
    connect(&client_, &CMqttClient::MessageArrived, this, &CMqttBridge::OnMessage);
    connect(&client_, &CMqttClient::Disconnected, this,
            [this](const QString& why, bool refused, std::chrono::milliseconds retryIn) {
                const QString seconds = QString::number((retryIn.count() + 999) / 1000);
                Log(StringText(refused ? kStrMqttLoginRefused : kStrMqttNoConnection,
                               {options_.brokerName, why, seconds}));
            });
}

void CMqttBridge::Log(const QString& line) {
    if (log) {
        log(line);
    } else {
        // The program's own name: ardelremoted, or ardelremote serving beside its window.
        std::fprintf(stderr, "%s: mqtt: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(line));
    }
}

void CMqttBridge::Stop() {
    client_.Publish(StatusTopic(), "offline", 1, true);
    client_.Stop();
}

void CMqttBridge::OnConnected() {
    Log(StringText(kStrMqttConnected, {options_.brokerName, options_.nodeId}));
    // The broker takes a client's packets in order: once "online" can be seen, every command
    // sent after it reaches this node.
    client_.Subscribe(base_ + "+/+/press", kCommandQos);
    client_.Subscribe(base_ + "send", kCommandQos);
    client_.Subscribe(options_.haPrefix + "/status", kCommandQos);
    // Everything goes again: the broker may have lost what it kept while we were away.
    Announce(true);
    client_.Publish(StatusTopic(), "online", 1, true);
    // Configs kept by the broker from an earlier run: those of entities that went meanwhile
    // are cleared when they arrive.
    client_.Subscribe(options_.haPrefix + "/+/" + options_.nodeId + "/+/config", kCommandQos);
}

std::map<QString, QByteArray> CMqttBridge::Discovery() {
    std::map<QString, QByteArray> configs;
    buttons_.clear();
    const QString node = options_.nodeId;
    const QString nodeDevice = "ardelremote_" + node;
    const QString availability = StatusTopic();
    if (options_.hasReceiver) {
        QJsonArray types;
        for (const IrProtocol* protocol : IrProtocols()) {
            types.append(QString::fromLatin1(protocol->name));
        }
        const QJsonObject device{{"identifiers", QJsonArray{nodeDevice}},
                                 {"name", "ArdelRemote " + node},
                                 {"model", "IR node"}};
        configs[options_.haPrefix + "/event/" + node + "/received/config"] =
            Compact({{"unique_id", nodeDevice + "_received"},
                     {"name", "Received"},
                     {"state_topic", base_ + "received"},
                     {"event_types", types},
                     {"availability_topic", availability},
                     {"device", device}});
    }
    for (const CServiceRemote::CodebaseInfo& codebase : remote_.Codebases()) {
        int category = codebase.category;
        QString deviceName;
        if (!ParseHeaderName(codebase.name, category, deviceName)) {
            deviceName = codebase.name;
        }
        const QString codebaseId = TopicSafe(codebase.name);
        const QJsonObject device{{"identifiers", QJsonArray{nodeDevice + '_' + codebaseId}},
                                 {"name", deviceName},
                                 {"model", QString::fromLatin1(CategoryName(codebase.category))},
                                 {"via_device", nodeDevice}};
        for (const CServiceRemote::ButtonInfo& button : codebase.buttons) {
            if (button.signalCount < 1) {
                continue;  // a button that holds no signal is not learnt
            }
            const QString buttonId = TopicSafe(button.name);
            const QString id = codebaseId + '_' + buttonId;
            buttons_[codebaseId + '/' + buttonId] = {codebase.name, button.name};
            configs[options_.haPrefix + "/button/" + node + '/' + id + "/config"] =
                Compact({{"unique_id", nodeDevice + '_' + id},
                         {"name", button.name},
                         {"command_topic", base_ + codebaseId + '/' + buttonId + "/press"},
                         {"availability_topic", availability},
                         {"qos", kCommandQos},
                         {"device", device}});
        }
    }
    return configs;
}

void CMqttBridge::Announce(bool all) {
    std::map<QString, QByteArray> configs = Discovery();
    if (!client_.IsConnected()) {
        return;  // the next connection announces everything
    }
    int messages = 0;
    for (const auto& [topic, payload] : announced_) {
        if (!configs.count(topic)) {
            client_.Publish(topic, QByteArray(), 1, true);  // the entity goes
            ++messages;
        }
    }
    for (const auto& [topic, payload] : configs) {
        const auto before = announced_.find(topic);
        if (all || before == announced_.end() || before->second != payload) {
            client_.Publish(topic, payload, 1, true);
            ++messages;
        }
    }
    announced_ = std::move(configs);
    emit Announced(messages);
}

void CMqttBridge::OnMessage(const QString& topic, const QByteArray& payload) {
    const QString haStatus = options_.haPrefix + "/status";
    if (topic == haStatus) {
        if (payload.trimmed() == "online") {
            Announce(true);
        }
        return;
    }
    if (topic.startsWith(options_.haPrefix + '/') && topic.endsWith("/config")) {
        // A config kept from before whose entity is gone now.
        if (!payload.isEmpty() && !announced_.count(topic)) {
            client_.Publish(topic, QByteArray(), 1, true);
        }
        return;
    }
    if (!topic.startsWith(base_)) {
        return;
    }
    const QString rest = topic.mid(base_.size());
    if (rest == "send") {
        SendCode(topic, payload);
    } else if (rest.endsWith("/press") && rest.count('/') == 2) {
        Press(topic, rest.chopped(6), payload);
    }
}

void CMqttBridge::Refuse(const QString& topic, const QByteArray& payload, const QString& why) {
    Log(StringText(kStrMqttIgnored, {Shown(payload), topic, why}));
}

void CMqttBridge::Press(const QString& topic, const QString& id, const QByteArray& payload) {
    const auto button = buttons_.find(id);
    if (button == buttons_.end()) {
        Refuse(topic, payload, StringText(kStrMqttNoSuchButton));
        return;
    }
    PressBody press;
    const QByteArray command = payload.trimmed();
    if (command != "PRESS") {
        const QList<QByteArray> words = command.simplified().split(' ');
        bool ok = false;
        const int holdMs = words.size() == 2 && words[0] == "HOLD" ? words[1].toInt(&ok) : 0;
        if (!ok || holdMs < 1 || holdMs > kMaxHoldMs) {
            Refuse(topic, payload, StringText(kStrMqttBadPress, {QString::number(kMaxHoldMs)}));
            return;
        }
        press.holdMs = holdMs;
    }
    remote_.Press(button->second.first, button->second.second, press,
                  [this, topic, payload](int result) {
                      if (result != 0) {
                          Refuse(topic, payload, ResultMessage(result, remote_.PortName()));
                      }
                  });
}

void CMqttBridge::SendCode(const QString& topic, const QByteArray& payload) {
    SendBody send;
    QString error;
    if (!ParseSendBody(payload, send, error)) {
        Refuse(topic, payload, error);
        return;
    }
    QString problem;
    const int started = remote_.Send(
        send,
        [this, topic, payload](int result) {
            if (result != 0) {
                Refuse(topic, payload, ResultMessage(result, remote_.PortName()));
            }
        },
        problem);
    if (started != 0) {
        Refuse(topic, payload,
               problem.isEmpty() ? ResultMessage(started, remote_.PortName()) : problem);
    }
}

void CMqttBridge::OnHeard(const HeardCode& heard) {
    if (heard.learnt || heard.protocol.isEmpty()) {
        return;  // only presses of remotes heard between other work, and only named codes
    }
    const QJsonObject event{
        {"event_type", heard.protocol},
        {"protocol", heard.protocol},
        {"address", static_cast<qint64>(heard.address)},
        {"command", static_cast<qint64>(heard.command)},
        {"button", heard.button.isEmpty() ? QJsonValue() : QJsonValue(heard.button)}};
    client_.Publish(base_ + "received", Compact(event), 1, false);
}
