#include "resources/dialogs/TextFit.h"

#include <QFontMetrics>
#include <QLabel>

QFont FontFitting(QFont font, const QStringList& texts, int width, int smallest) {
    auto widest = [&texts](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        int most = 0;
        for (const QString& text : texts) {
            most = std::max(most, metrics.horizontalAdvance(text));
        }
        return most;
    };
    int size = font.pixelSize();
    while (size > smallest && widest(font) > width) {
        font.setPixelSize(--size);
    }
    return font;
}

void FitTitle(QLabel* title) {
    if (QWidget* dialog = title->parentWidget()) {
        constexpr int kMargin = 2;
        title->setGeometry(kMargin, title->y(), dialog->width() - 2 * kMargin, title->height());
    }
    title->setFont(FontFitting(title->font(), {title->text()}, title->contentsRect().width()));
}

void FitLineHeight(QLabel* label) {
    const QRect room = label->contentsRect();
    const int needed = label->fontMetrics()
                           .boundingRect(room, Qt::AlignLeft | Qt::AlignTop, label->text())
                           .height();
    if (needed > room.height()) {
        label->resize(label->width(), label->height() + needed - room.height());
    }
}
