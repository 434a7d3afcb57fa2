// Reading the text of a LIRC remote file (lircd.conf) into its remotes, as the file
// describes them.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "store/formats/LircdRemote.h"

// The remotes of `content`, and notes on what of the file was left out as a whole (its
// include lines). False, with `error` naming `fileName` and the line, when the file cannot
// be read as a whole.
bool ParseLircdConf(const QByteArray& content, const QString& fileName,
                    std::vector<lircd::LircRemote>& remotes, std::vector<QString>& notes,
                    QString& error);
