// The command line of ardelremoted.
#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

struct DaemonOptions {
    QString root;  // the device root folder on the host
    QString ir;    // --ir: "sim[:CHIP]" or "lirc[:TX[,RX]]"; empty: LIRC if found
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8733;
    QString emitterLog;  // --sim-emitter-log
    bool showToken = false;
    bool help = false;
    bool version = false;
};

// Reads the command line (without the program name); false with a message for a bad one.
bool ParseDaemonOptions(const QStringList& args, DaemonOptions& options, QString& error);
// Reads "ADDRESS:PORT" ("127.0.0.1:8733", "[::1]:8733", "0.0.0.0:80"); false for anything else.
bool ParseListenAddress(const QString& text, QHostAddress& address, quint16& port);
QString DaemonUsage();
