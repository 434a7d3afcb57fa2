// Shared pieces of the tests of the remote file formats.
#pragma once

#include <QFile>
#include <QString>
#include <vector>

#include "ImportedRemote.h"
#include "IrSignal.h"

inline QByteArray Fixture(const char* name) {
    QFile file(QStringLiteral(ARDEL_TEST_DATA "/formats/fixtures/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::vector<int32_t> Durations(const IrSignal& signal) {
    return {signal.durations, signal.durations + signal.count};
}

inline IrSignal SignalOf(std::vector<int32_t> durations, uint8_t frameStart, uint8_t carrierUs) {
    IrSignal signal;
    signal.count = static_cast<uint8_t>(durations.size());
    std::copy(durations.begin(), durations.end(), signal.durations);
    signal.frameStart = frameStart;
    signal.carrierPeriod = carrierUs;
    return signal;
}

// The button of that name in the only remote of `result`; fails the test when there is none.
inline const ImportedButton* ButtonNamed(const ImportResult& result, const QString& name) {
    if (result.remotes.size() != 1) {
        return nullptr;
    }
    for (const ImportedButton& button : result.remotes.front().buttons) {
        if (button.name == name) {
            return &button;
        }
    }
    return nullptr;
}
