// Taking a codebase, or one of its buttons, to a foreign remote file.
#pragma once

#include <QByteArray>
#include <QString>

#include "store/formats/RemoteFormats.h"

class HandheldFs;

enum ExportError : int {
    kExportOk = 0,
    kExportNotOpened,     // the codebase could not be opened
    kExportNotACodebase,  // the file holds something else
    kExportNoButton,      // the button asked for has no record
    kExportEmpty,         // the codebase has no button with a signal
};

// Writes signal `number` (1 or 2; a button with one signal gives it for both) of `button`, or
// of every button when `button` is empty, of the codebase at `path` as a file in `format`.
// The remote is named after the codebase.
ExportError ExportCodebase(HandheldFs& fs, const QString& path, RemoteFormat format,
                           const QString& button, int number, QByteArray& out);
