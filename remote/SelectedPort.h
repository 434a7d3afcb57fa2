// The serial port that switches the handheld's IR transceiver on, handed to the driver
// before every send and every capture. One value for the whole process: the start-up
// guess, then the preference file, then the IR Setup dialog, the last one winning.
#pragma once

#include <string>

const std::string& SelectedIrPort();
void SetSelectedIrPort(const std::string& port);
// "COM0" and the empty name stand for no port at all.
bool IsIrPortSelected(const std::string& port);
