// The formats of foreign remote files that the program imports and exports, guessing a
// file's format from its content, and reading and writing any of them.
#pragma once

#include <QByteArray>
#include <QString>
#include <span>

#include "store/formats/ExportButton.h"
#include "store/formats/ImportedRemote.h"

enum class RemoteFormat { Guess, Lircd, Pronto, Flipper, Broadlink };

// "lircd", "pronto", "flipper", "broadlink" (letter case ignored); false for another name.
bool ParseRemoteFormat(const QString& name, RemoteFormat& format);
const char* RemoteFormatName(RemoteFormat format);

// What the content looks like; Guess when it looks like none of them.
RemoteFormat GuessRemoteFormat(const QByteArray& content);

// Files larger than this are no remote files; reading one is refused before it is loaded.
constexpr qint64 kMaxRemoteFileBytes = 16 * 1024 * 1024;

// Reads `content` in `format` (guessing it with Guess). An empty file, one too large, one
// that is no file of IR codes, or a malformed one gives an `error` that names `fileName`
// and the line, and no remotes.
ImportResult ReadRemoteFile(const QByteArray& content, const QString& fileName,
                            RemoteFormat format);

// A file of `buttons` in `format` (not Guess). Pronto and Broadlink files are one
// "NAME: CODE" line per button; `remoteName` names the remote where the format has a place
// for it.
QByteArray WriteRemoteFile(RemoteFormat format, const QString& remoteName,
                           std::span<const ExportButton> buttons);

// Reads the host file at `hostPath` as ReadRemoteFile does, refusing a file too large before
// loading it; messages name the file as given.
ImportResult ReadRemoteFileAt(const QString& hostPath, RemoteFormat format);
