#include "shell/CHardButtonsDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/HardKeys.h"
#include "platform/Modal.h"
#include "remote/CDUWnd.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"
#include "shell/PreferenceSets.h"
#include "store/FormTables.h"

namespace {

constexpr int kDialogWidth = 165;  // dialog units
constexpr int kDialogHeight = 169;
constexpr int kButtonColumn = 0;
constexpr int kAssignmentColumn = 1;
const QString kSystemDefault = "Win CE default";

// The drop-down positions 0..5 stand for the categories TV (1) .. TiVo (6).
QString CategoryAt(int position) {
    return QString::fromLatin1(CategoryName(position + 1));
}

}  // namespace

CHardButtonsDlg::CHardButtonsDlg(CDUWnd& window, ModalRunner& modal, QWidget* parent)
    : QDialog(parent), window_(window), modal_(modal) {
    BuildControls();
    Open();
}

void CHardButtonsDlg::BuildControls() {
    setWindowTitle("Hard Buttons");
    setObjectName(QString::number(kDialogId));
    setFont(QFont("MS Sans Serif", 8));

    title_ = new QLabel("Hard Buttons", this);
    title_->setObjectName(QString::number(kTitleId));
    title_->setGeometry(DluRect(7, 3, 151, 11));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18));
    FitLineHeight(title_);

    BuildKeyList();
    BuildChoices();
    BuildCommands();
    const int grow = ShowEveryKeyRow();

    helpBar_ = new CHelpBar(modal_, kHelpTopic, this);
    helpBar_->adjustSize();
    const int barHeight = helpBar_->sizeHint().height();
    setFixedSize(DluX(kDialogWidth), DluY(kDialogHeight) + grow + barHeight);
    helpBar_->setGeometry(0, DluY(kDialogHeight) + grow, DluX(kDialogWidth), barHeight);
}

void CHardButtonsDlg::BuildKeyList() {
    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::number(kListId));
    list_->setGeometry(DluRect(7, 18, 151, 59));
    list_->setFont(Arial(12));
    list_->setColumnCount(2);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSortingEnabled(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(kIconSize, kIconSize));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setHeaderLabels({"Button", "Assignment"});
    list_->headerItem()->setTextAlignment(kButtonColumn, Qt::AlignLeft | Qt::AlignVCenter);
    list_->headerItem()->setTextAlignment(kAssignmentColumn, Qt::AlignCenter);
    // The inner width is the list's width inside its frame; the 15 pixels left over give
    // room for the vertical scroll bar.
    const int inner = list_->width() - 2 * list_->frameWidth();
    list_->setColumnWidth(kButtonColumn, inner * 2 / 5);
    list_->setColumnWidth(kAssignmentColumn, inner * 3 / 5 - 15);
    for (int row = 0; row < kHardKeyCount; ++row) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kButtonColumn, QString::fromLatin1(HardKeySlotName(row)));
        item->setIcon(kButtonColumn, QIcon(RowIcon(row)));
        item->setTextAlignment(kAssignmentColumn, Qt::AlignCenter);
    }
    // A tap marks its row (the selection changes) and clicks it; both come here, and the
    // second finds the row current already.
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CHardButtonsDlg::OnRowTapped);
    connect(list_, &QTreeWidget::clicked, this, &CHardButtonsDlg::OnRowTapped);
}

void CHardButtonsDlg::BuildChoices() {
    auto* categoryLabel = new QLabel("Category", this);
    categoryLabel->setObjectName(QString::number(kCategoryLabelId));
    categoryLabel->setGeometry(DluRect(13, 78, 59, 10));
    categoryLabel->setFont(Arial(14));

    auto* buttonLabel = new QLabel("Use Button", this);
    buttonLabel->setObjectName(QString::number(kButtonLabelId));
    buttonLabel->setGeometry(DluRect(77, 78, 71, 10));
    buttonLabel->setFont(Arial(14));

    // The drop-downs' own height is the control's; the template's height is that of the
    // opened list.
    categories_ = new QComboBox(this);
    categories_->setObjectName(QString::number(kCategoryListId));
    categories_->setGeometry(DluX(13), DluY(89), DluX(61), categories_->sizeHint().height());
    connect(categories_, &QComboBox::activated, this, &CHardButtonsDlg::OnCategoryChosen);

    useButton_ = new QComboBox(this);
    useButton_->setObjectName(QString::number(kButtonListId));
    useButton_->setGeometry(DluX(77), DluY(89), DluX(73), useButton_->sizeHint().height());
    connect(useButton_, &QComboBox::activated, this, &CHardButtonsDlg::OnButtonChosen);
}

void CHardButtonsDlg::BuildCommands() {
    // A button of the dialog: its id, text and place, what it does; none but OK is the default.
    const auto command = [this](int id, const QString& text, const QRect& units,
                                void (CHardButtonsDlg::*action)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::number(id));
        button->setGeometry(DluRect(units.x(), units.y(), units.width(), units.height()));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        return button;
    };
    restoreDefaults_ = command(kRestoreDefaultsId, "Restore ArdelRemote Defaults",
                               QRect(24, 112, 117, 14), &CHardButtonsDlg::RestoreDefaults);
    restoreSystem_ = command(kRestoreSystemId, "Restore WinCE Defaults", QRect(24, 128, 117, 14),
                             &CHardButtonsDlg::RestoreSystem);
    ok_ = command(kIdOk, "OK", QRect(69, 148, 41, 14), &CHardButtonsDlg::Accept);
    ok_->setFont(Arial(14));
    ok_->setDefault(true);
    cancel_ = command(kIdCancel, "Cancel", QRect(117, 148, 41, 14), &CHardButtonsDlg::Cancel);
    cancel_->setFont(Arial(14));
}

void CHardButtonsDlg::Accept() {
    done(kIdOk);
}

void CHardButtonsDlg::Cancel() {
    done(kIdCancel);
}

int CHardButtonsDlg::ShowEveryKeyRow() {
    // The list shows its seven rows whole, without scrolling: where its rectangle is too
    // short for the header and the rows in the desktop's font, the list grows and the
    // controls below it move down by as much. Drawn smaller on a small screen, where the
    // rows' padding does not shrink with the rest, it scrolls.
    const int listBottom = list_->geometry().bottom();
    const int needed = list_->header()->sizeHint().height() +
                       kHardKeyCount * list_->sizeHintForRow(0) + 2 * list_->frameWidth();
    const int grow = std::max(0, needed - list_->height());
    list_->resize(list_->width(), list_->height() + grow);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Its columns leave the scroll bar's room; drawn smaller, they are narrower than that room.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != list_ && child->y() > listBottom) {
            child->move(child->x(), child->y() + grow);
        }
    }
    return grow;
}

void CHardButtonsDlg::Open() {
    // The buttons a key can be given: per category those of its first form, then of its
    // second, in element order; the panel elements (tabs, selector, indicator) are left out.
    for (int position = 0; position < kCategories; ++position) {
        std::vector<ButtonEntry>& entries = buttons_[static_cast<size_t>(position)];
        for (const int form : {2 * position, 2 * position + 1}) {
            for (int index = 0;; ++index) {
                const int kind = window_.ElementKindOf(form, index);
                if (kind < 0) {
                    break;  // past the last element, or no such form
                }
                if (kind == kKindButton) {
                    entries.push_back({window_.ButtonName(form, index), index, form});
                }
            }
        }
        categories_->addItem(CategoryAt(position));
    }
    categories_->setCurrentIndex(-1);
    // Before a row is chosen a category has nothing to apply to.
    categories_->setEnabled(false);

    active_ = window_.Model().KeyCapture();
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        HardKeyAssignment assignment;
        window_.Model().GetKeyAssignment(slot, assignment);
        SlotCopy& copy = slots_[static_cast<size_t>(slot)];
        copy.used = assignment.used;
        QString text;
        if (assignment.used && assignment.form >= 0 && assignment.button >= 0) {
            // An assignment that names no button of the forms keeps its values but shows
            // nothing.
            copy.form = assignment.form;
            copy.button = assignment.button;
            copy.position = FindEntry(copy.form, copy.button);
            if (copy.position >= 0) {
                text = EntryText(copy.form / 2, copy.position);
            }
        } else {
            copy.form = -1;
            copy.button = -1;
            copy.position = -1;
        }
        SetRowText(slot, active_ ? text : kSystemDefault);
    }
    useButton_->setEnabled(false);
}

void CHardButtonsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    list_->setFocus();
}

QString CHardButtonsDlg::AssignmentText(int row) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    return item ? item->text(kAssignmentColumn) : QString();
}

void CHardButtonsDlg::SetRowText(int row, const QString& text) {
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        item->setText(kAssignmentColumn, text);
    }
}

int CHardButtonsDlg::FindEntry(int form, int button) const {
    if (!IsValidForm(form)) {
        return -1;
    }
    const std::vector<ButtonEntry>& entries = buttons_[static_cast<size_t>(form / 2)];
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].form == form && entries[i].button == button) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString CHardButtonsDlg::EntryText(int category, int position) const {
    if (category < 0 || category >= kCategories) {
        return QString();
    }
    const std::vector<ButtonEntry>& entries = buttons_[static_cast<size_t>(category)];
    if (position < 0 || position >= static_cast<int>(entries.size())) {
        return QString();
    }
    return QString("%1 (%2)").arg(CategoryAt(category),
                                  entries[static_cast<size_t>(position)].name);
}

void CHardButtonsDlg::FillButtonList(int category, int position) {
    useButton_->clear();
    for (const ButtonEntry& entry : buttons_[static_cast<size_t>(category)]) {
        useButton_->addItem(entry.name);
    }
    useButton_->setCurrentIndex(position >= 0 && position < useButton_->count() ? position : -1);
}

void CHardButtonsDlg::OnRowTapped() {
    const QList<QTreeWidgetItem*> marked = list_->selectedItems();
    const int row = marked.isEmpty() ? -1 : list_->indexOfTopLevelItem(marked.front());
    if (row < 0 || row == currentRow_) {
        return;
    }
    currentRow_ = row;
    categories_->setEnabled(true);
    if (!active_) {
        return;
    }
    const SlotCopy& slot = slots_[static_cast<size_t>(row)];
    if (slot.used && IsValidForm(slot.form)) {
        const int category = slot.form / 2;
        categories_->setCurrentIndex(category);
        FillButtonList(category, slot.position);
        useButton_->setEnabled(true);
    } else {
        categories_->setCurrentIndex(-1);
        useButton_->clear();
        useButton_->setEnabled(false);
    }
}

void CHardButtonsDlg::OnCategoryChosen(int position) {
    if (currentRow_ < 0) {
        return;
    }
    if (position < 0 || position >= kCategories) {
        useButton_->setEnabled(false);
        return;
    }
    FillButtonList(position, -1);
    useButton_->setEnabled(true);
}

void CHardButtonsDlg::OnButtonChosen(int position) {
    if (currentRow_ < 0) {
        return;
    }
    const int category = categories_->currentIndex();
    if (category < 0 || category >= kCategories || position < 0 ||
        position >= static_cast<int>(buttons_[static_cast<size_t>(category)].size())) {
        useButton_->setEnabled(false);
        return;
    }
    // Taken before the switch is turned on: that empties both drop-downs and the row.
    const int row = currentRow_;
    const ButtonEntry entry =
        buttons_[static_cast<size_t>(category)][static_cast<size_t>(position)];
    if (!active_) {
        // Keys that act as remote buttons at all start from the built-in set.
        RestoreDefaults();
    }
    slots_[static_cast<size_t>(row)] = {true, entry.form, entry.button, position};
    SetRowText(row, EntryText(category, position));
}

void CHardButtonsDlg::RestoreDefaults() {
    active_ = true;
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        int form = -1;
        int button = -1;
        window_.Model().GetDefaultKeyAssignment(slot, form, button);
        SlotCopy& copy = slots_[static_cast<size_t>(slot)];
        if (form < 0 || button < 0) {
            copy = {false, -1, -1, -1};
            SetRowText(slot, QString());
            continue;
        }
        copy = {true, form, button, FindEntry(form, button)};
        SetRowText(slot, EntryText(form / 2, copy.position));
    }
    ClearChoice();
}

void CHardButtonsDlg::RestoreSystem() {
    active_ = false;
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        slots_[static_cast<size_t>(slot)] = {false, -1, -1, -1};
        SetRowText(slot, kSystemDefault);
    }
    ClearChoice();
}

void CHardButtonsDlg::ClearChoice() {
    // With the row's mark gone no row is current either, so that the next tap on any row,
    // the last one included, shows that row's assignment again.
    currentRow_ = -1;
    categories_->setCurrentIndex(-1);
    categories_->setEnabled(false);
    useButton_->setCurrentIndex(-1);
    useButton_->setEnabled(false);
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
}

QPixmap CHardButtonsDlg::RowIcon(int row) {
    // Drawn on white without smoothing; white then becomes transparent.
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const QColor ink(0, 0, 96);
        painter.setPen(ink);
        painter.setBrush(Qt::NoBrush);
        switch (row) {
            case 0:  // "Button 1": an envelope
                painter.drawRect(1, 3, 13, 9);
                painter.drawLine(1, 3, 8, 8);
                painter.drawLine(14, 3, 8, 8);
                break;
            case 1:  // "Button 2": a task list, three ticked lines
                painter.drawRect(1, 1, 13, 13);
                for (const int y : {4, 8, 12}) {
                    painter.drawLine(3, y - 1, 4, y);
                    painter.drawLine(4, y, 6, y - 2);
                    painter.drawLine(8, y - 1, 12, y - 1);
                }
                break;
            case 2:    // "Up"
            case 3:    // "Down"
            case 4:    // "Left"
            case 5: {  // "Right"
                static const QPolygon kTriangles[] = {
                    QPolygon({QPoint(7, 3), QPoint(13, 11), QPoint(1, 11)}),
                    QPolygon({QPoint(1, 4), QPoint(13, 4), QPoint(7, 12)}),
                    QPolygon({QPoint(3, 7), QPoint(11, 1), QPoint(11, 13)}),
                    QPolygon({QPoint(4, 1), QPoint(12, 7), QPoint(4, 13)}),
                };
                painter.setBrush(ink);
                painter.drawPolygon(kTriangles[row - 2]);
                break;
            }
            case 6:  // "Start": a filled circle
                painter.setBrush(ink);
                painter.drawEllipse(2, 2, 11, 11);
                break;
            default:
                break;
        }
    }
    const QRgb white = QColor(Qt::white).rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == white) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return QPixmap::fromImage(image);
}

void RunHardButtons(CDUWnd& window, ModalRunner& modal) {
    CHardButtonsDlg dialog(window, modal, &window);
    if (modal.RunDialog(dialog) != kIdOk) {
        return;
    }
    CRemoteModel& model = window.Model();
    window.SetKeyCapture(dialog.Active());
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        const CHardButtonsDlg::SlotCopy& copy = dialog.Slot(slot);
        model.SetKeyAssignment(slot, copy.used, copy.form, copy.button);
    }
    if (!model.SaveState()) {
        ReportNotSaved(window, modal, model.PreferenceFileName());
    }
}
