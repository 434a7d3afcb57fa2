#include "store/formats/RemoteFormats.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "store/formats/Broadlink.h"
#include "store/formats/FlipperIr.h"
#include "store/formats/LircdConf.h"
#include "store/formats/LircdExport.h"
#include "store/formats/Pronto.h"
#include "store/formats/TextLines.h"

namespace {

struct FormatName {
    RemoteFormat format;
    const char* name;
};
constexpr FormatName kFormatNames[] = {
    {RemoteFormat::Lircd, "lircd"},
    {RemoteFormat::Pronto, "pronto"},
    {RemoteFormat::Flipper, "flipper"},
    {RemoteFormat::Broadlink, "broadlink"},
};

// The first line that is neither blank nor a comment, and the code part of it.
QByteArray FirstCode(const QByteArray& content) {
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0) {
            end = content.size();
        }
        const QByteArray line = content.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        QString name;
        QByteArray code;
        SplitNamedCode(line, name, code);
        return code;
    }
    return {};
}

ImportResult TooLarge(const QString& fileName, qint64 size) {
    ImportResult result;
    result.error = QStringLiteral(
                       "%1: %2 bytes, more than the %3 MB that a file of IR codes may "
                       "have")
                       .arg(fileName)
                       .arg(size)
                       .arg(kMaxRemoteFileBytes / (1024 * 1024));
    return result;
}

}  // namespace

bool ParseRemoteFormat(const QString& name, RemoteFormat& format) {
    for (const FormatName& known : kFormatNames) {
        if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0) {
            format = known.format;
            return true;
        }
    }
    return false;
}

const char* RemoteFormatName(RemoteFormat format) {
    for (const FormatName& known : kFormatNames) {
        if (known.format == format) {
            return known.name;
        }
    }
    return "guess";
}

RemoteFormat GuessRemoteFormat(const QByteArray& content) {
    const QByteArray head = content.left(64 * 1024);
    if (head.contains('\0')) {
        return RemoteFormat::Guess;
    }
    if (head.trimmed().startsWith("Filetype:")) {
        return RemoteFormat::Flipper;
    }
    static const QRegularExpression beginRemote(
        QStringLiteral("^\\s*begin\\s+remote\\b"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    if (beginRemote.match(QString::fromUtf8(head)).hasMatch()) {
        return RemoteFormat::Lircd;
    }
    const QByteArray code = FirstCode(head);
    static const QRegularExpression pronto(QStringLiteral("^[0-9A-Fa-f]{4}(\\s+[0-9A-Fa-f]{4})+"));
    if (pronto.match(QString::fromLatin1(code)).hasMatch()) {
        return RemoteFormat::Pronto;
    }
    // 0x26 is "Jg" in base64 at the start of a packet.
    static const QRegularExpression broadlink(
        QStringLiteral("^(Jg[A-Za-z0-9+/]*={0,2}|26[0-9A-Fa-f]+)$"));
    if (broadlink.match(QString::fromLatin1(code)).hasMatch()) {
        return RemoteFormat::Broadlink;
    }
    return RemoteFormat::Guess;
}

ImportResult ReadRemoteFile(const QByteArray& content, const QString& fileName,
                            RemoteFormat format) {
    ImportResult result;
    if (content.size() > kMaxRemoteFileBytes) {
        result.error =
            QStringLiteral("%1: %2 bytes, more than the %3 MB a file of IR codes may have")
                .arg(fileName)
                .arg(content.size())
                .arg(kMaxRemoteFileBytes / (1024 * 1024));
        return result;
    }
    if (content.trimmed().isEmpty()) {
        result.error = LineError(fileName, 1, QStringLiteral("the file is empty"));
        return result;
    }
    if (format == RemoteFormat::Guess) {
        format = GuessRemoteFormat(content);
    }
    switch (format) {
        case RemoteFormat::Lircd:
            return ReadLircdConf(content, fileName);
        case RemoteFormat::Pronto:
            return ReadPronto(content, fileName);
        case RemoteFormat::Flipper:
            return ReadFlipperIr(content, fileName);
        case RemoteFormat::Broadlink:
            return ReadBroadlink(content, fileName);
        case RemoteFormat::Guess:
            break;
    }
    const qsizetype nul = content.indexOf('\0');
    const int line = nul < 0 ? 1 : int(content.left(nul).count('\n')) + 1;
    result.error = LineError(fileName, line,
                             nul >= 0 ? QStringLiteral("binary data, not a file of IR codes")
                                      : QStringLiteral("not a file of IR codes that can be read "
                                                       "(lircd.conf, Pronto hex, Flipper .ir, "
                                                       "Broadlink)"));
    return result;
}

QByteArray WriteRemoteFile(RemoteFormat format, const QString& remoteName,
                           std::span<const ExportButton> buttons) {
    QByteArray out;
    switch (format) {
        case RemoteFormat::Lircd:
            return WriteLircdConf(remoteName, buttons);
        case RemoteFormat::Flipper:
            return WriteFlipperIr(buttons);
        case RemoteFormat::Pronto:
        case RemoteFormat::Broadlink:
            for (const ExportButton& button : buttons) {
                const QString code = format == RemoteFormat::Pronto ? ProntoCode(button.signal)
                                                                    : BroadlinkCode(button.signal);
                out += (button.name + QStringLiteral(": ") + code + QLatin1Char('\n')).toUtf8();
            }
            return out;
        case RemoteFormat::Guess:
            break;
    }
    return out;
}

ImportResult ReadRemoteFileAt(const QString& hostPath, RemoteFormat format) {
    ImportResult result;
    QFile file(hostPath);
    if (!QFileInfo(hostPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1: cannot be opened").arg(hostPath);
        return result;
    }
    if (file.size() > kMaxRemoteFileBytes) {
        return TooLarge(hostPath, file.size());
    }
    return ReadRemoteFile(file.readAll(), hostPath, format);
}
