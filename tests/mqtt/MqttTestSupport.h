// What the bridge's tests share: a real mosquitto broker on a free loopback port, started and
// stopped by the test, and a client of it that keeps every message it receives.
#pragma once

#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// A port on loopback that nothing listens on just now.
inline quint16 FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

inline bool Accepts(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool accepted = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

// Keeps this thread's event loop (the service's) going until `done` holds or `ms` pass.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// mosquitto, Debian's broker, with a configuration of the test's own in `folder`.
class TestBroker {
  public:
    // `users`: "user password" pairs; with any, anonymous clients are refused.
    explicit TestBroker(std::string folder,
                        std::vector<std::pair<std::string, std::string>> users = {})
        : folder_(std::move(folder)), port_(FreeLoopbackPort()) {
        program_ =
            QStandardPaths::findExecutable("mosquitto", {"/usr/sbin", "/usr/bin"}).toStdString();
        std::string config = "listener " + std::to_string(port_) + " 127.0.0.1\n" +
                             "persistence false\nlog_dest file " + folder_ + "/broker.log\n";
        if (users.empty()) {
            config += "allow_anonymous true\n";
        } else {
            const std::string passwords = folder_ + "/passwords";
            for (size_t k = 0; k < users.size(); ++k) {
                const std::string tool = "mosquitto_passwd -b " + std::string(k == 0 ? "-c " : "") +
                                         passwords + " " + users[k].first + " " + users[k].second;
                if (std::system(tool.c_str()) != 0) {
                    program_.clear();
                }
            }
            config += "allow_anonymous false\npassword_file " + passwords + "\n";
        }
        // Started by root, the broker would become the user "mosquitto", who can neither read
        // nor write the test's folder.
        if (const passwd* user = ::getpwuid(::geteuid())) {
            config += std::string("user ") + user->pw_name + "\n";
        }
        QFile file(QString::fromStdString(folder_ + "/mosquitto.conf"));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray::fromStdString(config));
    }
    ~TestBroker() { Stop(); }

    bool Available() const { return !program_.empty(); }
    quint16 Port() const { return port_; }
    std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

    // Starts the broker and waits until it accepts connections.
    bool Start() {
        const std::string config = folder_ + "/mosquitto.conf";
        char* argv[] = {program_.data(), const_cast<char*>("-c"), const_cast<char*>(config.c_str()),
                        nullptr};
        if (::posix_spawn(&pid_, program_.c_str(), nullptr, nullptr, argv, environ) != 0) {
            pid_ = 0;
            return false;
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!Accepts(port_)) {
            if (std::chrono::steady_clock::now() >= until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

  private:
    std::string folder_;
    quint16 port_;
    std::string program_;
    pid_t pid_ = 0;
};

struct Received {
    std::string topic;
    QByteArray payload;
    bool retained = false;
};

// A client of the broker, as home automation is one: its own network thread, every message
// kept in arrival order.
class TestMqttClient {
  public:
    TestMqttClient(quint16 port, const std::string& id) {
        mosquitto_lib_init();
        mosq_ = mosquitto_new(id.c_str(), true, this);
        mosquitto_message_callback_set(
            mosq_, [](mosquitto*, void* self, const mosquitto_message* message) {
                auto* client = static_cast<TestMqttClient*>(self);
                const std::lock_guard lock(client->mutex_);
                client->messages_.push_back(
                    {message->topic,
                     QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                     message->retain});
            });
        connected_ = mosquitto_connect(mosq_, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS &&
                     mosquitto_loop_start(mosq_) == MOSQ_ERR_SUCCESS;
    }
    ~TestMqttClient() {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, false);
        mosquitto_destroy(mosq_);
    }
    bool Connected() const { return connected_; }
    void Subscribe(const std::string& topic) {
        mosquitto_subscribe(mosq_, nullptr, topic.c_str(), 1);
    }
    void Publish(const std::string& topic, const QByteArray& payload, bool retain = false) {
        mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                          payload.constData(), 1, retain);
    }
    std::vector<Received> Messages() {
        const std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<Received> On(const std::string& topic) {
        std::vector<Received> found;
        for (const Received& message : Messages()) {
            if (message.topic == topic) {
                found.push_back(message);
            }
        }
        return found;
    }
    // The last payload on `topic`, waiting (with the service's loop going) for one that
    // `accept` takes.
    bool WaitFor(const std::string& topic, const std::function<bool(const QByteArray&)>& accept,
                 int ms = 10000) {
        return PumpUntil(
            [&] {
                const std::vector<Received> found = On(topic);
                return !found.empty() && accept(found.back().payload);
            },
            ms);
    }
    size_t Count() {
        const std::lock_guard lock(mutex_);
        return messages_.size();
    }
    void Clear() {
        const std::lock_guard lock(mutex_);
        messages_.clear();
    }

  private:
    mosquitto* mosq_ = nullptr;
    bool connected_ = false;
    std::mutex mutex_;
    std::vector<Received> messages_;
};
