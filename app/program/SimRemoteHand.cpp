#include "app/program/SimRemoteHand.h"

#include "model/CRemoteModel.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimRemotes.h"

void InstallSimRemoteHand(SimHandheld& handheld, CRemoteModel& model, const SimRemoteHand& hand) {
    model.beforeCapture = [&handheld, hand](const QString& name, int category) {
        const SimRemote* remote = FindSimRemote(category);
        const std::string button = name.toStdString();
        if (!remote || !remote->HasButton(button)) {
            handheld.Air().StopPlaying();
            return;
        }
        RemoteWaveform waveform = remote->Press(button, hand.holdMs);
        waveform.delayNs = hand.delayNs;
        handheld.Air().Play(waveform, handheld.Clock().Now());
    };
    // The handheld's receiver hears its own emitter for the learning check.
    model.ownReceiver.listen = [&handheld] { handheld.ListenToOwnEmitter(); };
    model.ownReceiver.hear = [&handheld] { return handheld.HearOwnEmitter(); };
}
