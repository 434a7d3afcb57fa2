// What every reader of foreign remote files must hand on, whatever the file holds: an error
// and nothing else, or remotes whose buttons are whole signals in the program's form (or
// a reason and no signal). And whatever was read writes out as a file that reads again.
#pragma once

#include <cstdlib>
#include <vector>

#include "store/formats/ExportButton.h"
#include "store/formats/ImportedRemote.h"
#include "store/formats/RemoteFormats.h"

inline void CheckSignal(const IrSignal& signal) {
    if (signal.count == 0 || signal.count > kMaxDurations || signal.frameStart >= signal.count ||
        signal.carrierPeriod == 0) {
        std::abort();
    }
    for (int i = 0; i < signal.count; ++i) {
        // Marks and spaces alternate from a mark on, and the signal ends with its gap.
        if (signal.durations[i] == 0 || (signal.durations[i] > 0) != (i % 2 == 0)) {
            std::abort();
        }
    }
    if (signal.durations[signal.count - 1] > 0) {
        std::abort();
    }
}

inline void CheckImport(const ImportResult& result, RemoteFormat format) {
    if (!result.error.isEmpty()) {
        if (!result.remotes.empty()) {
            std::abort();
        }
        return;
    }
    std::vector<ExportButton> buttons;
    for (const ImportedRemote& remote : result.remotes) {
        for (const ImportedButton& button : remote.buttons) {
            if (button.irSignals.empty() == button.skipped.isEmpty() ||
                button.irSignals.size() > 2) {
                std::abort();
            }
            for (const IrSignal& signal : button.irSignals) {
                CheckSignal(signal);
                buttons.push_back(
                    {button.name.isEmpty() ? QStringLiteral("x") : button.name, signal});
            }
        }
    }
    if (buttons.empty() || format == RemoteFormat::Lircd) {
        return;
    }
    // Names with a colon or line break do not survive a "NAME: CODE" line; the codes must.
    for (ExportButton& button : buttons) {
        button.name = QStringLiteral("b");
    }
    const QByteArray again = WriteRemoteFile(format, QStringLiteral("fuzz"), buttons);
    if (!ReadRemoteFile(again, QStringLiteral("again"), format).error.isEmpty()) {
        std::abort();
    }
}
