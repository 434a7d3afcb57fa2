#include "TextLines.h"

#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

bool SplitTextLines(const QByteArray& content, const QString& fileName,
                    std::vector<TextLine>& lines, QString& error) {
    lines.clear();
    const QList<QByteArray> raw = content.split('\n');
    int number = 0;
    for (const QByteArray& line : raw) {
        ++number;
        if (line.contains('\0')) {
            error = LineError(fileName, number, QStringLiteral("binary data, not a text file"));
            return false;
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        (void)QString(decoder(line));
        if (decoder.hasError()) {
            error = LineError(fileName, number, QStringLiteral("not UTF-8 text"));
            return false;
        }
        lines.push_back({number, line.trimmed()});
    }
    return true;
}

QString LineError(const QString& fileName, int line, const QString& what) {
    return QStringLiteral("%1: line %2: %3").arg(fileName).arg(line).arg(what);
}

void SplitNamedCode(const QByteArray& line, QString& name, QByteArray& code) {
    const qsizetype colon = line.lastIndexOf(':');
    if (colon < 0) {
        name.clear();
        code = line;
        return;
    }
    name = QString::fromUtf8(line.left(colon)).trimmed();
    code = line.mid(colon + 1).trimmed();
}

QString BaseNameOf(const QString& fileName) {
    return QFileInfo(fileName).completeBaseName();
}
