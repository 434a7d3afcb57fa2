#include "remote/CConfirmDlg.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "resources/StringText.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"

namespace {

// The questions of the string table carry the line breaks of the handheld's narrow label. A
// break inside a sentence was only that label's, and in other fonts it leaves a word alone on
// a line ("the button on the / remote / and press Continue."): it becomes a space, and the
// lines are balanced anew. A break after the end of a sentence stays.
QString SentenceBreaksOnly(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString joined = lines.front();
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const QString before = lines[k - 1].trimmed();
        const bool sentenceEnds = before.isEmpty() || before.endsWith(QLatin1Char('.')) ||
                                  before.endsWith(QLatin1Char('!')) ||
                                  before.endsWith(QLatin1Char('?')) ||
                                  before.endsWith(QLatin1Char(':'));
        joined += sentenceEnds ? QLatin1Char('\n') : QLatin1Char(' ');
        joined += lines[k];
    }
    return joined;
}

}  // namespace

CConfirmDlg::CConfirmDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Confirmation");
    setFixedSize(DluX(159), DluY(86));

    text_ = new QLabel(this);
    text_->setObjectName(QString::number(kTextId));
    text_->setGeometry(DluRect(7, 7, 145, 54));
    text_->setAlignment(Qt::AlignCenter);
    text_->setWordWrap(true);

    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(DluRect(7, 66, 70, 14));
    connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });

    continue_ = new QPushButton("Continue", this);
    continue_->setObjectName("1");
    continue_->setGeometry(DluRect(82, 66, 70, 14));
    continue_->setDefault(true);
    connect(continue_, &QPushButton::clicked, this, [this] { done(1); });
}

void CConfirmDlg::showEvent(QShowEvent* event) {
    cancel_->setText(stopLearningLabel ? "Stop Learning" : "Cancel");
    cancel_->setVisible(cancelShown);
    // The text in balanced lines; a longer text than the layout's gets the height it needs,
    // the buttons below it.
    const QRect label = DluRect(7, 7, 145, 54);
    text_->setGeometry(label);
    shown_ = message.isEmpty() ? SentenceBreaksOnly(StringText(stringId)) : message;
    SetBalancedText(text_, shown_);
    const int extra = std::max(0, text_->heightForWidth(label.width()) - label.height());
    text_->setGeometry(label.adjusted(0, 0, 0, extra));
    cancel_->setGeometry(DluRect(7, 66, 70, 14).translated(0, extra));
    continue_->setGeometry(DluRect(82, 66, 70, 14).translated(0, extra));
    setFixedSize(DluX(159), DluY(86) + extra);
    QDialog::showEvent(event);
}
