// ardelctl codebase list: the catalogue of a device root, as the Home Devices list shows it.
#include <QDir>
#include <QFileInfo>

#include "app/ctl/Commands.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "store/Catalogue.h"

int CodebaseListCommand(const CodebaseListOptions& options, CtlStreams io) {
    const QString root = QString::fromStdString(options.root);
    if (!QFileInfo(root).isDir()) {
        io.err << "ardelctl codebase list: '" << root.toStdString() << "' is not a folder\n";
        return 1;
    }
    HostHandheldFs fs(QDir(root).absolutePath().toStdString());
    CRemoteModel model(RemoteServices{&fs, nullptr, nullptr, {}});
    const std::vector<CodebaseEntry> entries =
        model.Codebases(FoldersFor(QString::fromStdString(fs.ProgramPath())));
    for (const CodebaseEntry& entry : entries) {
        io.out << CategoryName(entry.category) << "\t" << entry.deviceName.toStdString() << "\t"
               << entry.path.toStdString() << "\n";
    }
    return 0;
}
