// Shared pieces of the tests of the remote file formats.
#pragma once

#include <QFile>
#include <QString>
#include <vector>

#include "ir/IrSignal.h"
#include "store/formats/ImportedRemote.h"
#include "tests/support/TestSignals.h"

inline QByteArray Fixture(const char* name) {
    QFile file(QStringLiteral(ARDEL_TEST_DATA "/formats/fixtures/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The button of that name in the only remote of `result`; fails the test when there is none.
inline const ImportedButton* ButtonNamed(const ImportResult& result, const QString& name) {
    if (result.remotes.size() != 1) {
        return nullptr;
    }
    for (const ImportedButton& button : result.remotes.front().buttons) {
        if (button.name == name) {
            return &button;
        }
    }
    return nullptr;
}
