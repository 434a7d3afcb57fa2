#include "mqtt/CMqttNode.h"

#include "mqtt/CMqttBridge.h"
#include "mqtt/CMqttClient.h"

bool SettleMqttNames(MqttSettings& settings, QString& error) {
    if (settings.nodeId.isEmpty()) {
        settings.nodeId = DefaultNodeId();
    }
    if (TopicSafe(settings.nodeId) != settings.nodeId) {
        error = QStringLiteral("the node id takes letters, digits, '-' and '_', not %1")
                    .arg(settings.nodeId);
        return false;
    }
    for (const QString* prefix : {&settings.prefix, &settings.haPrefix}) {
        if (!IsUsablePrefix(*prefix)) {
            error = QStringLiteral("'%1' cannot head MQTT topics (no '+', '#' or empty levels)")
                        .arg(*prefix);
            return false;
        }
    }
    return true;
}

CMqttNode::CMqttNode(CServiceRemote& remote, MqttSettings settings, bool hasReceiver)
    : remote_(remote), settings_(std::move(settings)), hasReceiver_(hasReceiver) {}

CMqttNode::~CMqttNode() {
    if (bridge_) {
        bridge_->Stop();
    }
    bridge_.reset();
    client_.reset();
}

bool CMqttNode::Start(QString& error, std::function<void(const QString&)> log) {
    MqttBroker broker;
    if (!BrokerOf(settings_, broker, error) || !SettleMqttNames(settings_, error)) {
        return false;
    }
    nodeId_ = settings_.nodeId;
    CMqttClient::Options options;
    options.broker = broker;
    options.caFile = settings_.caFile;
    options.clientId = "ardelremote-" + nodeId_;
    options.willTopic = settings_.prefix + '/' + nodeId_ + "/status";
    options.willPayload = "offline";
    options.firstRetry = settings_.firstRetry;
    options.longestRetry = settings_.longestRetry;
    client_ = std::make_unique<CMqttClient>(options);
    MqttBridgeOptions bridge;
    bridge.nodeId = nodeId_;
    bridge.prefix = settings_.prefix;
    bridge.haPrefix = settings_.haPrefix;
    bridge.brokerName = RedactedUrl(settings_.url);
    bridge.hasReceiver = hasReceiver_;
    bridge_ = std::make_unique<CMqttBridge>(remote_, *client_, bridge);
    bridge_->log = std::move(log);
    client_->Start();
    return true;
}
