#include "resources/StringText.h"

QString StringText(int id, const QStringList& values) {
    const QString text = QString::fromUtf8(LoadString(id));
    auto next = values.begin();
    QString filled;
    filled.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool placeholder =
            text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u's' || text[i + 1] == u'd');
        if (placeholder && next != values.end()) {
            filled += *next++;
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

QString KeepAddressesWhole(const QString& text) {
    // A word joiner between every two characters of an address forbids a line break inside
    // it; it is not drawn.
    static const QChar kWordJoiner(0x2060);
    QString kept;
    kept.reserve(text.size() * 2);
    bool inAddress = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace()) {
            inAddress = false;
        } else if (inAddress) {
            kept += kWordJoiner;
        } else {
            inAddress = text.mid(i, 8) == u"https://" || text.mid(i, 7) == u"http://";
        }
        kept += text[i];
    }
    return kept;
}
