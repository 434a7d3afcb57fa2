#include "app/ctl/ImportCommands.h"

#include <QDir>
#include <QFileInfo>

#include "app/ctl/Commands.h"
#include "app/ctl/HostCodebase.h"
#include "model/CRemoteModel.h"
#include "model/Exporter.h"
#include "model/Importer.h"
#include "platform/host/HostHandheldFs.h"
#include "store/Catalogue.h"
#include "store/formats/RemoteFormats.h"

namespace {

std::string CategoryList() {
    std::string names;
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        names += std::string(names.empty() ? "" : ", ") + CategoryName(category) + " (" +
                 CategoryAbbreviation(category) + ")";
    }
    return names;
}

}  // namespace

int RunImportCommand(const ImportCommandOptions& options, std::ostream& out, std::ostream& err) {
    RemoteFormat format = RemoteFormat::Guess;
    if (!options.format.empty() &&
        !ParseRemoteFormat(QString::fromStdString(options.format), format)) {
        err << "ardelctl import: unknown format '" << options.format
            << "'; formats: lircd, pronto, flipper, broadlink\n";
        return kCtlUsage;
    }
    ImportOptions import;
    if (!options.category.empty()) {
        import.category = CategoryByName(QString::fromStdString(options.category));
        if (import.category == kCategoryUnknown) {
            err << "ardelctl import: unknown category '" << options.category
                << "'; categories: " << CategoryList() << "\n";
            return kCtlUsage;
        }
    }
    import.deviceName = QString::fromStdString(options.name);
    const bool replace = options.replace;
    import.replace = [replace](const QString&, const QString&) { return replace;
};

const QString root = QString::fromStdString(options.root);
if (!QFileInfo(root).isDir()) {
    err << "ardelctl import: '" << options.root << "' is not a folder\n";
    return 1;
}
const ImportResult read = ReadRemoteFileAt(QString::fromStdString(options.file), format);
HostHandheldFs fs(QDir(root).absolutePath().toStdString());
CRemoteModel model(RemoteServices{&fs, nullptr, nullptr, {}});
const ImportReport report = model.Import(FoldersFor(QString::fromStdString(fs.ProgramPath())), read,
                                         QString::fromStdString(options.file), import);
for (const QString& note : report.notes) {
    err << "ardelctl import: " << note.toStdString() << "\n";
}
for (const SkippedButton& skipped : report.skipped) {
    err << "ardelctl import: skipped";
    if (!skipped.button.isEmpty()) {
        err << " '" << skipped.button.toStdString() << "' of";
    } else {
        err << " remote";
    }
    err << " '" << skipped.remote.toStdString() << "' (line " << skipped.line
        << "): " << skipped.reason.toStdString() << "\n";
}
if (report.result != kImportOk) {
    err << "ardelctl import: " << report.error.toStdString();
    if (report.result == kImportNameTaken) {
        err << " Give --replace to replace it, or --name for another name.";
    }
    err << "\n";
    return report.result == kImportBadName ? kCtlUsage : 1;
}
for (const ImportedCodebase& codebase : report.codebases) {
    out << "codebase: " << codebase.path.toStdString() << "\n"
        << "buttons: " << codebase.buttons << "\n";
}
return 0;
}

int RunExportCommand(const ExportCommandOptions& options, std::ostream& out, std::ostream& err) {
    RemoteFormat format = RemoteFormat::Guess;
    if (!ParseRemoteFormat(QString::fromStdString(options.format), format)) {
        err << "ardelctl export: unknown format '" << options.format
            << "'; formats: lircd, pronto, flipper, broadlink\n";
        return kCtlUsage;
    }
    HostCodebase host(options.codebase);
    CRemoteModel model(RemoteServices{&host.Fs(), nullptr, nullptr, {}});
    QByteArray file;
    switch (model.Export(host.Path(), format, QString::fromStdString(options.button),
                         options.signal, file)) {
        case kExportOk:
            out.write(file.constData(), file.size());
            return 0;
        case kExportNotACodebase:
            err << "ardelctl export: '" << options.codebase << "' is not a codebase\n";
            return 1;
        case kExportNoButton:
            err << "ardelctl export: '" << options.codebase << "' has no button '" << options.button
                << "'\n";
            return 1;
        case kExportEmpty:
            err << "ardelctl export: '" << options.codebase << "' has no learnt buttons\n";
            return 1;
        case kExportNotOpened:
            break;
    }
    err << "ardelctl export: cannot open '" << options.codebase << "'\n";
    return 1;
}
