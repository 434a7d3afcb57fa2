// The "Hard Buttons" dialog: what each of the seven hardware keys does, either its own
// system function ("Win CE default") or one button of one category's forms.
//
// The dialog edits a copy of the remote window's capture switch and assignments; the copy
// goes back to the window only when the dialog is closed with OK (RunHardButtons).
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

#include "store/PrefFile.h"

class ModalRunner;
class CDUWnd;
class CHelpBar;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class CHardButtonsDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 118;
    static constexpr int kTitleId = 1028;
    static constexpr int kListId = 1017;
    static constexpr int kCategoryLabelId = 1029;
    static constexpr int kButtonLabelId = 1030;
    static constexpr int kCategoryListId = 1035;
    static constexpr int kButtonListId = 1036;
    static constexpr int kRestoreDefaultsId = 1016;
    static constexpr int kRestoreSystemId = 1018;
    static constexpr int kHelpTopic = 9;
    static constexpr int kCategories = 6;  // TV .. TiVo, positions 0..5 in the drop-down
    static constexpr int kIconSize = 16;

    // The working copy of one hardware-key slot. `position` is the assignment's place in its
    // category's button list, -1 when it has none there.
    struct SlotCopy {
        bool used = false;
        int form = -1;
        int button = -1;
        int position = -1;
    };
    // A remote button that a key can be given.
    struct ButtonEntry {
        QString name;
        int button = -1;  // element index on its form
        int form = -1;
    };

    CHardButtonsDlg(CDUWnd& window, ModalRunner& modal, QWidget* parent = nullptr);

    // The working copy, as OK hands it back.
    bool Active() const { return active_; }
    const SlotCopy& Slot(int slot) const { return slots_.at(static_cast<size_t>(slot)); }
    int CurrentRow() const { return currentRow_; }
    // The buttons of category position 0 (TV) .. 5 (TiVo): its first form's, then its second's.
    const std::vector<ButtonEntry>& CategoryButtons(int position) const {
        return buttons_.at(static_cast<size_t>(position));
    }
    // The text of a row's "Assignment" column.
    QString AssignmentText(int row) const;

    QLabel* Title() const { return title_; }
    QTreeWidget* List() const { return list_; }
    QComboBox* CategoryList() const { return categories_; }
    QComboBox* ButtonList() const { return useButton_; }
    QPushButton* RestoreDefaultsButton() const { return restoreDefaults_; }
    QPushButton* RestoreSystemButton() const { return restoreSystem_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    CHelpBar* HelpBar() const { return helpBar_; }

    // The icon of a row: an envelope, a task list, four triangles, a filled circle.
    static QPixmap RowIcon(int row);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The controls and their places: the title, the list of keys, the category and button
    // drop-downs, the restore and closing buttons, the help bar.
    void BuildControls();
    void BuildKeyList();
    void BuildChoices();
    void BuildCommands();
    // Grows the list until its seven rows show whole, moving what lies below it down by as
    // much; returns how much.
    int ShowEveryKeyRow();
    void Accept();
    void Cancel();
    void Open();
    void OnRowTapped();
    void OnCategoryChosen(int position);
    void OnButtonChosen(int position);
    void RestoreDefaults();
    void RestoreSystem();
    // After either restore: no selection in the drop-downs or the list, no current row.
    void ClearChoice();
    // Fills the "Use Button" list with the category's names, selecting `position`.
    void FillButtonList(int category, int position);
    // The entry of `form`/`button` in its category's list, or -1.
    int FindEntry(int form, int button) const;
    // "TV (Mute)" for the entry, empty for none.
    QString EntryText(int category, int position) const;
    void SetRowText(int row, const QString& text);

    CDUWnd& window_;
    ModalRunner& modal_;
    bool active_ = true;
    std::array<SlotCopy, kHardKeyCount> slots_{};
    std::array<std::vector<ButtonEntry>, kCategories> buttons_{};
    int currentRow_ = -1;

    QLabel* title_;
    QTreeWidget* list_;
    QComboBox* categories_;
    QComboBox* useButton_;
    QPushButton* restoreDefaults_;
    QPushButton* restoreSystem_;
    QPushButton* ok_;
    QPushButton* cancel_;
    CHelpBar* helpBar_;
};

// Runs the Hard Buttons dialog for `window`; on OK applies the capture switch and the seven
// assignments to the window and saves its state, telling the user when that fails.
void RunHardButtons(CDUWnd& window, ModalRunner& modal);
