// Key names of other remotes' files (the kernel's input layer, LIRC, the Flipper Zero) and
// the on-screen buttons they stand for.
#pragma once

#include <QString>

// A key name as tables hold it: lower case, without "KEY_"/"BTN_" and without blanks,
// underscores and dots ("KEY_VOLUMEUP": "volumeup", "Vol_up": "volup").
QString KeyWord(const QString& name);

// Whether `button` is a button of one of the forms of `category`.
bool IsButtonOf(int category, const QString& button);

// The on-screen button of `category` that a key name stands for ("KEY_VOLUMEUP", "vol_up"
// and "VOL+" are "Vol+"), or empty.
QString OnScreenButtonFor(const QString& keyName, int category);
