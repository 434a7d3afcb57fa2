// What a reader of a foreign remote file hands on: the remotes found in the file, each with
// its buttons as signals in the project's own form, or the reason a button was left out.
// Readers do not touch the device root; putting remotes into codebases is the importer's job.
#pragma once

#include <QString>
#include <vector>

#include "ir/IrSignal.h"

struct ImportedButton {
    QString name;                     // as the file names it, not yet cut to a record name
    std::vector<IrSignal> irSignals;  // 1, or 2 for a button whose presses alternate (toggle)
    int line = 0;                     // line (or entry) of the file where the button starts
    QString skipped;                  // not empty: why the button is not imported; no signals
};

struct ImportedRemote {
    QString name;  // the remote's own name; empty when the file gives none
    int line = 0;  // where the remote starts in the file
    std::vector<ImportedButton> buttons;
    // The file's comments on this remote (without their '#'): hints of the device it
    // controls.
    std::vector<QString> comments = {};
};

struct ImportResult {
    std::vector<ImportedRemote> remotes;
    // Not empty when the file as a whole cannot be read; names the file and the line.
    // Nothing of such a file is imported.
    QString error;
    // Parts of a readable file that were left out as a whole (a LIRC file's include of other
    // files), each naming the file and the line; shown beside the summary of the import.
    std::vector<QString> notes;
};
