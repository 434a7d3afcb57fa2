#include "platform/host/QtModalRunner.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace {

// Marks a dialog whose placing is arranged, so that a dialog run twice is placed once.
const char* const kPlacedProperty = "ardelPlacedOverProgram";

// Places its dialog each time the dialog is shown, before it reaches the screen, and zooms
// it down the first time where it would not fit. The dialog handles its own show first: many
// dialogs size themselves then, and a dialog placed by its old size would sit off centre.
class CPlacer : public QObject {
  public:
    CPlacer(QWidget& dialog, int zoom, DialogZoom kind)
        : QObject(&dialog), dialog_(dialog), zoom_(zoom), kind_(kind) {
        dialog.setProperty(kPlacedProperty, true);
        dialog.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &dialog_ || event->type() != QEvent::Show || showing_) {
            return false;
        }
        showing_ = true;
        static_cast<QObject&>(dialog_).event(event);
        showing_ = false;
        if (!zoomed_) {
            zoomed_ = true;
            ZoomToFit();
        }
        PlaceOverProgram(dialog_);
        return true;
    }

  private:
    void ZoomToFit() {
        if (zoom_ <= 1) {
            return;
        }
        const QScreen* screen = ProgramScreen();
        if (!screen) {
            return;
        }
        const QSize room = screen->availableGeometry().size();
        if (kind_ == DialogZoom::None) {
            // Its text and icons at no zoom; its room as large as it was, up to most of the
            // screen, since the frames of its controls keep the program's zoom and would
            // leave its list of files no room at all.
            const QSize before = dialog_.size();
            ZoomDialog(dialog_, 1.0 / zoom_, false);
            dialog_.resize(dialog_.size().expandedTo(before.boundedTo(room * 7 / 10)));
            // Its detail columns would keep the zoomed room of their headers and cut the names,
            // sizes and dates to a letter or two: it lists the names alone.
            if (auto* files = qobject_cast<QFileDialog*>(&dialog_)) {
                files->setViewMode(QFileDialog::List);
            }
            return;
        }
        const int drawnAt = FittingZoom(dialog_.size(), FrameOf(dialog_), zoom_, room);
        if (drawnAt < zoom_) {
            ZoomDialog(dialog_, double(drawnAt) / zoom_);
        }
    }

    const QScreen* ProgramScreen() const {
        const QWidget* over = dialog_.parentWidget() ? dialog_.parentWidget()->window()
                                                     : QApplication::activeWindow();
        return over ? over->screen() : dialog_.screen();
    }

    QWidget& dialog_;
    const int zoom_;
    const DialogZoom kind_;
    bool showing_ = false;
    bool zoomed_ = false;
};

// The program's window over which a dialog opens: its parent's window, else the active one.
QWidget* WindowUnder(QWidget& dialog) {
    QWidget* over = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!over) {
        over = QApplication::activeWindow();
    }
    return over && over != &dialog && over->isVisible() ? over : nullptr;
}

}  // namespace

QMargins FrameOf(const QWidget& dialog) {
    if (dialog.windowFlags() & Qt::FramelessWindowHint) {
        return {};
    }
    const QRect inner = dialog.geometry();
    const QRect outer = dialog.frameGeometry();
    if (outer != inner && dialog.isVisible()) {
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QWidget* over =
        dialog.parentWidget() ? dialog.parentWidget()->window() : QApplication::activeWindow();
    if (!over || over == &dialog) {
        return {};
    }
    const QRect programInner = over->geometry();
    const QRect programOuter = over->frameGeometry();
    return QMargins(
        programInner.left() - programOuter.left(), programInner.top() - programOuter.top(),
        programOuter.right() - programInner.right(), programOuter.bottom() - programInner.bottom());
}

// Tells the watchers of one modal run, its start now and its end with the object. A watcher
// may remove itself (or another) while it is told, so each telling goes over a copy.
class ModalRunner::Run {
  public:
    explicit Run(const std::vector<ModalWatcher*>& watchers) : watchers_(watchers) {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(watchers_)) {
            watcher->ModalStarted();
        }
    }
    ~Run() {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(watchers_)) {
            watcher->ModalEnded();
        }
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

  private:
    const std::vector<ModalWatcher*>& watchers_;
};

void ModalRunner::AddWatcher(ModalWatcher* watcher) {
    if (watcher && std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end()) {
        watchers_.push_back(watcher);
    }
}

void ModalRunner::RemoveWatcher(ModalWatcher* watcher) {
    std::erase(watchers_, watcher);
}

void PlaceOnShow(QWidget& dialog, int zoom, DialogZoom kind) {
    if (!dialog.property(kPlacedProperty).toBool()) {
        new CPlacer(dialog, zoom, kind);
    }
}

int ModalRunner::RunDialog(QDialog& dialog) {
    PlaceOnShow(dialog, zoom_);
    const Run run(watchers_);
    return CancelIfNoChoice(ExecDialog(dialog));
}

int ModalRunner::ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                             const QString& title, MessageIcon icon) {
    const Run run(watchers_);
    return ExecMessage(parent, text, title, buttons, icon);
}

QPoint CentredOver(const QRect& dialog, const QRect& over, const QRect& screen) {
    QPoint at = over.center() - QPoint(dialog.width() / 2, dialog.height() / 2);
    if (!screen.isEmpty()) {
        // A dialog larger than the screen keeps its top-left corner, and its title, in sight.
        at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - dialog.width())));
        at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - dialog.height())));
    }
    return at;
}

int FittingZoom(QSize inside, const QMargins& frame, int zoom, QSize room) {
    for (int at = zoom; at > 1; --at) {
        // Rounded up, as a dialog's pixels are.
        const int width = (inside.width() * at + zoom - 1) / zoom + frame.left() + frame.right();
        const int height = (inside.height() * at + zoom - 1) / zoom + frame.top() + frame.bottom();
        if (width <= room.width() && height <= room.height()) {
            return at;
        }
    }
    return 1;
}

namespace {

int Scaled(int value, double factor) {
    return std::max(value > 0 ? 1 : 0, int(std::lround(value * factor)));
}

QSize Scaled(QSize size, double factor) {
    return QSize(
        size.width() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : Scaled(size.width(), factor),
        size.height() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : Scaled(size.height(), factor));
}

QRect Scaled(const QRect& rect, double factor) {
    // Edges, not sizes, are scaled, so that controls that touched still touch.
    const int left = int(std::lround(rect.left() * factor));
    const int top = int(std::lround(rect.top() * factor));
    return QRect(QPoint(left, top),
                 QPoint(std::max(left, int(std::lround((rect.right() + 1) * factor)) - 1),
                        std::max(top, int(std::lround((rect.bottom() + 1) * factor)) - 1)));
}

QFont ScaledFont(QFont font, double factor) {
    if (font.pixelSize() > 0) {
        font.setPixelSize(Scaled(font.pixelSize(), factor));
    } else if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * factor);
    }
    return font;
}

bool InLayout(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(&widget) >= 0;
}

}  // namespace

void ZoomDialog(QWidget& dialog, double factor, bool columns) {
    if (factor <= 0.0 || factor == 1.0) {
        return;
    }
    struct Before {
        QWidget* widget;
        QFont font;
        bool ownFont;
        QRect geometry;
        QSize smallest, largest;
    };
    std::vector<Before> widgets;
    auto note = [&widgets](QWidget* widget) {
        widgets.push_back({widget, widget->font(), widget->testAttribute(Qt::WA_SetFont),
                           widget->geometry(), widget->minimumSize(), widget->maximumSize()});
    };
    note(&dialog);
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isWindow()) {
            note(child);
        }
    }
    // Fonts first: a font set on a widget holds its size, else the size comes from the
    // parent, so each set font is set again at its size as it was, scaled.
    for (const Before& before : widgets) {
        if (before.widget == &dialog || before.ownFont) {
            before.widget->setFont(ScaledFont(before.font, factor));
        }
    }
    for (const Before& before : widgets) {
        QWidget* widget = before.widget;
        widget->setMinimumSize(Scaled(before.smallest, factor));
        widget->setMaximumSize(Scaled(before.largest, factor));
        if (widget == &dialog) {
            widget->resize(Scaled(before.geometry.size(), factor));
        } else if (!InLayout(*widget)) {
            widget->setGeometry(Scaled(before.geometry, factor));
        }
        if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            view->setIconSize(Scaled(view->iconSize(), factor));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setIconSize(Scaled(button->iconSize(), factor));
        } else if (auto* bar = qobject_cast<QToolBar*>(widget)) {
            bar->setIconSize(Scaled(bar->iconSize(), factor));
        }
        auto* header = columns ? qobject_cast<QHeaderView*>(widget) : nullptr;
        if (header) {
            const bool stretches = header->stretchLastSection();
            for (int section = 0; section < header->count(); ++section) {
                if (!stretches || section + 1 < header->count()) {
                    header->resizeSection(section, Scaled(header->sectionSize(section), factor));
                }
            }
        }
    }
    // A bar of buttons along the dialog's bottom keeps the height its buttons need (their
    // frames do not shrink with the zoom); the dialog grows by what it takes more.
    for (QToolBar* bar : dialog.findChildren<QToolBar*>()) {
        const int more = bar->sizeHint().height() - bar->height();
        if (more > 0 && !InLayout(*bar) && bar->geometry().bottom() >= dialog.height() - 1) {
            bar->setGeometry(bar->x(), bar->y(), bar->width(), bar->height() + more);
            const QSize grown(dialog.width(), dialog.height() + more);
            if (dialog.minimumSize() == dialog.maximumSize()) {
                dialog.setFixedSize(grown);
            } else {
                dialog.resize(grown);
            }
        }
    }
}

void PlaceOverProgram(QWidget& dialog) {
    QWidget* over = WindowUnder(dialog);
    if (!over) {
        return;
    }
    const QScreen* screen = over->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect outer = dialog.geometry().marginsAdded(FrameOf(dialog));
    const QPoint at = CentredOver(outer, over->frameGeometry(), available);
    // move() places the frame's corner where the window manager draws one, else the inside's.
    dialog.move(at);
}

QString ModalRunner::OpenFileName(QWidget* parent, const QString& title, const QString& filters) {
    const Run run(watchers_);
    return ExecOpenFile(parent, title, filters);
}

QString ModalRunner::SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                  const QString& filters, QString& selectedFilter) {
    const Run run(watchers_);
    return ExecSaveFile(parent, title, suggested, filters, selectedFilter);
}

void SetUpMessageBox(QMessageBox& box, const QString& text, const QString& title,
                     MessageButtons buttons, MessageIcon icon) {
    box.setWindowTitle(title);
    box.setText(text);
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageButtons::OkCancelDefaultCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Cancel);
            break;
        case MessageButtons::YesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            break;
    }
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
    }
}

int CQtModalRunner::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

int CQtModalRunner::ExecMessage(QWidget* parent, const QString& text, const QString& title,
                                MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(parent);
    SetUpMessageBox(box, text, title, buttons, icon);
    PlaceOnShow(box, Zoom());
    switch (box.exec()) {
        case QMessageBox::Ok:
            return kIdOk;
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        default:
            return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoDefaultNo
                       ? kIdNo
                       : kIdCancel;
    }
}

CQtModalRunner::CQtModalRunner() {
    // The program's zoom is Qt's scale factor, set before the application started.
    SetZoom(int(std::lround(qEnvironmentVariable("QT_SCALE_FACTOR").toDouble())));
}

// The file dialogs are the desktop's: where it has its own, Qt shows that one; Qt's own
// stand-in is drawn unzoomed, as the desktop's would be, and placed like every dialog.
QString CQtModalRunner::ExecOpenFile(QWidget* parent, const QString& title,
                                     const QString& filters) {
    QFileDialog dialog(parent, title, QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PlaceOnShow(dialog, Zoom(), DialogZoom::None);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString CQtModalRunner::ExecSaveFile(QWidget* parent, const QString& title,
                                     const QString& suggested, const QString& filters,
                                     QString& selectedFilter) {
    QFileDialog dialog(parent, title, QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!suggested.isEmpty()) {
        const QFileInfo file(suggested);
        if (suggested.contains(QLatin1Char('/'))) {
            dialog.setDirectory(file.absolutePath());
        }
        dialog.selectFile(file.fileName());
    }
    if (!selectedFilter.isEmpty()) {
        dialog.selectNameFilter(selectedFilter);
    }
    PlaceOnShow(dialog, Zoom(), DialogZoom::None);
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}
