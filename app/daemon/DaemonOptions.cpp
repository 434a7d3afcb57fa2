#include "app/daemon/DaemonOptions.h"

#include "app/program/IrChoice.h"
#include "app/program/ProgramFiles.h"
#include "mqtt/MqttSettings.h"

bool IsMqttOption(const QString& option) {
    return option == "--mqtt" || option == "--mqtt-ca" || option == "--node-id" ||
           option == "--mqtt-prefix" || option == "--ha-prefix";
}

QString MqttOptionProblem(const QString& option, const QString& value) {
    QString error;
    MqttBroker broker;
    if (option == "--mqtt" && !ParseMqttUrl(value, broker, error)) {
        return error;
    }
    if (option == "--node-id" && TopicSafe(value) != value) {
        return QStringLiteral("--node-id takes letters, digits, '-' and '_', not %1").arg(value);
    }
    if ((option == "--mqtt-prefix" || option == "--ha-prefix") && !IsUsablePrefix(value)) {
        return QStringLiteral("%1 cannot head MQTT topics: %2").arg(option, value);
    }
    return {};
}

bool TakeMqttOption(const QString& option, const QString& value, MqttOptions& mqtt) {
    QString* target = option == "--mqtt"          ? &mqtt.url
                      : option == "--mqtt-ca"     ? &mqtt.caFile
                      : option == "--node-id"     ? &mqtt.nodeId
                      : option == "--mqtt-prefix" ? &mqtt.prefix
                      : option == "--ha-prefix"   ? &mqtt.haPrefix
                                                  : nullptr;
    if (target) {
        *target = value;
    }
    return target != nullptr;
}

bool MqttSettingsOf(const QString& root, const MqttOptions& given, MqttSettings& settings,
                    QString& error) {
    if (!LoadMqttSettings(root, settings, error)) {
        return false;
    }
    const std::pair<const QString*, QString*> pairs[] = {{&given.url, &settings.url},
                                                         {&given.caFile, &settings.caFile},
                                                         {&given.nodeId, &settings.nodeId},
                                                         {&given.prefix, &settings.prefix},
                                                         {&given.haPrefix, &settings.haPrefix}};
    for (const auto& [value, setting] : pairs) {
        if (!value->isEmpty()) {
            *setting = *value;
        }
    }
    return true;
}

bool ParseListenAddress(const QString& text, QHostAddress& address, quint16& port) {
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0) {
        return false;
    }
    QString host = text.left(colon);
    if (host.startsWith('[') && host.endsWith(']')) {
        host = host.mid(1, host.size() - 2);
    } else if (host.contains(':')) {
        return false;  // an IPv6 address needs its brackets
    }
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    const QHostAddress parsed(host);
    if (!ok || number > 65535 || parsed.isNull()) {
        return false;
    }
    address = parsed;
    port = static_cast<quint16>(number);
    return true;
}

QString DaemonUsage() {
    return QStringLiteral(
               "usage: ardelremoted [--root FOLDER] [--ir IR] [--listen ADDRESS:PORT]\n"
               "                    [--sim-emitter-log FILE] [--mqtt URL] [--mqtt-ca FILE]\n"
               "                    [--node-id ID] [--mqtt-prefix P] [--ha-prefix P]\n"
               "                    [--show-token] [--help] [--version]\n"
               "\n"
               "Serves the remote of a device root: an HTTP API under /api/v1 and the remote as a\n"
               "web page at /.\n"
               "\n"
               "  --root FOLDER           the handheld's files on this computer (default %1)\n"
               "  --ir IR                 sim or sim:CHIP for the simulated handheld, lirc or\n"
               "                          lirc:TRANSMITTER[,RECEIVER] for the kernel's LIRC "
               "devices\n"
               "                          (default: the LIRC devices where one can send, else "
               "sim)\n"
               "  --listen ADDRESS:PORT   where to serve (default 127.0.0.1:8733); on an address\n"
               "                          other than loopback every request needs the root's "
               "token\n"
               "  --sim-emitter-log FILE  append a line for every send of the simulated handheld\n"
               "  --mqtt URL              be a node of home automation on the MQTT broker at\n"
               "                          mqtt://[USER[:PASSWORD]@]HOST[:PORT] (or mqtts://)\n"
               "  --mqtt-ca FILE          the certificate authority of an mqtts:// broker\n"
               "  --node-id ID            the node's name in topics (default: the host name)\n"
               "  --mqtt-prefix P         the node's topics begin P/ID/ (default ardelremote)\n"
               "  --ha-prefix P           Home Assistant's discovery prefix (default "
               "homeassistant)\n"
               "                          (the same settings, and the password, may stand in the\n"
               "                          device root's file %2)\n"
               "  --show-token            print the device root's token (made when there is none)\n"
               "  --help                  show this text\n"
               "  --version               show the program's version\n")
        .arg(DefaultDeviceRoot(), QString::fromLatin1(kMqttSettingsFileName));
}

bool ParseDaemonOptions(const QStringList& args, DaemonOptions& options, QString& error) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return true;
        }
        if (option == "--version") {
            options.version = true;
            return true;
        }
        if (option == "--show-token") {
            options.showToken = true;
            continue;
        }
        if (option != "--root" && option != "--ir" && option != "--listen" &&
            option != "--sim-emitter-log" && !IsMqttOption(option)) {
            error = QStringLiteral("unknown option %1").arg(option);
            return false;
        }
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            error = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        const QString value = args[++i];
        if (TakeMqttOption(option, value, options.mqtt)) {
            error = MqttOptionProblem(option, value);
            if (!error.isEmpty()) {
                return false;
            }
            continue;
        }
        if (option == "--root") {
            options.root = value;
        } else if (option == "--ir") {
            IrChoice choice;
            if (!ParseIrChoice(value, choice, error)) {
                return false;
            }
            options.ir = value;
        } else if (option == "--listen") {
            if (!ParseListenAddress(value, options.address, options.port)) {
                error = QStringLiteral("--listen takes ADDRESS:PORT (127.0.0.1:8733), not %1")
                            .arg(value);
                return false;
            }
        } else {
            options.emitterLog = value;
        }
    }
    return true;
}
