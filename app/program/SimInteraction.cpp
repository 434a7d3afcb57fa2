#include "app/program/SimInteraction.h"

#include "platform/sim/SimHandheld.h"
#include "remote/CDUWnd.h"
#include "remote/CPenGate.h"

void AttachInteractive(SimHandheld& handheld, CDUWnd& window) {
    handheld.Clock().SetPaced(true);
    CPenGate* gate = &window.PenGate();
    handheld.SetStylusSource([gate] { return gate->IsDown(); });
}
