// A button as the writers of foreign remote files take it: its name and one stored signal.
#pragma once

#include <QString>

#include "ir/IrSignal.h"

struct ExportButton {
    QString name;
    IrSignal signal;
};
