// The infrared files of the Flipper Zero (".ir"): a header "Filetype: IR signals file" and
// "Version: 1", then one block per button, each starting with "name:". A block is either
// "type: raw" with "frequency", "duty_cycle" and "data" (mark and space lengths in
// microseconds), or "type: parsed" with "protocol", "address" and "command", the last two
// as four hexadecimal bytes, least significant first.
#pragma once

#include <QByteArray>
#include <QString>
#include <span>

#include "store/formats/ExportButton.h"
#include "store/formats/ImportedRemote.h"

// `fileName` is only used in messages.
ImportResult ReadFlipperIr(const QByteArray& content, const QString& fileName);

// A file of the buttons: parsed where a protocol that the Flipper knows by name recognises
// the signal, raw otherwise.
QByteArray WriteFlipperIr(std::span<const ExportButton> buttons);
