#include "resources/dialogs/TextFit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

// The words of one paragraph broken greedily into lines at most `width` wide.
QStringList GreedyLines(const QStringList& words, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) {
        lines.push_back(line);
    }
    return lines;
}

QStringList BalancedParagraph(const QString& paragraph, const QFontMetrics& metrics, int width) {
    const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList plain = GreedyLines(words, metrics, width);
    if (plain.size() < 2) {
        return plain;
    }
    // The narrowest width at which the words still take no more lines than at `width`: no
    // narrower than the widest word, nor than the text spread evenly over the lines.
    int narrow = 0;
    for (const QString& word : words) {
        narrow = std::max(narrow, metrics.horizontalAdvance(word));
    }
    narrow = std::max(narrow,
                      metrics.horizontalAdvance(words.join(QLatin1Char(' '))) / int(plain.size()));
    int wide = width;
    while (narrow < wide) {
        const int middle = narrow + (wide - narrow) / 2;
        if (GreedyLines(words, metrics, middle).size() <= plain.size()) {
            wide = middle;
        } else {
            narrow = middle + 1;
        }
    }
    return GreedyLines(words, metrics, wide);
}

}  // namespace

QString BalancedLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        const QStringList broken = BalancedParagraph(paragraph, metrics, width);
        lines += broken.isEmpty() ? QStringList{QString()} : broken;
    }
    return lines.join(QLatin1Char('\n'));
}

void SetBalancedText(QLabel* label, const QString& text) {
    label->setText(BalancedLines(text, label->fontMetrics(), label->contentsRect().width()));
}

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

void LayOutRow(const std::vector<QPushButton*>& buttons, const QRect& row, const QFont& font,
               int gap) {
    if (buttons.empty()) {
        return;
    }
    const QFontMetrics metrics(font);
    std::vector<int> widths;
    int used = gap * int(buttons.size() - 1);
    for (QPushButton* button : buttons) {
        widths.push_back(metrics.horizontalAdvance(button->text()));
        used += widths.back();
    }
    const int left = std::max(0, row.width() - used);
    const int share = left / int(buttons.size());
    const int more = left % int(buttons.size());  // a pixel more for each of the first ones
    int x = row.left();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int width = i + 1 == buttons.size() ? row.right() + 1 - x
                                                  : widths[i] + share + (int(i) < more ? 1 : 0);
        buttons[i]->setGeometry(x, row.top(), width, row.height());
        x += width + gap;
    }
}
