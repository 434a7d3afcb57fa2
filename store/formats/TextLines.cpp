#include "store/formats/TextLines.h"

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

void AddComment(const QByteArray& line, std::vector<QString>& comments) {
    const QString text = QString::fromUtf8(line.mid(1)).trimmed();
    if (!text.isEmpty()) {
        comments.push_back(text);
    }
}

ImportResult ReadRemoteLines(const QByteArray& content, const QString& fileName,
                             ImportedRemote& remote,
                             const std::function<bool(const TextLine&, QString&)>& readLine,
                             const std::function<bool(int, QString&)>& readEnd,
                             const QString& noButtons, int noButtonsLine) {
    ImportResult result;
    std::vector<TextLine> lines;
    if (!SplitTextLines(content, fileName, lines, result.error)) {
        return result;
    }
    remote.line = 1;
    for (const TextLine& line : lines) {
        if (line.text.startsWith('#')) {
            AddComment(line.text, remote.comments);
            continue;
        }
        if (line.text.isEmpty()) {
            continue;
        }
        if (!readLine(line, result.error)) {
            return result;
        }
    }
    const int lastLine = lines.back().number;  // a file has one line at least, if empty
    if (!readEnd(lastLine, result.error)) {
        return result;
    }
    if (remote.buttons.empty()) {
        result.error = LineError(fileName, noButtonsLine > 0 ? noButtonsLine : lastLine, noButtons);
        return result;
    }
    result.remotes.push_back(std::move(remote));
    return result;
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
