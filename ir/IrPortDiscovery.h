// Which serial port switches the handheld's IR transceiver on: a guess from the system's
// list of active drivers, and the list of serial ports for the user to choose from.
#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"

// The infrared port as the active drivers suggest it: the last driver whose settings key
// names IrDA, else "COM2:"; with the OBEX server on (which holds the infrared port), another
// port, "COM1:" first. "COM1:" when the active-driver list cannot be read.
std::string DetectIrPort(Registry& registry);

// One entry per active serial driver: its port name, a blank and its friendly name.
std::vector<std::string> ListSerialPorts(Registry& registry);

// The port that an IR Setup entry selects: its text up to and including the first colon,
// at most six characters; empty when the entry has no colon.
std::string PortOfEntry(const std::string& entry);
