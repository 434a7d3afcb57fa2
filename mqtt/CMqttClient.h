// A connection to an MQTT broker on Qt's event loop: the broker project's client library does
// the protocol, this object watches its socket (QSocketNotifier for reading and, while the
// library has something to write, for writing) and runs its housekeeping on a timer, so that
// nothing blocks and no thread of its own is needed. A lost or refused connection is tried
// again after a wait that starts short and doubles up to a limit.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

#include "mqtt/MqttSettings.h"

class QSocketNotifier;
struct mosquitto;
struct mosquitto_message;

class CMqttClient : public QObject {
    Q_OBJECT

  public:
    struct Options {
        MqttBroker broker;
        QString caFile;  // mqtts: the certificate authority; empty: the system's
        QString clientId;
        // Published by the broker for us when the connection is lost without a goodbye.
        QString willTopic;
        QByteArray willPayload;
        bool willRetain = true;
        int keepAliveSeconds = 30;
        std::chrono::milliseconds firstRetry{1000};
        std::chrono::milliseconds longestRetry{60000};
    };

    explicit CMqttClient(Options options, QObject* parent = nullptr);
    ~CMqttClient() override;
    CMqttClient(const CMqttClient&) = delete;
    CMqttClient& operator=(const CMqttClient&) = delete;

    // Connects, and keeps connecting again whenever the connection is lost or refused.
    void Start();
    // Says goodbye (the last will is not published) and stops reconnecting.
    void Stop();
    bool IsConnected() const { return connected_; }

    // Queues a message; false when there is no connection (QoS 0) or the library refused it.
    // QoS 1 messages published while the connection is lost are not kept.
    bool Publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    bool Subscribe(const QString& topic, int qos);

    // The wait before the next attempt, after a failed one.
    std::chrono::milliseconds NextRetry() const { return retry_; }

  signals:
    // The broker accepted the connection: subscriptions and announcements go now.
    void Connected();
    // An attempt failed or the connection was lost; `why` says what happened, and the next
    // attempt follows after `retryIn`. `refused` when the broker turned the login down.
    void Disconnected(const QString& why, bool refused, std::chrono::milliseconds retryIn);
    void MessageArrived(const QString& topic, const QByteArray& payload);

  private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
    void Attempt();
    void Watch();
    void Unwatch();
    void UpdateWrite();
    // The connection ended or never came: after `retry_`, a new attempt.
    void Lost(const QString& why, bool refused = false);
    void ReadReady();
    void WriteReady();
    void Housekeeping();

    Options options_;
    mosquitto* mosq_ = nullptr;
    std::unique_ptr<QSocketNotifier> reader_;
    std::unique_ptr<QSocketNotifier> writer_;
    QTimer misc_;
    QTimer retryTimer_;
    std::chrono::milliseconds retry_;
    bool connected_ = false;
    bool running_ = false;
    bool refusedLogin_ = false;  // the broker's answer to the current attempt
    QString refusal_;
};
