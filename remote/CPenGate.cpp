#include "remote/CPenGate.h"

#include <QCoreApplication>
#include <QMouseEvent>

CPenGate::CPenGate(ModalRunner& modal, QObject* parent) : QObject(parent), modal_(modal) {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    modal_.AddWatcher(this);
}

CPenGate::~CPenGate() {
    modal_.RemoveWatcher(this);
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool CPenGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            // A mouse event travels up the parents of the widget it hit; each counts once.
            if (!watched->isWidgetType()) {
                break;
            }
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                const bool wasDown = down_.exchange(event->type() != QEvent::MouseButtonRelease);
                if (IsBusy() && wasDown && !down_.load() && onLiftWhileBusy) {
                    onLiftWhileBusy();
                }
            }
            return IsBusy();
        }
        case QEvent::ApplicationDeactivate:
        case QEvent::WindowBlocked:
            // The pointer went elsewhere: its release will not come here.
            down_ = false;
            break;
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return IsBusy();
        default:
            break;
    }
    return false;
}
