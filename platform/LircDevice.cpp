#include "platform/LircDevice.h"

#include <linux/lirc.h>

#include <vector>

bool LircDeviceInfo::CanSend() const {
    return (features & LIRC_CAN_SEND_PULSE) != 0;
}
bool LircDeviceInfo::CanReceive() const {
    return (features & LIRC_CAN_REC_MODE2) != 0;
}
bool LircDeviceInfo::CanMeasureCarrier() const {
    return (features & LIRC_CAN_MEASURE_CARRIER) != 0;
}
bool LircDeviceInfo::HasWideband() const {
    return (features & LIRC_CAN_USE_WIDEBAND_RECEIVER) != 0;
}
bool LircDeviceInfo::CanSetDutyCycle() const {
    return (features & LIRC_CAN_SET_SEND_DUTY_CYCLE) != 0;
}
bool LircDeviceInfo::CanSetCarrier() const {
    return (features & LIRC_CAN_SET_SEND_CARRIER) != 0;
}

std::string LircDeviceInfo::FeatureList() const {
    std::vector<std::string> names;
    if (CanSend()) {
        names.emplace_back("send");
    }
    if (CanReceive()) {
        names.emplace_back("receive");
    }
    if (CanMeasureCarrier()) {
        names.emplace_back("carrier");
    }
    if (HasWideband()) {
        names.emplace_back("wideband");
    }
    if (CanSetCarrier()) {
        names.emplace_back("set-carrier");
    }
    if (CanSetDutyCycle()) {
        names.emplace_back("duty-cycle");
    }
    if (resolutionUs != 0) {
        names.emplace_back("resolution=" + std::to_string(resolutionUs) + "us");
    }
    if (names.empty()) {
        return "-";
    }
    std::string list = names[0];
    for (size_t i = 1; i < names.size(); ++i) {
        list += "," + names[i];
    }
    return list;
}
