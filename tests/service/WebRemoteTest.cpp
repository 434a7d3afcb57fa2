// The web remote in a real browser: Debian's headless chromium, driven through chromedriver
// (WebDriver) on loopback ports, taps and holds the page's buttons while the simulated
// handheld's emitter log shows what went out.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <algorithm>
#include <thread>

#include <gtest/gtest.h>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "model/CRemoteModel.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kElementKey = "element-6066-11e4-a52e-4f735466cecf";

quint16 FreePort() {
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
            why = "no browser session: " + session.body.left(400).toStdString();
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

class WebRemoteTest : public testing::Test {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(InstallProgramFiles(root.Path().string(), error));
        ServiceHostOptions options;
        options.root = QString::fromStdString(root.Path().string());
        options.ir.chip = "pxa255";
        options.emitterLog = QString::fromStdString(log);
        host = std::make_unique<CServiceHost>(options);
        ASSERT_TRUE(host->Start(error)) << error.toStdString();
        bool created = false;
        ASSERT_EQ(
            host->Model().StoreLearnt(kCodebasePath, "Power", power, 1, LearnMode::Single, created),
            kStoreOk);
        ASSERT_EQ(
            host->Model().StoreLearnt(kCodebasePath, "Vol+", volume, 1, LearnMode::Single, created),
            kStoreOk);
        ASSERT_TRUE(host->Model().MakeHot(1, kCodebasePath));
        QString why;
        if (!browser.Start(root / "profile", why)) {
            GTEST_SKIP() << why;
        }
        browser.Call(
            "POST", browser.Session() + "/url",
            QJsonObject{{"url", QStringLiteral("http://127.0.0.1:%1/").arg(host->Port())}});
        for (int k = 0;
             k < 200 &&
             browser.Script("return document.body.dataset.ready || ''").toString() != "1";
             ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_EQ(browser.Script("return document.body.dataset.ready").toString(), "1");
    }
    // Keeps the service's loop going until the emitter log has `count` lines.
    std::vector<std::string> WaitForLines(size_t count) {
        for (int k = 0; k < 10000 && Lines(log).size() < count; ++k) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return Lines(log);
    }

    TempFolder root;
    std::string log = root / "emitted.log";
    const IrSignal power = CodeSignal("SIRC", 1, 21);
    const IrSignal volume = CodeSignal("SIRC", 1, 18);
    std::unique_ptr<CServiceHost> host;
    Browser browser;
};

TEST_F(WebRemoteTest, ThePhoneTapsHoldsAndLetsGo) {
    // The remote fills the phone's width and draws the hot codebase's buttons active.
    EXPECT_EQ(browser
                  .Script("return Math.round(document.getElementById('remote')"
                          ".getBoundingClientRect().width)")
                  .toInt(),
              412);
    EXPECT_EQ(browser
                  .Script("return document.querySelector('[data-form=\"0\"] "
                          "[data-button=\"Power\"]').dataset.state")
                  .toString(),
              "active");
    EXPECT_EQ(browser
                  .Script("return document.querySelector('[data-form=\"0\"] "
                          "[data-button=\"Mute\"]').dataset.state")
                  .toString(),
              "disabled");

    // A tap on Power: the three passes of a tap.
    browser.Touch(browser.Find("[data-form=\"0\"] [data-button=\"Power\"]"), 50);
    std::vector<std::string> lines = WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(SameSend(lines[0], Passes(power, 3))) << lines[0];

    // Vol+ held for 600 ms keeps repeating its 45 ms frame.
    browser.Touch(browser.Find("[data-form=\"0\"] [data-button=\"Vol+\"]"), 600);
    lines = WaitForLines(2);
    ASSERT_EQ(lines.size(), 2u);
    const int frameMarks = static_cast<int>(std::count_if(
        volume.durations, volume.durations + volume.count, [](int32_t d) { return d > 0; }));
    const int passes = Marks(lines[1]) / frameMarks;
    EXPECT_GE(passes, 8) << lines[1];
    EXPECT_TRUE(SameSend(lines[1], Passes(volume, passes))) << lines[1];

    // The finger stays on Vol+ and the tab is closed: the send still ends.
    browser.Touch(browser.Find("[data-form=\"0\"] [data-button=\"Vol+\"]"), -1);
    for (int k = 0; k < 300; ++k) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    browser.Call("DELETE", browser.Session() + "/window");
    lines = WaitForLines(3);
    ASSERT_EQ(lines.size(), 3u) << "the held send ended";
    EXPECT_LE(Marks(lines[2]) / frameMarks, 40);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
