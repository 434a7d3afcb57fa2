#include "app/program/ProgramFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

namespace {

// Where the program file lies on the handheld; its skins and sounds lie beside it.
const char* const kProgramFolder = "Program Files/ArdelRemote";

}  // namespace

QString DefaultDeviceRoot() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath("ArdelRemote/device");
}

bool InstallProgramFiles(const std::string& root, QString& error) {
    const QDir program(QDir(QString::fromStdString(root)).filePath(kProgramFolder));
    const QDir rootDir(QString::fromStdString(root));
    if (!rootDir.mkpath("My Documents") || !rootDir.mkpath(kProgramFolder)) {
        error = QStringLiteral("cannot make the folder %1").arg(program.path());
        return false;
    }
    for (const char* folder : {"Skins", "Sounds"}) {
        if (program.exists(folder)) {
            continue;  // installed before; what the user changed there stays
        }
        const QString source = QStringLiteral(":/handheld/") + QString(folder).toLower();
        const QString target = program.filePath(folder);
        if (!program.mkpath(folder)) {
            error = QStringLiteral("cannot make the folder %1").arg(target);
            return false;
        }
        QDirIterator files(source, QDir::Files);
        while (files.hasNext()) {
            files.next();
            const QString to = QDir(target).filePath(files.fileName());
            if (!QFile::copy(files.filePath(), to) ||
                !QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther)) {
                error = QStringLiteral("cannot write %1").arg(to);
                return false;
            }
        }
    }
    return true;
}
