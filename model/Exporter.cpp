#include "model/Exporter.h"

#include <algorithm>
#include <vector>

#include "model/ButtonStore.h"
#include "store/CCodebaseFile.h"

ExportError ExportCodebase(HandheldFs& fs, const QString& path, RemoteFormat format,
                           const QString& button, int number, QByteArray& out) {
    out.clear();
    std::vector<QString> names;
    QString remoteName;
    {
        CCodebaseFile codebase(&fs);
        if (codebase.Open(path, CPdbFile::kModeRead) != kPdbOk) {
            return kExportNotOpened;
        }
        if (!codebase.IsCodebase()) {
            return kExportNotACodebase;
        }
        remoteName = codebase.GetName();
        for (int index = 1; index < codebase.GetRecordCount(); ++index) {
            ButtonRecord record;
            if (codebase.ParseButtonRecord(index, record)) {
                names.push_back(FromFileBytes(record.name.constData(), record.name.size()));
            }
        }
    }
    if (!button.isEmpty()) {
        if (std::find(names.begin(), names.end(), button) == names.end()) {
            return kExportNoButton;
        }
        names = {button};
    }
    std::vector<ExportButton> buttons;
    for (const QString& name : names) {
        ExportButton exported{name, {}};
        // The same road as sending takes, so what is exported is what the remote sends.
        if (ReadButtonSignal(fs, path, name, number, exported.signal) == kStoreOk) {
            buttons.push_back(exported);
        }
    }
    if (buttons.empty()) {
        return button.isEmpty() ? kExportEmpty : kExportNoButton;
    }
    out = WriteRemoteFile(format, remoteName, buttons);
    return kExportOk;
}
