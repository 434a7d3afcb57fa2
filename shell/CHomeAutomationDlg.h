// "Home automation...": the MQTT broker that the served remote joins as a node (its address,
// user and password), kept in the device root's settings file, readable by its owner only.
// "Test connection" tries the broker with what the fields say.
#pragma once

#include <QDialog>
#include <QString>

#include "mqtt/MqttSettings.h"

class ModalRunner;
class QLineEdit;
class QPushButton;

class CHomeAutomationDlg : public QDialog {
    Q_OBJECT

  public:
    // How long "Test connection" waits for the broker's answer.
    static constexpr int kTestSeconds = 5;

    // `deviceRoot` is the device root's folder on the host; `modal` shows the messages.
    CHomeAutomationDlg(const QString& deviceRoot, ModalRunner& modal, QWidget* parent = nullptr);

    QLineEdit* Broker() const { return broker_; }
    QLineEdit* User() const { return user_; }
    QLineEdit* Password() const { return password_; }
    QPushButton* TestButton() const { return test_; }

    // Connects once with the fields' settings and says whether the broker accepted.
    void TestConnection();
    // Saves the settings (a broker address that cannot be read is refused).
    void accept() override;

  private:
    // The settings of the file with the fields' values.
    MqttSettings Edited() const;

    QString root_;
    ModalRunner& modal_;
    MqttSettings settings_;
    QLineEdit* broker_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* test_;
};
