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
#include "tests/service/WebDriverSession.h"
#include "tests/support/TempFolder.h"

namespace {

class WebRemoteTest : public testing::Test {
  protected:
    void SetUp() override {
        host = StartSonyHost(root.Path().string(), log);
        ASSERT_TRUE(host);
        QString why;
        if (!browser.Start(root / "profile", why)) {
            GTEST_SKIP() << why.toStdString();
        }
        browser.Call(
            "POST", browser.Session() + "/url",
            QJsonObject{{"url", QStringLiteral("http://127.0.0.1:%1/").arg(host->Port())}});
        for (int k = 0;
             k < 200 &&
             browser.Script("return document.body.dataset.ready || ''").toString() != "1";
             ++k) {
            Pump(50);
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
    // At least a few passes: under a sanitizer on a busy machine the handheld falls behind
    // the wall clock and fits fewer passes into the same hold.
    const int passes = Marks(lines[1]) / frameMarks;
    EXPECT_GE(passes, 4) << lines[1];
    EXPECT_TRUE(SameSend(lines[1], Passes(volume, passes))) << lines[1];

    // The finger stays on Vol+ and the tab is closed: the send still ends.
    browser.Touch(browser.Find("[data-form=\"0\"] [data-button=\"Vol+\"]"), -1);
    Pump(300);
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
