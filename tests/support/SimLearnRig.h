// The remote model on a simulated handheld whose files lie in a folder of the host, with
// the device's own remote beside it: whenever a read starts, the remote plays `wave`. What
// the program and ardelctl learn this way can be compared file for file.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"

class SimLearnRig {
  public:
    // `wave` must outlive the rig.
    SimLearnRig(const char* chip, const std::filesystem::path& folder, const RemoteWaveform& wave)
        : handheld(*FindSimProfile(chip)),
          drivers(handheld),
          fs(folder.string()),
          model(Services(fs, drivers)) {
        model.SetIrPort(SimIrPortName(handheld.Profile()));
        model.beforeCapture = [this, &wave](const QString&, int) {
            handheld.Air().Play(wave, handheld.Clock().Now());
        };
    }

    SimHandheld handheld;
    CIrDriverFactory drivers;
    HostHandheldFs fs;
    CRemoteModel model;

  private:
    static RemoteServices Services(HandheldFs& fs, CIrDriverFactory& drivers) {
        RemoteServices services;
        services.fs = &fs;
        services.driver = [&drivers] { return drivers.GetIrDriver(); };
        return services;
    }
};

// The bytes of a codebase file, without the dates that tell when it was written.
inline std::vector<char> CodebaseBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    for (size_t k = 36; k < 48 && k < bytes.size(); ++k) {
        bytes[k] = 0;  // creation, modification and backup dates
    }
    return bytes;
}
