// Broadlink infrared packets, as base64 (the usual form in home-automation set-ups) or as
// hexadecimal text: 0x26 for infrared, a repeat count, the length of the data (16 bits,
// least significant byte first), then the mark and space lengths in units of 269/8192 ms.
// A length of 256 units or more is written as a 0x00 byte and two bytes, most significant
// first. Learnt packets end in 0x0d 0x05 and may be padded with zero bytes.
// Files hold one code per line or "NAME: CODE" lines.
#pragma once

#include <QByteArray>
#include <QString>

#include "ir/IrSignal.h"
#include "store/formats/ImportedRemote.h"

// One unit in microseconds: 269/8192 ms.
constexpr double kBroadlinkUnitUs = 269000.0 / 8192.0;

// `fileName` is only used in messages and as the remote's name.
ImportResult ReadBroadlink(const QByteArray& content, const QString& fileName);

// The packet of a signal's first transmission, base64.
QString BroadlinkCode(const IrSignal& signal);
