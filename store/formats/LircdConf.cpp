#include "LircdConf.h"

ImportResult ReadLircdConf(const QByteArray&, const QString& fileName) {
    ImportResult result;
    result.error = QStringLiteral("%1: LIRC remote files cannot be read yet.").arg(fileName);
    return result;
}
