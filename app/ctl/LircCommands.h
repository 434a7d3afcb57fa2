// ardelctl lirc list / lirc learn / lirc send: the kernel's LIRC devices. Each command takes
// its parsed options, the devices and clock to use, and the streams, and returns the exit
// status (0 done, 1 the device failed, 2 bad input).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "app/ctl/Commands.h"
#include "model/Operations.h"
#include "platform/host/HostLircDevice.h"

class CRemoteModel;
struct IrSignal;

// What the commands reach the system through; the real ones for ardelctl, test devices
// in the tests.
struct LircServices {
    LircDevice& transmitter;
    LircDevice& receiver;
    LircDevice& probe;  // for listing
    LircClock& clock;
    LircRoots roots;
};

struct LircListOptions {
    std::vector<std::string> paths;  // listed too, beside every lircN of the dev root
};

struct LircLearnOptions {
    std::string device;
    uint32_t timeoutMs = 20000;  // the wait for the first pulse
    CodebaseTarget codebase;     // where to store what was learnt, if given
};

struct LircSendOptions {
    std::string device;
    uint32_t repeat = 0;  // as the driver's Send: 0 three passes and more while held
    uint32_t holdMs = 0;  // how long the button stays held
    std::string file;     // the durations; standard input when empty or "-"
    uint32_t carrierUs = 0;
    uint32_t frameStart = 0;
    CodebaseTarget codebase;  // the button to send instead of the durations, if given
};

// One line per device: path, driver name ("-" when unknown), features; tab-separated.
int RunLircList(const LircListOptions& options, LircServices& services, std::ostream& out,
                std::ostream& err);
// Prints result, carrier_us (the protocol's, or 26, when the receiver measured none),
// frame_start, count and durations, then frame, cut and checked (skipped: the devices are not
// known to face each other).
int RunLircLearn(const LircLearnOptions& options, LircServices& services, std::ostream& out,
                 std::ostream& err);
// Sends with the model, the codebase at `codebasePath` when one was given, calling
// `holdFromNow` as the send starts; fills `sent` and gives 0, or the exit status when nothing
// could be sent.
using LircPress = std::function<int(CRemoteModel& model, const QString& codebasePath,
                                    const std::function<void()>& holdFromNow, PressOutcome& sent)>;

// Opens the transmitter `device` under a remote model, lets `press` send with it, the button
// held for `holdMs` from the start of the send; prints result.
int SendThroughLirc(LircServices& services, const std::string& device,
                    const CodebaseTarget& codebase, uint32_t holdMs, const LircPress& press,
                    std::ostream& out, std::ostream& err);

// Prints result.
int RunLircSend(const LircSendOptions& options, LircServices& services, std::istream& in,
                std::ostream& out, std::ostream& err);
