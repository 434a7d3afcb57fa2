#include "store/formats/LircdConf.h"

#include <QSet>
#include <algorithm>

#include "store/formats/LircdParser.h"
#include "store/formats/LircdTransmitter.h"

// The file is read into its remotes as it describes them; the transmitter then makes of
// each button the signal LIRC sends while it is held.

using namespace lircd;

namespace {

ImportedRemote Import(const LircRemote& remote) {
    ImportedRemote imported;
    imported.name = remote.name;
    imported.line = remote.line;
    imported.comments = remote.comments;
    CLircTransmitter transmitter(remote);
    const QString remoteReason = transmitter.Check();
    const std::vector<uint64_t> toggles = transmitter.ToggleStates();

    QSet<QString> seen;
    const auto add = [&](const QString& name, int line, const LircCode* code,
                         const LircRawCode* raw) {
        ImportedButton button;
        button.name = name;
        button.line = line;
        if (!remoteReason.isEmpty()) {
            button.skipped = remoteReason;
        } else if (seen.contains(name)) {
            button.skipped = QStringLiteral("the name is defined again; LIRC sends the first.");
        } else {
            for (uint64_t toggle : toggles) {
                IrSignal signal;
                QString reason;
                if (!transmitter.Held(code, raw, toggle, signal, reason)) {
                    button.irSignals.clear();
                    button.skipped = reason;
                    break;
                }
                const bool repeated = !button.irSignals.empty() &&
                                      std::equal(signal.durations, signal.durations + signal.count,
                                                 button.irSignals.front().durations,
                                                 button.irSignals.front().durations +
                                                     button.irSignals.front().count) &&
                                      signal.count == button.irSignals.front().count;
                if (!repeated) {
                    button.irSignals.push_back(signal);
                }
            }
        }
        seen.insert(name);
        imported.buttons.push_back(std::move(button));
    };
    for (const LircRawCode& raw : remote.rawCodes) {
        add(raw.name, raw.line, nullptr, &raw);
    }
    for (const LircCode& code : remote.codes) {
        add(code.name, code.line, &code, nullptr);
    }
    return imported;
}

}  // namespace

ImportResult ReadLircdConf(const QByteArray& content, const QString& fileName) {
    ImportResult result;
    std::vector<LircRemote> remotes;
    if (!ParseLircdConf(content, fileName, remotes, result.notes, result.error)) {
        result.notes.clear();
        return result;
    }
    for (const LircRemote& remote : remotes) {
        result.remotes.push_back(Import(remote));
    }
    return result;
}
