// A report-style list with a check column. Every cell whose text is "boolean" is drawn as a
// small check box, and tapping such a cell turns the row's check state over; a tap on any
// other cell only selects the row. The list draws every cell itself, so that a selected row
// looks the same whether the list holds the focus (highlight) or not (button face).
#pragma once

#include <QLine>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <array>
#include <functional>

class CCheckListCtrl : public QTreeWidget {
    Q_OBJECT

  public:
    // The text of a cell that shows a check box instead of text.
    static const QString kBooleanText;

    // Where the box and its check mark go in a cell. `frame` is the one-pixel frame (its
    // outermost pixels); each stroke of the mark is a vertical line of three pixels.
    struct CheckBoxShape {
        QRect frame;
        std::array<QLine, 7> strokes;
    };
    static CheckBoxShape CheckBoxIn(const QRect& cell);

    explicit CCheckListCtrl(QWidget* parent = nullptr);

    int RowCount() const { return topLevelItemCount(); }
    // Appends a row (unchecked) and returns its number.
    int AddRow(const QStringList& cells);
    QString CellText(int row, int column) const;
    // Setting the check state does not call `onCheckToggled`; only a tap does.
    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);
    // The selected row, or -1.
    int SelectedRow() const;
    // Leaves no row selected and none current.
    void ClearSelectionMark();
    // The width and the number of whole rows that the list's client area shows.
    int ClientWidth() const;
    int CountPerPage() const;

    // Called after a tap has turned a row's check state over.
    std::function<void(int row)> onCheckToggled;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};
