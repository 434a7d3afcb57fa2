// Codebase files for fixtures: buttons stored exactly as a learn stores them (the codebase
// made with its first button, the carrier filled in, a toggle button doubled), through the
// store itself rather than through a learn.
#pragma once

#include <QString>

#include "ir/IrSignal.h"
#include "model/ButtonStore.h"

class HandheldFs;

inline StoreResult StoreLearntButton(HandheldFs& fs, const QString& path, const QString& button,
                                     const IrSignal& signal, int number = 1,
                                     LearnMode mode = LearnMode::Single) {
    bool created = false;
    return StoreLearntSignal(fs, path, button, signal, number, mode, created);
}
