#include "resources/dialogs/CHelpBar.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

#include "platform/Modal.h"
#include "resources/dialogs/CHelpDlg.h"

namespace {

constexpr QSize kButtonSize(16, 15);

QIcon InformationIcon() {
    QPixmap pixmap(kButtonSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 90, 200));
    painter.drawEllipse(QRectF(1.5, 1, 13, 13));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(7, 3.5, 2, 2));
    painter.drawRect(QRectF(7, 6.5, 2, 5));
    return QIcon(pixmap);
}

}  // namespace

CHelpBar::CHelpBar(ModalRunner& modal, int topic, QWidget* parent)
    : QToolBar(parent), modal_(modal), topic_(topic) {
    setObjectName(QString::number(kToolbarId));
    setIconSize(kButtonSize);
    setMovable(false);
    setFloatable(false);
    for (int i = 0; i < kButtonCount - 1; ++i) {
        QAction* empty = addAction(QString());
        empty->setData(0);  // no command: these buttons do nothing
        empty_.push_back(empty);
    }
    // What the buttons leave of the bar's width lies before the information button.
    auto* room = new QWidget(this);
    room->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(room);
    help_ = addAction(InformationIcon(), "Help");
    help_->setData(kHelpCommand);
    connect(this, &QToolBar::actionTriggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
}

void CHelpBar::resizeEvent(QResizeEvent* event) {
    FitButtons();
    QToolBar::resizeEvent(event);
}

void CHelpBar::FitButtons() {
    // The empty buttons go from the last one back, until what is left fits the bar.
    for (QAction* action : empty_) {
        action->setVisible(true);
    }
    for (auto it = empty_.rbegin(); it != empty_.rend() && sizeHint().width() > width(); ++it) {
        (*it)->setVisible(false);
    }
}

void CHelpBar::OnCommand(int command) {
    if (command == kHelpCommand) {
        ShowHelp(modal_, window(), topic_);
    }
}
