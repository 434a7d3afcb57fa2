// Where the bridge to home automation connects and how it names itself: the broker's address
// (mqtt://[USER[:PASSWORD]@]HOST[:PORT], or mqtts:// with a certificate authority), the node's
// id and the two topic prefixes. The same settings live in a file in the device root, readable
// by its owner only, so that a password need not stand on a command line.
#pragma once

#include <QString>
#include <chrono>

// The settings file in the device root.
constexpr const char* kMqttSettingsFileName = ".ardelremote-mqtt.conf";

struct MqttBroker {
    bool tls = false;
    QString host;
    quint16 port = 1883;
    QString user;
    QString password;
};

struct MqttSettings {
    QString url;       // empty: no bridge
    QString caFile;    // mqtts: the certificate authority; empty: the system's
    QString user;      // used when the URL names none
    QString password;  // used when the URL names none
    QString nodeId;    // empty: the host name, made safe for topics
    QString prefix = QStringLiteral("ardelremote");
    QString haPrefix = QStringLiteral("homeassistant");
    // Waits before reconnecting: the first, doubling up to the longest.
    std::chrono::milliseconds firstRetry{1000};
    std::chrono::milliseconds longestRetry{60000};
};

// Reads a broker URL; false with a worded reason for anything else.
bool ParseMqttUrl(const QString& url, MqttBroker& broker, QString& error);
// The broker of `settings`, with the file's user and password where the URL names none.
bool BrokerOf(const MqttSettings& settings, MqttBroker& broker, QString& error);
// The URL without its password, for messages and logs.
QString RedactedUrl(const QString& url);

// A name as one level of a topic and as an id of home automation: letters, digits, '-' and
// '_' stay, every other character becomes '_' and its code in hexadecimal ("Vol+" ->
// "Vol_2B"), so that two names never become one id.
QString TopicSafe(const QString& name);
// This computer's name, made safe for topics.
QString DefaultNodeId();
// Whether a prefix given by the user can head topics: not empty, no wildcard, no empty level.
bool IsUsablePrefix(const QString& prefix);

// Reads the settings file of the device root at `root` into `settings` (values in the file
// replace those in `settings`); true when there is none. A file that others may read is made
// private again.
bool LoadMqttSettings(const QString& root, MqttSettings& settings, QString& error);
// Writes the settings file (mode 0600); false with a message when it cannot be written.
bool SaveMqttSettings(const QString& root, const MqttSettings& settings, QString& error);
