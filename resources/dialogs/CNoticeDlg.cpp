#include "resources/dialogs/CNoticeDlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/DialogUnits.h"

CNoticeDlg::CNoticeDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(DluX(149), DluY(94));
    // No title bar, so a plain border keeps the notice apart from the remote behind it.
    setObjectName("notice");
    setStyleSheet("QDialog#notice { border: 1px solid black; }");

    text_ = new QLabel(this);
    text_->setObjectName(QString::number(kTextId));
    text_->setGeometry(DluRect(3, 8, 143, 65));
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ok_ = new QPushButton(this);
    ok_->setObjectName(QString::number(kIdOk));
    ok_->setGeometry(DluRect(78, 75, 50, 14));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { done(kIdOk); });

    second_ = new QPushButton(this);
    second_->setObjectName(QString::number(kIdCancel));
    second_->setGeometry(DluRect(19, 75, 50, 14));
    connect(second_, &QPushButton::clicked, this, [this] { done(kIdCancel); });
}

void CNoticeDlg::Set(int firstString, int secondString, int mode, const QString& extraText) {
    first_ = firstString;
    secondString_ = secondString;
    mode_ = mode;
    extra_ = extraText;
}

QString CNoticeDlg::Text() const {
    return text_->text();
}

void CNoticeDlg::showEvent(QShowEvent* event) {
    QString text;
    if (first_ != 0) {
        text += StringText(first_);
    }
    if (secondString_ != 0) {
        text += StringText(secondString_);
    }
    text += extra_;
    text_->setText(text);

    // Mode 0, the one the program uses: "Ok" alone.
    ok_->setText("Ok");
    second_->setText(QString());
    second_->hide();

    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over ? over->geometry()
                            : (QGuiApplication::primaryScreen()
                                   ? QGuiApplication::primaryScreen()->availableGeometry()
                                   : QRect());
    if (area.isValid()) {
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

int ShowNotice(ModalRunner& modal, QWidget* parent, int stringId) {
    CNoticeDlg dialog(parent);
    dialog.Set(stringId, 0, 0, QString());
    return modal.RunDialog(dialog);
}
