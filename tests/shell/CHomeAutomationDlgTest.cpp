#include "shell/CHomeAutomationDlg.h"

#include <sys/stat.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "mqtt/MqttSettings.h"
#include "resources/StringText.h"
#include "tests/mqtt/MqttTestSupport.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/TempFolder.h"

namespace {

class HomeAutomation : public testing::Test {
  protected:
    QString Root() const { return QString::fromStdString(root.Path().string()); }
    MqttSettings Saved() {
        MqttSettings settings;
        QString error;
        EXPECT_TRUE(LoadMqttSettings(Root(), settings, error)) << error.toStdString();
        return settings;
    }
    // Types the broker's address and the login into the dialog.
    void Fill(CHomeAutomationDlg& dialog, const QString& url, const QString& user,
              const QString& password) {
        dialog.Broker()->setText(url);
        dialog.User()->setText(user);
        dialog.Password()->setText(password);
    }

    TempFolder root;
    CAnsweringModalRunner modal;
};

TEST_F(HomeAutomation, ShowsTheFileAndSavesTheEditsPrivately) {
    MqttSettings before;
    before.url = "mqtt://old.lan";
    before.nodeId = "den";
    QString error;
    ASSERT_TRUE(SaveMqttSettings(Root(), before, error));

    CHomeAutomationDlg dialog(Root(), modal);
    EXPECT_EQ(dialog.Broker()->text(), "mqtt://old.lan");
    EXPECT_EQ(dialog.Password()->echoMode(), QLineEdit::Password);
    Fill(dialog, "mqtt://broker.lan:1884", "ha", "s3cret");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const MqttSettings after = Saved();
    EXPECT_EQ(after.url, "mqtt://broker.lan:1884");
    EXPECT_EQ(after.user, "ha");
    EXPECT_EQ(after.password, "s3cret");
    EXPECT_EQ(after.nodeId, "den");  // what the dialog does not show stays
    struct stat info {};
    ASSERT_EQ(::stat((root / kMqttSettingsFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(HomeAutomation, AnAddressThatIsNoBrokerIsRefusedAndNothingSaved) {
    CHomeAutomationDlg dialog(Root(), modal);
    Fill(dialog, "http://broker.lan", "", "");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.contains("mqtt://"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(root / kMqttSettingsFileName)));
}

TEST_F(HomeAutomation, TestConnectionSaysWhatTheBrokerAnswered) {
    TempFolder brokerFolder;
    TestBroker broker(brokerFolder.Path().string(), {{"ha", "right"}});
    if (!broker.Available()) {
        GTEST_SKIP() << "mosquitto is not installed";
    }
    ASSERT_TRUE(broker.Start());
    const QString url = QString::fromStdString(broker.Url());
    struct Case {
        QString url, user, password, expected;
    };
    const Case cases[] = {
        {url, "ha", "right", StringText(kStrMqttTestOk, {url})},
        {url, "ha", "wrong", "did not accept the connection: Connection Refused: not authorised"},
        {"mqtt://127.0.0.1:" + QString::number(FreeLoopbackPort()), "", "",
         "did not accept the connection"},
        {"mqtt:/nowhere", "", "", "no broker address"},
    };
    for (const Case& c : cases) {
        modal.messages.clear();
        CHomeAutomationDlg dialog(Root(), modal);
        Fill(dialog, c.url, c.user, c.password);
        QTest::mouseClick(dialog.TestButton(), Qt::LeftButton);
        ASSERT_EQ(modal.messages.size(), 1u) << c.url.toStdString();
        EXPECT_TRUE(modal.messages[0].text.contains(c.expected))
            << modal.messages[0].text.toStdString();
        EXPECT_FALSE(modal.messages[0].text.contains("wrong"));
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(root / kMqttSettingsFileName)));
}

}  // namespace
