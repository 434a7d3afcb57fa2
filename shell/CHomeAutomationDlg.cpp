#include "shell/CHomeAutomationDlg.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "mqtt/CMqttClient.h"
#include "platform/Modal.h"
#include "resources/StringText.h"

CHomeAutomationDlg::CHomeAutomationDlg(const QString& deviceRoot, ModalRunner& modal,
                                       QWidget* parent)
    : QDialog(parent), root_(deviceRoot), modal_(modal) {
    setWindowTitle("Home automation");
    QString error;
    LoadMqttSettings(root_, settings_, error);  // a file that cannot be read is written anew
    broker_ = new QLineEdit(settings_.url, this);
    broker_->setPlaceholderText("mqtt://HOST:1883");
    user_ = new QLineEdit(settings_.user, this);
    password_ = new QLineEdit(settings_.password, this);
    password_->setEchoMode(QLineEdit::Password);
    test_ = new QPushButton("Test connection", this);
    connect(test_, &QPushButton::clicked, this, &CHomeAutomationDlg::TestConnection);

    auto* form = new QFormLayout;
    form->addRow("Broker", broker_);
    form->addRow("User", user_);
    form->addRow("Password", password_);
    form->addRow(QString(), test_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHomeAutomationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHomeAutomationDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

MqttSettings CHomeAutomationDlg::Edited() const {
    MqttSettings edited = settings_;
    edited.url = broker_->text().trimmed();
    edited.user = user_->text();
    edited.password = password_->text();
    return edited;
}

void CHomeAutomationDlg::TestConnection() {
    const MqttSettings edited = Edited();
    MqttBroker broker;
    QString error;
    if (!BrokerOf(edited, broker, error)) {
        modal_.ShowMessage(this, error);
        return;
    }
    CMqttClient::Options options;
    options.broker = broker;
    options.caFile = edited.caFile;
    // Apart from the served node's own connection, which the broker would otherwise close.
    options.clientId = "ardelremote-settings-test";
    options.firstRetry = std::chrono::seconds(kTestSeconds * 2);
    CMqttClient client(options);
    QEventLoop loop;
    QString failure =
        StringText(kStrMqttTestTimeout, {RedactedUrl(edited.url), QString::number(kTestSeconds)});
    bool accepted = false;
    bool answered = false;  // a refusal may come at once, before the loop runs
    connect(&client, &CMqttClient::Connected, &loop, [&] {
        accepted = answered = true;
        loop.quit();
    });
    connect(&client, &CMqttClient::Disconnected, &loop,
            [&](QString why, bool, std::chrono::milliseconds) {
                if (why.endsWith('.')) {
                    why.chop(1);
                }
                failure = StringText(kStrMqttTestFailed, {RedactedUrl(edited.url), why});
                answered = true;
                loop.quit();
            });
    QTimer::singleShot(kTestSeconds * 1000, &loop, &QEventLoop::quit);
    client.Start();
    if (!answered) {
        loop.exec();
    }
    client.Stop();
    modal_.ShowMessage(this,
                       accepted ? StringText(kStrMqttTestOk, {RedactedUrl(edited.url)}) : failure);
}

void CHomeAutomationDlg::accept() {
    const MqttSettings edited = Edited();
    QString error;
    MqttBroker broker;
    if (!edited.url.isEmpty() && !ParseMqttUrl(edited.url, broker, error)) {
        modal_.ShowMessage(this, error);
        return;
    }
    if (!SaveMqttSettings(root_, edited, error)) {
        modal_.ShowMessage(this, StringText(kStrMqttNotSaved, {error}));
        return;
    }
    modal_.ShowMessage(this, StringText(kStrMqttSaved));
    QDialog::accept();
}
