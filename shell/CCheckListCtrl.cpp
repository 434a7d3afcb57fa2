#include "shell/CCheckListCtrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

const QString CCheckListCtrl::kBooleanText = QStringLiteral("boolean");

namespace {

// The check state is kept with the row's first cell.
constexpr int kCheckedRole = Qt::UserRole + 1;

// Draws every cell: the background by selection and focus, then a check box or the text.
class CCheckCellDelegate : public QStyledItemDelegate {
  public:
    explicit CCheckCellDelegate(CCheckListCtrl* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const bool focused = list_->hasFocus();
        const QPalette& palette = list_->palette();
        const QColor fill = !selected ? palette.color(QPalette::Base)
                            : focused ? palette.color(QPalette::Highlight)
                                      : palette.color(QPalette::Button);
        painter->save();
        painter->fillRect(option.rect, fill);
        if (index.data().toString() == CCheckListCtrl::kBooleanText) {
            DrawCheckBox(*painter, option.rect, list_->IsChecked(index.row()));
            painter->restore();
            return;
        }
        painter->restore();

        // Text as the list draws it, over the background drawn above.
        QStyleOptionViewItem text(option);
        initStyleOption(&text, index);
        text.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        text.backgroundBrush = QBrush();
        if (selected && focused) {
            text.palette.setColor(QPalette::Text, palette.color(QPalette::HighlightedText));
        }
        list_->style()->drawControl(QStyle::CE_ItemViewItem, &text, painter, list_);
    }

  private:
    static void DrawCheckBox(QPainter& painter, const QRect& cell, bool checked) {
        const CCheckListCtrl::CheckBoxShape shape = CCheckListCtrl::CheckBoxIn(cell);
        const QRect& f = shape.frame;
        // Pixels are set one by one, so that no pen rounding moves a line.
        painter.fillRect(QRect(f.left(), f.top(), f.width(), 1), Qt::black);
        painter.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), Qt::black);
        painter.fillRect(QRect(f.left(), f.top(), 1, f.height()), Qt::black);
        painter.fillRect(QRect(f.right(), f.top(), 1, f.height()), Qt::black);
        if (checked) {
            for (const QLine& stroke : shape.strokes) {
                painter.fillRect(QRect(stroke.p1(), stroke.p2()), Qt::black);
            }
        }
    }

    CCheckListCtrl* list_;
};

}  // namespace

CCheckListCtrl::CheckBoxShape CCheckListCtrl::CheckBoxIn(const QRect& cell) {
    // Two pixels off each side and one off top and bottom; the box is as high as what
    // remains, one pixel wider than high, and centred.
    const QRect inner = cell.adjusted(2, 1, -2, -1);
    const int h = inner.height();
    const int left = inner.left() + inner.width() / 2 - h / 2 - 1;
    CheckBoxShape shape;
    shape.frame = QRect(left, inner.top(), h + 1, h);
    // The mark: seven strokes of three pixels, going down to the left for four strokes
    // and then up again.
    const int x = left + 10;
    const int y = inner.top() + 3;
    for (int i = 0; i < 7; ++i) {
        const int top = y + (i <= 3 ? i : 6 - i);
        shape.strokes[static_cast<size_t>(i)] = QLine(x - i, top, x - i, top + 2);
    }
    return shape;
}

CCheckListCtrl::CCheckListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // The cells draw the selection themselves; the style's focus frame over the current row
    // would cover the check boxes.
    setAllColumnsShowFocus(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setItemDelegate(new CCheckCellDelegate(this));
}

int CCheckListCtrl::AddRow(const QStringList& cells) {
    auto* item = new QTreeWidgetItem(cells);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(0, kCheckedRole, false);
    addTopLevelItem(item);
    return indexOfTopLevelItem(item);
}

QString CCheckListCtrl::CellText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

bool CCheckListCtrl::IsChecked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->data(0, kCheckedRole).toBool();
}

void CCheckListCtrl::SetChecked(int row, bool checked) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setData(0, kCheckedRole, checked);
        viewport()->update();
    }
}

int CCheckListCtrl::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

void CCheckListCtrl::ClearSelectionMark() {
    clearSelection();
    setCurrentItem(nullptr);
}

int CCheckListCtrl::ClientWidth() const {
    return contentsRect().width();
}

int CCheckListCtrl::CountPerPage() const {
    const int rowHeight = RowCount() > 0 ? sizeHintForRow(0) : 0;
    if (rowHeight <= 0) {
        return 0;
    }
    const int headerHeight = header()->isHidden() ? 0 : header()->sizeHint().height();
    return std::max(0, contentsRect().height() - headerHeight) / rowHeight;
}

void CCheckListCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QModelIndex before = indexAt(at);
    const bool noted = before.isValid() && IsChecked(before.row());
    // Selecting comes first, as for any other tap.
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QModelIndex cell = indexAt(at);
    if (cell.isValid() && cell.data().toString() == kBooleanText) {
        SetChecked(cell.row(), !noted);
        if (onCheckToggled) {
            onCheckToggled(cell.row());
        }
    }
}
