// A WebDriver session of Debian's headless chromium with a phone's screen, driven through
// chromedriver on a free loopback port; nothing leaves the machine.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <thread>

#include "tests/service/ServiceTestSupport.h"

inline constexpr const char* kElementKey = "element-6066-11e4-a52e-4f735466cecf";

inline quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A WebDriver session of headless chromium with a phone's screen.
class Browser {
  public:
    bool Start(const std::string& profile, QString& why) {
        const QString driver = QStandardPaths::findExecutable("chromedriver");
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (driver.isEmpty() || chromium.isEmpty()) {
            why = "chromium and chromium-driver are not installed";
            return false;
        }
        port_ = FreePort();
        process_.start(driver, {QStringLiteral("--port=%1").arg(port_), "--allowed-ips=127.0.0.1"});
        if (!process_.waitForStarted()) {
            why = "chromedriver does not start";
            return false;
        }
        for (int k = 0; k < 200 && Call("GET", "/status").status != 200; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        QJsonArray args{"--headless=new",
                        "--no-sandbox",
                        "--disable-gpu",
                        "--disable-quic",
                        "--no-first-run",
                        "--disable-background-networking",
                        "--disable-component-update",
                        "--disable-sync",
                        "--disable-dev-shm-usage",
                        "--user-data-dir=" + QString::fromStdString(profile)};
        const QJsonObject options{
            {"binary", chromium},
            {"args", args},
            {"mobileEmulation",
             QJsonObject{{"deviceMetrics",
                          QJsonObject{{"width", 412}, {"height", 915}, {"pixelRatio", 2.6}}}}}};
        const QJsonObject capabilities{
            {"capabilities",
             QJsonObject{{"alwaysMatch", QJsonObject{{"browserName", "chrome"},
                                                     {"goog:chromeOptions", options}}}}}};
        const Reply session = Call("POST", "/session", capabilities);
        session_ = Value(session).toObject()["sessionId"].toString().toUtf8();
        if (session_.isEmpty()) {
            why = "no browser session: " + QString::fromUtf8(session.body.left(400));
            return false;
        }
        return true;
    }
    ~Browser() {
        if (!session_.isEmpty()) {
            Call("DELETE", "/session/" + session_);
        }
        process_.terminate();
        process_.waitForFinished(5000);
    }

    Reply Call(const QByteArray& method, const QByteArray& path, const QJsonObject& body = {}) {
        const QByteArray json =
            method == "POST" ? QJsonDocument(body).toJson(QJsonDocument::Compact) : QByteArray();
        return Exchange(port_, Request(method, path, json));
    }
    static QJsonValue Value(const Reply& reply) {
        return QJsonDocument::fromJson(reply.body).object()["value"];
    }
    QByteArray Session() const { return "/session/" + session_; }

    QJsonValue Script(const QString& script) {
        return Value(Call("POST", Session() + "/execute/sync",
                          QJsonObject{{"script", script}, {"args", QJsonArray{}}}));
    }
    QString Find(const QString& css) {
        const QJsonObject found =
            Value(Call("POST", Session() + "/element",
                       QJsonObject{{"using", "css selector"}, {"value", css}}))
                .toObject();
        return found[kElementKey].toString();
    }
    // A finger on the element; `holdMs` later it is lifted, or it stays down (negative).
    void Touch(const QString& element, int holdMs) {
        QJsonArray steps{QJsonObject{{"type", "pointerMove"},
                                     {"duration", 0},
                                     {"origin", QJsonObject{{kElementKey, element}}},
                                     {"x", 0},
                                     {"y", 0}},
                         QJsonObject{{"type", "pointerDown"}, {"button", 0}}};
        if (holdMs >= 0) {
            steps.append(QJsonObject{{"type", "pause"}, {"duration", holdMs}});
            steps.append(QJsonObject{{"type", "pointerUp"}, {"button", 0}});
        }
        const QJsonObject finger{{"type", "pointer"},
                                 {"id", "finger"},
                                 {"parameters", QJsonObject{{"pointerType", "touch"}}},
                                 {"actions", steps}};
        Call("POST", Session() + "/actions", QJsonObject{{"actions", QJsonArray{finger}}});
    }

  private:
    QProcess process_;
    quint16 port_ = 0;
    QByteArray session_;
};
