// The simulated handheld in interactive use: its clock keeps pace with the wall clock, its
// stylus is the host's pointer button, and the device's own remote lies beside it, ready
// to press whichever button the program is about to learn.
#pragma once

#include "app/program/SimRemoteHand.h"

class CDUWnd;
class SimHandheld;

// Paces the handheld's clock to real time and lets its stylus follow the pointer button
// that the remote window's pen gate watches.
void AttachInteractive(SimHandheld& handheld, CDUWnd& window);
