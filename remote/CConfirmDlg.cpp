#include "remote/CConfirmDlg.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "resources/StringText.h"
#include "resources/dialogs/DialogUnits.h"

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
    text_->setText(message.isEmpty() ? StringText(stringId) : message);
    cancel_->setText(stopLearningLabel ? "Stop Learning" : "Cancel");
    cancel_->setVisible(cancelShown);
    // A longer text than the layout's gets the height it needs, the buttons below it.
    const QRect label = DluRect(7, 7, 145, 54);
    const int extra = std::max(0, text_->heightForWidth(label.width()) - label.height());
    text_->setGeometry(label.adjusted(0, 0, 0, extra));
    cancel_->setGeometry(DluRect(7, 66, 70, 14).translated(0, extra));
    continue_->setGeometry(DluRect(82, 66, 70, 14).translated(0, extra));
    setFixedSize(DluX(159), DluY(86) + extra);
    QDialog::showEvent(event);
}
