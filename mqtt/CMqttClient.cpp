#include "mqtt/CMqttClient.h"

#include <mosquitto.h>

#include <sys/socket.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

// How often the library's housekeeping runs (keep-alive pings, retries of unacknowledged
// messages) while a connection is up or being made.
constexpr std::chrono::milliseconds kHousekeeping{500};

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString ErrorText(int rc) {
    if (rc == MOSQ_ERR_ERRNO) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return QString::fromUtf8(mosquitto_strerror(rc));
}

}  // namespace

CMqttClient::CMqttClient(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)), retry_(options_.firstRetry) {
    InitLibrary();
    mosq_ = mosquitto_new(options_.clientId.toUtf8().constData(), true, this);
    mosquitto_connect_callback_set(mosq_, &CMqttClient::OnConnect);
    mosquitto_message_callback_set(mosq_, &CMqttClient::OnMessage);
    if (!options_.broker.user.isEmpty()) {
        mosquitto_username_pw_set(mosq_, options_.broker.user.toUtf8().constData(),
                                  options_.broker.password.isEmpty()
                                      ? nullptr
                                      : options_.broker.password.toUtf8().constData());
    }
    if (!options_.willTopic.isEmpty()) {
        mosquitto_will_set(mosq_, options_.willTopic.toUtf8().constData(),
                           static_cast<int>(options_.willPayload.size()),
                           options_.willPayload.constData(), 1, options_.willRetain);
    }
    if (options_.broker.tls) {
        const QByteArray ca = options_.caFile.toLocal8Bit();
        mosquitto_tls_set(mosq_, ca.isEmpty() ? nullptr : ca.constData(),
                          ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    }
    misc_.setInterval(kHousekeeping);
    connect(&misc_, &QTimer::timeout, this, &CMqttClient::Housekeeping);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &CMqttClient::Attempt);
}

CMqttClient::~CMqttClient() {
    Stop();
    Unwatch();
    mosquitto_destroy(mosq_);
}

void CMqttClient::Start() {
    running_ = true;
    Attempt();
}

void CMqttClient::Stop() {
    running_ = false;
    retryTimer_.stop();
    if (connected_) {
        mosquitto_disconnect(mosq_);
        // What is still queued, the goodbye last, goes out before the socket closes.
        for (int turn = 0; turn < 20 && mosquitto_want_write(mosq_); ++turn) {
            if (mosquitto_loop_write(mosq_, 1) != MOSQ_ERR_SUCCESS) {
                break;
            }
        }
        connected_ = false;
    }
    Unwatch();
    misc_.stop();
}

void CMqttClient::Attempt() {
    if (!running_) {
        return;
    }
    Unwatch();
    refusedLogin_ = false;
    refusal_.clear();
    const int rc = mosquitto_connect_async(mosq_, options_.broker.host.toUtf8().constData(),
                                           options_.broker.port, options_.keepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        Lost(ErrorText(rc));
        return;
    }
    Watch();
}

void CMqttClient::Watch() {
    const int socket = mosquitto_socket(mosq_);
    if (socket < 0) {
        Lost(QStringLiteral("no connection"));
        return;
    }
    reader_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(reader_.get(), &QSocketNotifier::activated, this, &CMqttClient::ReadReady);
    writer_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
    connect(writer_.get(), &QSocketNotifier::activated, this, &CMqttClient::WriteReady);
    misc_.start();
    UpdateWrite();
}

void CMqttClient::Unwatch() {
    // The notifiers may be the ones whose signal is being handled: they go once it returns.
    for (std::unique_ptr<QSocketNotifier>* notifier : {&reader_, &writer_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
}

void CMqttClient::UpdateWrite() {
    if (writer_) {
        writer_->setEnabled(mosquitto_want_write(mosq_));
    }
}

void CMqttClient::Lost(const QString& why, bool refused) {
    const bool wasWatching = reader_ != nullptr;
    Unwatch();
    misc_.stop();
    connected_ = false;
    if (!running_ || (!wasWatching && retryTimer_.isActive())) {
        return;
    }
    const std::chrono::milliseconds wait = retry_;
    retry_ = std::min(retry_ * 2, options_.longestRetry);
    retryTimer_.start(wait);
    emit Disconnected(why, refused, wait);
}

void CMqttClient::ReadReady() {
    const int rc = mosquitto_loop_read(mosq_, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        if (refusedLogin_) {
            Lost(refusal_, true);
        } else {
            Lost(connected_ ? QStringLiteral("connection lost") : ErrorText(rc));
        }
        return;
    }
    UpdateWrite();
}

void CMqttClient::WriteReady() {
    if (!connected_) {
        // A connection still being made tells its failure (refused, unreachable) here.
        int failure = 0;
        socklen_t length = sizeof failure;
        if (::getsockopt(mosquitto_socket(mosq_), SOL_SOCKET, SO_ERROR, &failure, &length) == 0 &&
            failure != 0) {
            Lost(QString::fromLocal8Bit(std::strerror(failure)));
            return;
        }
    }
    const int rc = mosquitto_loop_write(mosq_, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        Lost(ErrorText(rc));
        return;
    }
    UpdateWrite();
}

void CMqttClient::Housekeeping() {
    const int rc = mosquitto_loop_misc(mosq_);
    if (rc != MOSQ_ERR_SUCCESS) {
        Lost(QStringLiteral("no answer from the broker"));
        return;
    }
    UpdateWrite();
}

void CMqttClient::OnConnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<CMqttClient*>(self);
    if (rc != 0) {
        // The broker closes the connection after this answer; the read that sees it retries.
        client->refusedLogin_ = rc == 4 || rc == 5;
        client->refusal_ = QString::fromUtf8(mosquitto_connack_string(rc));
        return;
    }
    client->connected_ = true;
    client->retry_ = client->options_.firstRetry;
    emit client->Connected();
}

void CMqttClient::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<CMqttClient*>(self);
    emit client->MessageArrived(
        QString::fromUtf8(message->topic),
        QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
}

bool CMqttClient::Publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (!connected_) {
        return false;
    }
    const int rc =
        mosquitto_publish(mosq_, nullptr, topic.toUtf8().constData(),
                          static_cast<int>(payload.size()), payload.constData(), qos, retain);
    UpdateWrite();
    return rc == MOSQ_ERR_SUCCESS;
}

bool CMqttClient::Subscribe(const QString& topic, int qos) {
    if (!connected_) {
        return false;
    }
    const int rc = mosquitto_subscribe(mosq_, nullptr, topic.toUtf8().constData(), qos);
    UpdateWrite();
    return rc == MOSQ_ERR_SUCCESS;
}
