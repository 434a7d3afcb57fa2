// How the program introduces itself: its version line, and to the desktop its icon and the
// name of its .desktop file, so that task bars and docks match its windows to the menu entry.
#pragma once

#include <QIcon>
#include <QString>

// "ardelremote 0.1": the program's name and the project's version.
QString VersionLine(const QString& program);

// The icon, in every size drawn for the desktop.
QIcon ProgramIcon();

// Gives the application the icon and the desktop file name; call once a QApplication exists.
void IntroduceToDesktop();
