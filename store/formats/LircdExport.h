// Writing a remote as a LIRC remote definition (lircd.conf) of raw codes.
#pragma once

#include <QByteArray>
#include <QString>
#include <span>

#include "store/formats/ExportButton.h"

// One raw remote named `remoteName`: the carrier of the first button as its frequency, the
// longest trailing pause of the buttons as its gap, and each button's first transmission
// without that pause (a raw code ends on a pulse). Names with blanks get underscores, as
// lircd reads a name up to the first blank.
QByteArray WriteLircdConf(const QString& remoteName, std::span<const ExportButton> buttons);
