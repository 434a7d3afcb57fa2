// Reader of LIRC remote definitions (lircd.conf): raw and encoded remotes, each button as
// the signal LIRC itself sends for it while held (the first transmission, then the repeats).
#pragma once

#include <QByteArray>
#include <QString>

#include "store/formats/ImportedRemote.h"

// `fileName` is only used in messages.
ImportResult ReadLircdConf(const QByteArray& content, const QString& fileName);
