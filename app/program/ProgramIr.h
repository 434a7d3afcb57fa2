// The IR of a program that owns a device root: the simulated handheld of the chosen chip with
// its drivers, and the kernel's LIRC devices whenever the IR port names them. ardelremote and
// ardelremoted both make one, so that they choose and open the IR alike.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/program/IrChoice.h"

class CIrDriver;
class CIrDriverFactory;
class CLircIrDriver;
class HostLircDevice;
class LircClock;
class LircPlatform;
class SimHandheld;

class CProgramIr {
  public:
    // `held` says whether the press being sent is still held (the pen, or a hold of the
    // service); a LIRC send asks it between passes. `lircClock` stands in for the host's
    // clock (tests).
    CProgramIr(const IrChoice& choice, std::function<bool()> held, LircClock* lircClock = nullptr);
    ~CProgramIr();
    CProgramIr(const CProgramIr&) = delete;
    CProgramIr& operator=(const CProgramIr&) = delete;

    SimHandheld& Handheld() { return *handheld_; }
    // The driver the IR port calls for: the LIRC devices of a "lirc:TX[,RX]" port, else the
    // handheld's own driver (null when its processor has none).
    CIrDriver* DriverFor(const std::string& port);
    // The LIRC driver once a port has named LIRC devices; null before.
    CLircIrDriver* Lirc() { return lircDriver_.get(); }
    // The port to start with: the LIRC devices chosen, else the port that the handheld's
    // active drivers suggest.
    std::string StartPort();

  private:
    IrChoice choice_;
    std::function<bool()> held_;
    LircClock* lircClock_;
    std::unique_ptr<SimHandheld> handheld_;
    std::unique_ptr<CIrDriverFactory> drivers_;
    std::unique_ptr<HostLircDevice> lircTransmitter_;
    std::unique_ptr<HostLircDevice> lircReceiver_;
    std::unique_ptr<LircClock> hostClock_;
    std::unique_ptr<LircPlatform> lircPlatform_;
    std::unique_ptr<CLircIrDriver> lircDriver_;
};
