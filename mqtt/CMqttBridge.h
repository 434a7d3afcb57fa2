// The service as a node of a home automation system over MQTT, with the discovery messages
// that Home Assistant reads: every codebase a device, every learnt button a button entity
// whose command topic presses it, every press heard by the receiver an event. Commands are
// read into typed values with limits before they reach the remote; a bad one is logged and
// changes nothing.
//
// Topics (P: the node's prefix, HA: the discovery prefix, NODE: the node id):
//   P/NODE/status                       "online" (retained) while connected, "offline" by will
//   P/NODE/CODEBASE/BUTTON/press        PRESS, or HOLD MS
//   P/NODE/send                         the HTTP API's send body
//   P/NODE/received                     {"event_type", "protocol", "address", "command", "button"}
//   HA/button/NODE/CODEBASE_BUTTON/config, HA/event/NODE/received/config   discovery, retained
//   HA/status                           "online": every discovery message goes again
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <utility>

class CMqttClient;
class CServiceRemote;
struct HeardCode;

struct MqttBridgeOptions {
    QString nodeId;
    QString prefix = QStringLiteral("ardelremote");
    QString haPrefix = QStringLiteral("homeassistant");
    QString brokerName;       // for the log: the broker's address without a password
    bool hasReceiver = true;  // the IR can hear remotes: the event entity exists
};

class CMqttBridge : public QObject {
    Q_OBJECT

  public:
    CMqttBridge(CServiceRemote& remote, CMqttClient& client, MqttBridgeOptions options,
                QObject* parent = nullptr);

    // Where connection changes and refused commands are told; standard error when unset.
    std::function<void(const QString& line)> log;

    // Says "offline" and leaves the broker (a service that stops).
    void Stop();

    // The discovery topics and payloads as they stand now (retained configs).
    std::map<QString, QByteArray> Discovery();
    QString StatusTopic() const { return base_ + "status"; }

  signals:
    // A round of discovery messages was handed to the broker.
    void Announced(int messages);

  private:
    void OnConnected();
    void OnMessage(const QString& topic, const QByteArray& payload);
    void OnHeard(const HeardCode& heard);
    // Publishes what changed since the last round (everything with `all`), and empty retained
    // configs for entities that went.
    void Announce(bool all);
    void Press(const QString& topic, const QString& id, const QByteArray& payload);
    void SendCode(const QString& topic, const QByteArray& payload);
    void Refuse(const QString& topic, const QByteArray& payload, const QString& why);
    void Log(const QString& line);

    CServiceRemote& remote_;
    CMqttClient& client_;
    MqttBridgeOptions options_;
    QString base_;                             // "P/NODE/"
    QTimer changed_;                           // changes come in bursts: one round after them
    std::map<QString, QByteArray> announced_;  // config topic -> payload
    std::map<QString, std::pair<QString, QString>> buttons_;  // "CB/BTN" ids -> names
};
