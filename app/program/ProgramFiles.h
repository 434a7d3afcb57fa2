// The program's own files on the handheld: the skins and sounds built into the program,
// which every program that owns a device root (the window and the service) puts there.
#pragma once

#include <QString>
#include <string>

// Puts the program's skins and sounds below the device root's program folder when that
// folder has none yet (the first start); false when they could not be written.
bool InstallProgramFiles(const std::string& root, QString& error);

// The device root used when none is given: a folder under the user's data directory.
QString DefaultDeviceRoot();
