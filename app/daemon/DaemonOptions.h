// The command line of ardelremoted.
#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

struct MqttSettings;

// The bridge to home automation as the command line names it; an empty value was not given.
struct MqttOptions {
    QString url;
    QString caFile;
    QString nodeId;
    QString prefix;
    QString haPrefix;
};
// Takes `option` with `value` when it is one of the bridge's options (--mqtt, --mqtt-ca,
// --node-id, --mqtt-prefix, --ha-prefix).
bool TakeMqttOption(const QString& option, const QString& value, MqttOptions& mqtt);
bool IsMqttOption(const QString& option);
// What is wrong with a value of one of those options (a URL that names no broker, a node id
// or prefix that cannot stand in topics); empty when nothing is.
QString MqttOptionProblem(const QString& option, const QString& value);
// The bridge's settings: the device root's settings file, with what the command line gives
// over it. False with a message for a file that cannot be read.
bool MqttSettingsOf(const QString& root, const MqttOptions& given, MqttSettings& settings,
                    QString& error);

struct DaemonOptions {
    QString root;  // the device root folder on the host
    QString ir;    // --ir: "sim[:CHIP]" or "lirc[:TX[,RX]]"; empty: LIRC if found
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8733;
    QString emitterLog;  // --sim-emitter-log
    MqttOptions mqtt;
    bool showToken = false;
    bool help = false;
    bool version = false;
};

// Reads the command line (without the program name); false with a message for a bad one.
bool ParseDaemonOptions(const QStringList& args, DaemonOptions& options, QString& error);
// Reads "ADDRESS:PORT" ("127.0.0.1:8733", "[::1]:8733", "0.0.0.0:80"); false for anything else.
bool ParseListenAddress(const QString& text, QHostAddress& address, quint16& port);
QString DaemonUsage();
