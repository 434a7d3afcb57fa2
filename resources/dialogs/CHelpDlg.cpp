#include "resources/dialogs/CHelpDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "platform/Modal.h"
#include "resources/HelpTexts.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"

namespace {

// The dialog's small font, as the lines were written for.
QFont LinesFont() {
    QFont font("Arial");
    font.setPixelSize(11);
    return font;
}

}  // namespace

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Help");
    setFixedSize(DluX(161), DluY(169));

    heading_ = new QLabel(this);
    heading_->setObjectName(QString::number(kHeadingId));
    heading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // A heading a line high in the dialog's font, which may be taller than the layout's line.
    const QRect heading = DluRect(4, 7, 152, 8);
    heading_->setGeometry(heading.adjusted(
        0, 0, 0, std::max(0, heading_->fontMetrics().height() - heading.height())));

    lines_ = new QListWidget(this);
    lines_->setObjectName(QString::number(kListId));
    lines_->setGeometry(DluRect(4, 17, 152, 123));
    lines_->setSelectionMode(QAbstractItemView::NoSelection);
    lines_->setSortingEnabled(false);
    lines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lines_->setFocusPolicy(Qt::NoFocus);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName(QString::number(kIdOk));
    ok->setGeometry(DluRect(106, 148, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(kIdOk); });
}

void CHelpDlg::showEvent(QShowEvent* event) {
    Fill();
    QDialog::showEvent(event);
}

void CHelpDlg::Fill() {
    heading_->clear();
    lines_->clear();
    const HelpTopic* topic = GetHelpTopic(topic_);
    if (!topic) {
        return;  // an unknown topic leaves the dialog empty
    }
    heading_->setText(QString::fromLatin1(topic->lines[0]));
    QStringList lines;
    for (int i = 1; i < topic->count; ++i) {
        lines.push_back(QString::fromLatin1(topic->lines[i]));
    }
    lines_->addItems(lines);
    // Every line shows whole, beside the scroll bar.
    const int room = lines_->width() - 2 * lines_->frameWidth() -
                     lines_->verticalScrollBar()->sizeHint().width() - 6;
    lines_->setFont(FontFitting(LinesFont(), lines, room));
}

void ShowHelp(ModalRunner& modal, QWidget* parent, int topic) {
    CHelpDlg dialog(parent);
    dialog.SetTopic(topic);
    modal.RunDialog(dialog);
}
