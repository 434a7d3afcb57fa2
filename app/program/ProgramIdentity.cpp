#include "app/program/ProgramIdentity.h"

#include <QApplication>
#include <QDir>

#include "ArdelVersion.h"

QString VersionLine(const QString& program) {
    return program + QLatin1Char(' ') + QLatin1String(kProgramVersion);
}

QIcon ProgramIcon() {
    // The PNG pictures built into the program; each brings its own size.
    QIcon icon;
    const QDir pictures(QStringLiteral(":/icons"));
    for (const QString& name : pictures.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        icon.addFile(pictures.filePath(name));
    }
    return icon;
}

void IntroduceToDesktop() {
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QLatin1String(kDesktopId));
}
