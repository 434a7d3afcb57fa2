// What each learnt button of a codebase is by protocol name, for Home Devices and ardelctl.
#pragma once

#include <QString>
#include <vector>

#include "ir/protocols/IrProtocol.h"
#include "model/ButtonStore.h"

class HandheldFs;

// One stored signal of a button, decoded.
struct ButtonCode {
    QString button;
    int signal = 1;                        // 1 or 2
    const IrProtocol* protocol = nullptr;  // nullptr: raw, no protocol fits
    IrFrame frame;                         // meaningful only with a protocol
};

// Every stored signal of every button of the codebase at `path`, in record order.
// kStoreNotOpened or kStoreNotACodebase leave `rows` empty.
StoreResult DecodeButtons(HandheldFs& fs, const QString& path, std::vector<ButtonCode>& rows);
