#include "mqtt/MqttSettings.h"

#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QUrl>
#include <cstdio>

namespace {

constexpr quint16 kPlainPort = 1883;
constexpr quint16 kTlsPort = 8883;
// A settings file is a few lines; anything much larger is not one.
constexpr qint64 kMaxSettingsBytes = 16 * 1024;

QString SettingsPath(const QString& root) {
    return QDir(root).filePath(QString::fromLatin1(kMqttSettingsFileName));
}

}  // namespace

bool ParseMqttUrl(const QString& text, MqttBroker& broker, QString& error) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "mqtt" && scheme != "mqtts") || url.host().isEmpty() ||
        (!url.path().isEmpty() && url.path() != "/") || url.hasQuery() || url.hasFragment()) {
        error = QStringLiteral(
                    "'%1' is no broker address: mqtt://[USER[:PASSWORD]@]HOST[:PORT] "
                    "or mqtts://...")
                    .arg(RedactedUrl(text));
        return false;
    }
    MqttBroker parsed;
    parsed.tls = scheme == "mqtts";
    parsed.host = url.host();
    const int port = url.port(parsed.tls ? kTlsPort : kPlainPort);
    if (port <= 0 || port > 65535) {
        error = QStringLiteral("'%1' names no port from 1 to 65535").arg(RedactedUrl(text));
        return false;
    }
    parsed.port = static_cast<quint16>(port);
    parsed.user = url.userName(QUrl::FullyDecoded);
    parsed.password = url.password(QUrl::FullyDecoded);
    broker = parsed;
    return true;
}

bool BrokerOf(const MqttSettings& settings, MqttBroker& broker, QString& error) {
    if (!ParseMqttUrl(settings.url, broker, error)) {
        return false;
    }
    if (broker.user.isEmpty()) {
        broker.user = settings.user;
        broker.password = settings.password;
    }
    return true;
}

QString RedactedUrl(const QString& text) {
    QUrl url(text);
    if (!url.isValid() || url.password().isEmpty()) {
        // Whatever follows a ':' before an '@' may be a password.
        const qsizetype at = text.indexOf('@');
        const qsizetype scheme = text.indexOf("://");
        const qsizetype colon = text.indexOf(':', scheme < 0 ? 0 : scheme + 3);
        if (at > 0 && colon > 0 && colon < at) {
            return text.left(colon + 1) + "***" + text.mid(at);
        }
        return text;
    }
    url.setPassword(QStringLiteral("***"));
    return url.toString();
}

QString TopicSafe(const QString& name) {
    QString safe;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '-' || u == '_') {
            safe += c;
        } else {
            safe += QStringLiteral("_%1").arg(static_cast<uint>(u), 2, 16, QChar('0')).toUpper();
        }
    }
    return safe;
}

QString DefaultNodeId() {
    const QString host = QHostInfo::localHostName().section('.', 0, 0);
    return host.isEmpty() ? QStringLiteral("ardelremote") : TopicSafe(host);
}

bool IsUsablePrefix(const QString& prefix) {
    if (prefix.isEmpty() || prefix.contains('+') || prefix.contains('#') ||
        prefix.startsWith('/') || prefix.endsWith('/') || prefix.contains("//")) {
        return false;
    }
    for (const QChar c : prefix) {
        if (c.unicode() < 0x20) {
            return false;
        }
    }
    return true;
}

bool LoadMqttSettings(const QString& root, MqttSettings& settings, QString& error) {
    QFile file(SettingsPath(root));
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSettingsBytes) {
        error = QStringLiteral("cannot read %1").arg(file.fileName());
        return false;
    }
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    int lineNumber = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (equals <= 0) {
            error = QStringLiteral("%1, line %2: KEY=VALUE expected")
                        .arg(file.fileName())
                        .arg(lineNumber);
            return false;
        }
        if (key == "url") {
            settings.url = value;
        } else if (key == "ca") {
            settings.caFile = value;
        } else if (key == "user") {
            settings.user = value;
        } else if (key == "password") {
            settings.password = value;
        } else if (key == "node_id") {
            settings.nodeId = value;
        } else if (key == "prefix") {
            settings.prefix = value;
        } else if (key == "ha_prefix") {
            settings.haPrefix = value;
        } else {
            error = QStringLiteral("%1, line %2: unknown setting %3")
                        .arg(file.fileName())
                        .arg(lineNumber)
                        .arg(key);
            return false;
        }
    }
    return true;
}

bool SaveMqttSettings(const QString& root, const MqttSettings& settings, QString& error) {
    const QString path = SettingsPath(root);
    QFile file(path + ".new");
    QByteArray text = "# The home automation bridge (MQTT) of this device folder.\n";
    const auto add = [&text](const char* key, const QString& value) {
        text += QByteArray(key) + '=' + value.toUtf8() + '\n';
    };
    add("url", settings.url);
    add("user", settings.user);
    add("password", settings.password);
    add("ca", settings.caFile);
    add("node_id", settings.nodeId);
    add("prefix", settings.prefix);
    add("ha_prefix", settings.haPrefix);
    // Private before anything is written into it.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(text) == text.size() && file.flush();
    file.close();
    // The new file takes the old one's place in one step.
    if (!written || std::rename(QFile::encodeName(file.fileName()).constData(),
                                QFile::encodeName(path).constData()) != 0) {
        file.remove();
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}
