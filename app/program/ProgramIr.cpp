#include "app/program/ProgramIr.h"

#include "ir/CLircIrDriver.h"
#include "ir/IrFactory.h"
#include "ir/IrPortDiscovery.h"
#include "platform/host/HostLircDevice.h"
#include "platform/host/LircPlatform.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimProfile.h"

CProgramIr::CProgramIr(const IrChoice& choice, std::function<bool()> held, LircClock* lircClock)
    : choice_(choice), held_(std::move(held)), lircClock_(lircClock) {
    handheld_ = std::make_unique<SimHandheld>(*FindSimProfile(choice.chip));
    drivers_ = std::make_unique<CIrDriverFactory>(*handheld_);
}

// The drivers go before the devices and the handheld they drive.
CProgramIr::~CProgramIr() {
    lircDriver_.reset();
    drivers_.reset();
}

CIrDriver* CProgramIr::DriverFor(const std::string& port) {
    std::string transmitter, receiver;
    if (!LircPortDevices(port, transmitter, receiver)) {
        return drivers_->GetIrDriver();
    }
    if (!lircDriver_) {
        lircTransmitter_ = std::make_unique<HostLircDevice>();
        lircReceiver_ = std::make_unique<HostLircDevice>();
        if (!lircClock_) {
            hostClock_ = std::make_unique<HostLircClock>();
            lircClock_ = hostClock_.get();
        }
        lircPlatform_ = std::make_unique<LircPlatform>([this] { return held_ && held_(); });
        lircDriver_ = std::make_unique<CLircIrDriver>(*lircPlatform_, *lircTransmitter_,
                                                      *lircReceiver_, *lircClock_);
    }
    lircDriver_->SetDevices(transmitter, receiver);
    return lircDriver_.get();
}

std::string CProgramIr::StartPort() {
    return choice_.lirc ? choice_.Port() : DetectIrPort(handheld_->Registry());
}
