// The "Home Devices" dialog: every codebase found, with its category, device name and
// whether it is the hot codebase of its category; filters by category; and Add, ReLearn,
// Delete, Rename, Hot, Select and Done on the selected row; Buttons..., which shows what
// the selected codebase's buttons are; Category..., which moves the selected codebase to
// another category; Import and Export of files of IR codes. The commands that work on a row
// are disabled while none is selected, and after each command the selection stays on the
// codebase it worked on.
//
// The dialog works on the remote window's forms directly: making a codebase hot sets the
// codebase slot of both forms of its category at once. The preference file follows when the
// dialog closes with Done or Select after a change.
#pragma once

#include <array>
#include <vector>
#include "resources/dialogs/CFillOnShowDialog.h"

#include "store/Catalogue.h"

class ModalRunner;
class CCheckListCtrl;
class CDUWnd;
class CHelpBar;
class HandheldFs;
class QLabel;
class QPushButton;

class CHomeDevicesDlg : public CFillOnShowDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 110;
    static constexpr int kListId = 1017;
    static constexpr int kTitleId = 1037;
    // The filter buttons, by category: All, TV, Cab/Sat, DVD/CD, VCR, Audio, TiVo.
    static constexpr std::array<int, kCategoryCount> kFilterIds = {1015, 1016, 1019, 1020,
                                                                   1021, 1022, 1023};
    static constexpr int kAddId = 1024;
    static constexpr int kRelearnId = 1025;
    static constexpr int kDeleteId = 1026;
    static constexpr int kRenameId = 1027;
    static constexpr int kHotId = 1028;
    static constexpr int kImportId = 1040;
    static constexpr int kExportId = 1041;
    // Adds a codebase from the code collections on disk.
    static constexpr int kAddFromCodesId = 1043;
    static constexpr int kSelectId = 2;
    static constexpr int kDoneId = 1;
    // Opens the view of the selected codebase's buttons and signals.
    static constexpr int kButtonsId = 1029;
    // Moves the selected codebase to another category under its name.
    static constexpr int kCategoryId = 1042;
    static constexpr int kHelpTopic = 3;

    static constexpr int kCategoryColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kHotColumn = 2;

    // `filter` is the category shown first: 0 (all) from the menu, the current form's
    // category from the remote screen.
    CHomeDevicesDlg(CDUWnd& window, ModalRunner& modal, HandheldFs& fs,
                    const HandheldFolders& folders, int filter, QWidget* parent = nullptr);

    // The controls, for a look at their texts and fonts.
    CCheckListCtrl* List() const { return list_; }
    QLabel* TitleText() const { return title_; }
    // The filter button of `category` (0 for All); null outside 0..6.
    QPushButton* FilterButton(int category) const;
    // Add, ReLearn, Delete, Rename, Hot, Import, Export, Select, Done, Buttons or Category by
    // control id; null for another id.
    QPushButton* CommandButton(int id) const;
    CHelpBar* HelpBar() const { return helpBar_; }

    int CurrentFilter() const { return filter_; }
    int ShownFilter() const { return shownFilter_; }
    bool Changed() const { return changed_; }
    const std::vector<CodebaseEntry>& Entries() const { return entries_; }

    // The commands, as their buttons give them.
    void OnFilter(int category);
    void OnAdd();
    void OnRelearn();
    void OnDelete();
    void OnRename();
    void OnHot();
    void OnImport();
    void OnExport();
    void OnAddFromCodes();
    void OnSelect();
    void OnDone();
    void OnButtons();
    void OnCategory();

  protected:
    void FirstShown() override { Open(); }
    // Escape and the window's close box close the dialog as Done does, keeping changes.
    void reject() override;

  private:
    void LayOutFilters();
    void Open();
    void FillList(int filter);
    void ApplyHotMarks();
    // The entry behind the selected row, or -1 (the list then gets the focus).
    int SelectedEntry();
    // The path of the selected row's codebase; empty without one.
    QString SelectedPath() const;
    // Selects the row of the codebase at `path`, when it is shown; true when it is.
    bool SelectPath(const QString& path);
    // Reads the catalogue again and fills the list, with the codebase at `path` selected.
    void Refill(const QString& path);
    // Enables the commands that work on a row while one is selected.
    void UpdateCommands();
    // Renames the selected codebase (mode kRename of the codebase dialog) or moves it to
    // another category (kCategory), telling the user when that fails; the list follows with
    // the codebase selected.
    void ChangeCodebase(int mode);
    // The forms' slots, and writing changed ones back.
    HotSlots FormSlots() const;
    void SetFormSlots(const HotSlots& hot);
    // Makes `path` the hot codebase of `category` and starts learning it on the remote.
    void StartLearning(int category, const QString& path, int learnMode);
    // Closes the dialog; after a change the forms, the screen and the preferences follow.
    void Finish();

    CDUWnd& window_;
    ModalRunner& modal_;
    HandheldFs& fs_;
    HandheldFolders folders_;
    std::vector<CodebaseEntry> entries_;
    int filter_ = 0;
    int initialFilter_;
    int shownFilter_ = -1;
    bool filling_ = false;
    bool changed_ = false;

    CCheckListCtrl* list_;
    QLabel* title_;
    std::array<QPushButton*, kCategoryCount> filters_{};
    QPushButton* add_;
    QPushButton* relearn_;
    QPushButton* delete_;
    QPushButton* rename_;
    QPushButton* hot_;
    QPushButton* import_;
    QPushButton* export_;
    QPushButton* addFromCodes_;
    QPushButton* select_;
    QPushButton* done_;
    QPushButton* buttons_;
    QPushButton* category_;
    CHelpBar* helpBar_;
};

// Runs the Home Devices dialog modally over the remote window's forms. Afterwards the
// caller updates the remote's category tabs and repaints it.
void RunHomeDevices(CDUWnd& window, ModalRunner& modal, HandheldFs& fs,
                    const HandheldFolders& folders, int filter);
