// The device's own remote beside the simulated handheld, ready to press whichever button the
// model is about to learn; the learning check hears the handheld's own emitter.
#pragma once

#include <cstdint>

class CRemoteModel;
class SimHandheld;

struct SimRemoteHand {
    // How long the user holds the remote's button, and how long after the prompt appears
    // the press begins.
    uint32_t holdMs = 600;
    uint64_t delayNs = 700'000'000;
};

// Before every capture of the model the remote of the category presses the button being
// learnt; a remote without that button sends nothing (and the capture times out). Replaces
// the model's earlier capture hook. The learning check hears the handheld's own emitter.
void InstallSimRemoteHand(SimHandheld& handheld, CRemoteModel& model,
                          const SimRemoteHand& hand = {});
