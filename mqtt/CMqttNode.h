// A service's node in home automation: the connection to the broker and the bridge on it,
// made from the settings, as ardelremoted and ardelremote --serve both use them.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "mqtt/MqttSettings.h"

class CMqttBridge;
class CMqttClient;
class CServiceRemote;

class CMqttNode {
  public:
    // `hasReceiver`: the IR hears remotes, so the node announces its event entity.
    CMqttNode(CServiceRemote& remote, MqttSettings settings, bool hasReceiver);
    // Says "offline" and leaves the broker.
    ~CMqttNode();
    CMqttNode(const CMqttNode&) = delete;
    CMqttNode& operator=(const CMqttNode&) = delete;

    // Checks the settings and starts connecting (and reconnecting); false with a message
    // for settings that cannot work. `log` is told connection changes and refused commands.
    bool Start(QString& error, std::function<void(const QString&)> log = {});

    const QString& NodeId() const { return nodeId_; }
    CMqttBridge* Bridge() { return bridge_.get(); }
    CMqttClient* Client() { return client_.get(); }

  private:
    CServiceRemote& remote_;
    MqttSettings settings_;
    bool hasReceiver_;
    QString nodeId_;
    std::unique_ptr<CMqttClient> client_;
    std::unique_ptr<CMqttBridge> bridge_;
};

// Checks the node id and the prefixes of `settings`, filling in the default node id; false
// with a message for one that cannot head topics.
bool SettleMqttNames(MqttSettings& settings, QString& error);
