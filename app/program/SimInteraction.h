// The simulated handheld in interactive use: its clock keeps pace with the wall clock, its
// stylus is the host's pointer button, and the device's own remote lies beside it, ready
// to press whichever button the program is about to learn.
#pragma once

#include <cstdint>

class CDUWnd;
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

// Paces the handheld's clock to real time and lets its stylus follow the pointer button
// that the remote window's pen gate watches.
void AttachInteractive(SimHandheld& handheld, CDUWnd& window);
