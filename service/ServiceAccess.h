// Who may use the service. On a loopback address only this machine can reach it, and no
// token is asked for; on any other address every request needs the device root's token. A
// browser always says where its page came from (Origin): a page of another site must not
// press buttons or delete codebases through the user's browser, so such requests are refused.
#pragma once

#include <QByteArray>
#include <QString>

// The file in the device root that keeps the token, readable by its owner only.
constexpr const char* kTokenFileName = ".ardelremoted.token";

enum TokenResult : int { kTokenOk = 0, kTokenUnreadable = 1, kTokenNotWritten = 2 };

// Reads the token of the device root at `root`, making a random one (and the file, mode 0600)
// when there is none yet. A file that others may read is made private again.
int LoadOrCreateToken(const QString& root, QString& token, QString& error);

struct AccessRequest {
    bool tokenRequired = false;  // the service listens on an address other than loopback
    QString token;               // the device root's token
    QByteArray authorization;    // the Authorization header
    QByteArray cookie;           // the Cookie header
    QByteArray origin;           // the Origin header, empty when there is none
    QByteArray host;             // the Host header
    QString queryToken;          // ?token= of a page request
    bool pageRequest = false;    // GET / (the page may carry its token in the query)
    bool loopbackListener = true;
};

enum class AccessDecision { Allowed, NoToken /* 401 */, ForeignOrigin /* 403 */ };

AccessDecision CheckAccess(const AccessRequest& request);

// The cookie that keeps the token in a browser once the page was opened with ?token=.
constexpr const char* kTokenCookie = "ardel_token";
QByteArray TokenCookieHeader(const QString& token);
