// Pronto hex codes: words of four hexadecimal digits. A learned code is "0000", the
// frequency word, the number of burst pairs sent once, the number of burst pairs that repeat
// while the button is held, then the pairs (a mark and a space, in carrier cycles); "0100"
// is the same without a carrier. Files hold one code per line or several, or "NAME: CODE"
// lines.
#pragma once

#include <QByteArray>
#include <QString>

#include "ir/IrSignal.h"
#include "store/formats/ImportedRemote.h"

// The time unit of the frequency word in microseconds: a word of W stands for a carrier
// period of W units.
constexpr double kProntoUnitUs = 0.241246;

// `fileName` is only used in messages and as the remote's name.
ImportResult ReadPronto(const QByteArray& content, const QString& fileName);

// The learned code of a signal: the intro up to the repeating frame, then the frame.
QString ProntoCode(const IrSignal& signal);
