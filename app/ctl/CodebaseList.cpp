// ardelctl codebase list: the catalogue of a device root, as the Home Devices list shows it.
#include <QDir>
#include <QFileInfo>

#include "Catalogue.h"
#include "Commands.h"
#include "HostHandheldFs.h"
#include "Options.h"

namespace {

constexpr const char* kListUsage = "usage: ardelctl codebase list [--root DIR]";

}  // namespace

int RunCodebaseList(const CtlArgs& args, std::istream&, std::ostream& out, std::ostream& err) {
    CtlOptions options;
    std::string error;
    if (!options.Parse(args, {"--root"}, error) || !options.Positional().empty()) {
        err << "ardelctl codebase list: " << (error.empty() ? "unexpected argument" : error) << "\n"
            << kListUsage << "\n";
        return 2;
    }
    const QString root = QString::fromStdString(options.Text("--root", "."));
    if (!QFileInfo(root).isDir()) {
        err << "ardelctl codebase list: '" << root.toStdString() << "' is not a folder\n";
        return 1;
    }
    HostHandheldFs fs(QDir(root).absolutePath().toStdString());
    std::vector<CodebaseEntry> entries;
    ScanCodebases(fs, FoldersFor(QString::fromStdString(fs.ProgramPath())), entries);
    for (const CodebaseEntry& entry : entries) {
        out << CategoryName(entry.category) << "\t" << entry.deviceName.toStdString() << "\t"
            << entry.path.toStdString() << "\n";
    }
    return 0;
}
