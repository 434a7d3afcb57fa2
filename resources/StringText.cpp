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
