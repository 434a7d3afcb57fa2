// Which IR the program uses: the kernel's LIRC devices or the simulated handheld.
#pragma once

#include <QString>
#include <string>

#include "platform/host/HostLircDevice.h"

struct IrChoice {
    bool lirc = false;
    std::string transmitter;  // LIRC device paths; the receiver may be empty (send only)
    std::string receiver;
    std::string chip;  // the simulated handheld's profile, without LIRC

    // How the window's title names it: "LIRC /dev/lirc0" or "simulated pxa255".
    QString Description() const;
    // The IR port that stands for the LIRC devices: "lirc:TX" or "lirc:TX,RX".
    std::string Port() const;
};

// Whether an IR port names LIRC devices, and which: false for a serial port.
bool LircPortDevices(const std::string& port, std::string& transmitter, std::string& receiver);

// The entries IR Setup lists for the LIRC devices found: "lirc:/dev/lirc0 gpio_ir_tx: send".
std::vector<std::string> LircSetupEntries(LircDevice& probe, const LircRoots& roots);

// Reads an --ir value: "sim", "sim:CHIP", "lirc" (the devices found) or "lirc:TX[,RX]".
// False with a message for anything else.
bool ParseIrChoice(const QString& value, IrChoice& choice, QString& error);

// Settles the choice: without --ir (an empty value) the first LIRC device that can send is
// used, with the first that can receive, when there is one; otherwise the simulated
// handheld of `chip`. "lirc" without paths takes the devices found the same way, and says
// so when there are none. False with a message when no choice can be made.
bool ChooseIr(const QString& value, const std::string& chip, LircDevice& probe,
              const LircRoots& roots, IrChoice& choice, QString& error);

// Whether the LIRC transmitter that `port` names can be used: it opens through `probe` and
// can send. False with the reason ("No such file or directory", "it cannot send"); true for
// a port that names no LIRC device.
bool LircPortUsable(const std::string& port, LircDevice& probe, std::string& why);
