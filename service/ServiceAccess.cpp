#include "service/ServiceAccess.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QList>
#include <QRandomGenerator>
#include <QUrl>

namespace {

constexpr int kTokenBytes = 24;

// Compares without stopping at the first difference, so that the time taken tells nothing
// about how much of a guessed token was right.
bool SameToken(const QByteArray& given, const QString& token) {
    const QByteArray expected = token.toUtf8();
    if (expected.isEmpty() || given.size() != expected.size()) {
        return false;
    }
    unsigned difference = 0;
    for (qsizetype i = 0; i < given.size(); ++i) {
        difference |= static_cast<unsigned>(given[i] ^ expected[i]);
    }
    return difference == 0;
}

QByteArray CookieValue(const QByteArray& header, const char* name) {
    for (const QByteArray& part : header.split(';')) {
        const QByteArray item = part.trimmed();
        const qsizetype equals = item.indexOf('=');
        if (equals > 0 && item.left(equals) == name) {
            return item.mid(equals + 1);
        }
    }
    return {};
}

// The host part of a Host header or an origin's authority, without the port.
QString HostName(const QString& authority) {
    if (authority.startsWith('[')) {
        return authority.mid(1, authority.indexOf(']') - 1);
    }
    return authority.section(':', 0, 0);
}

// On loopback the page may only be reached by a loopback name: a foreign site whose name
// is made to resolve to 127.0.0.1 (DNS rebinding) arrives with its own name here.
bool IsLoopbackName(const QString& host) {
    const QHostAddress address(host);
    return host.compare("localhost", Qt::CaseInsensitive) == 0 ||
           (!address.isNull() && address.isLoopback());
}

}  // namespace

int LoadOrCreateToken(const QString& root, QString& token, QString& error) {
    const QString path = QDir(root).filePath(kTokenFileName);
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read %1").arg(path);
            return kTokenUnreadable;
        }
        token = QString::fromLatin1(file.read(256)).trimmed();
        file.close();
        if (!token.isEmpty()) {
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            return kTokenOk;
        }
    }
    QByteArray random(kTokenBytes, '\0');
    QRandomGenerator::system()->generate(random.begin(), random.end());
    token = QString::fromLatin1(
        random.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    // Made private before the token is written into it.
    file.remove();
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(token.toLatin1() + '\n') < 0 || !file.flush()) {
        error = QStringLiteral("cannot write %1").arg(path);
        return kTokenNotWritten;
    }
    return kTokenOk;
}

AccessDecision CheckAccess(const AccessRequest& request) {
    const QString host = HostName(QString::fromLatin1(request.host));
    if (request.loopbackListener && !request.host.isEmpty() && !IsLoopbackName(host)) {
        return AccessDecision::ForeignOrigin;
    }
    if (!request.origin.isEmpty()) {
        // The service's own origin is the one the browser used to reach it.
        const QUrl origin(QString::fromLatin1(request.origin));
        const QString own = QStringLiteral("http://") + QString::fromLatin1(request.host);
        if (!origin.isValid() || request.origin != own.toLatin1()) {
            return AccessDecision::ForeignOrigin;
        }
    }
    if (!request.tokenRequired) {
        return AccessDecision::Allowed;
    }
    const QByteArray bearer = "Bearer ";
    if (request.authorization.startsWith(bearer) &&
        SameToken(request.authorization.mid(bearer.size()).trimmed(), request.token)) {
        return AccessDecision::Allowed;
    }
    if (SameToken(CookieValue(request.cookie, kTokenCookie), request.token)) {
        return AccessDecision::Allowed;
    }
    if (request.pageRequest && SameToken(request.queryToken.toUtf8(), request.token)) {
        return AccessDecision::Allowed;
    }
    return AccessDecision::NoToken;
}

QByteArray TokenCookieHeader(const QString& token) {
    return QByteArray(kTokenCookie) + '=' + token.toUtf8() +
           "; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000";
}
