#include "shell/CHomeDevicesDlg.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "platform/HandheldFs.h"
#include "platform/Modal.h"
#include "remote/CButtonViewDlg.h"
#include "remote/CDUWnd.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"
#include "shell/CAddFromCodesDlg.h"
#include "shell/CCheckListCtrl.h"
#include "shell/ImportExport.h"
#include "store/FormTables.h"
#include "store/dialogs/CCodebaseDlg.h"

namespace {

constexpr int kDialogWidth = 162;  // dialog units
// Low enough, with the help bar and a window's title bar, for a screen of 1024 pixels at three
// times the handheld's size.
constexpr int kDialogHeight = 184;

// The rows of buttons, in dialog units.
constexpr QRect kFilterRow(2, 16, 158, 12);
constexpr QRect kCommandRow(2, 121, 158, 12);
constexpr QRect kCodebaseRow(2, 155, 158, 12);
constexpr QRect kAddingRow(2, 169, 158, 12);
// Pixels between the buttons of a row.
constexpr int kGap = 1;

QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& units,
                        int pixels) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setGeometry(DluRect(units));
    button->setFont(Arial(pixels, true));
    button->setAutoDefault(false);
    return button;
}

// The folder of a codebase's path, with its trailing backslash.
QString FolderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

}  // namespace

CHomeDevicesDlg::CHomeDevicesDlg(CDUWnd& window, ModalRunner& modal, HandheldFs& fs,
                                 const HandheldFolders& folders, int filter, QWidget* parent)
    : CFillOnShowDialog(parent),
      window_(window),
      modal_(modal),
      fs_(fs),
      folders_(folders),
      initialFilter_(filter) {
    setObjectName(QString::number(kDialogId));
    setWindowTitle("Home Devices");

    title_ = new QLabel("Home Devices", this);
    title_->setObjectName(QString::number(kTitleId));
    title_->setGeometry(DluRect(4, 2, 154, 12));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18, true));
    FitLineHeight(title_);

    for (int c = kCategoryUnknown; c < kCategoryCount; ++c) {
        const QString text =
            c == kCategoryUnknown ? QStringLiteral("All") : QString::fromLatin1(CategoryName(c));
        QPushButton* button = MakeButton(this, kFilterIds[size_t(c)], text, kFilterRow, 12);
        button->setFont(Arial(12, false));
        connect(button, &QPushButton::clicked, this, [this, c] { OnFilter(c); });
        filters_[size_t(c)] = button;
    }

    LayOutFilters();

    list_ = new CCheckListCtrl(this);
    list_->setObjectName(QString::number(kListId));
    list_->setGeometry(DluRect(2, 30, 158, 88));
    list_->onCheckToggled = [this](int) {
        if (!filling_) {
            ApplyHotMarks();
        }
    };
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnSelect(); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CHomeDevicesDlg::UpdateCommands);

    add_ = MakeButton(this, kAddId, "Add", kCommandRow, 12);
    relearn_ = MakeButton(this, kRelearnId, "ReLearn", kCommandRow, 12);
    delete_ = MakeButton(this, kDeleteId, "Delete", kCommandRow, 12);
    rename_ = MakeButton(this, kRenameId, "Rename", kCommandRow, 12);
    hot_ = MakeButton(this, kHotId, "Hot", kCommandRow, 12);
    LayOutRow({add_, relearn_, delete_, rename_, hot_}, DluRect(kCommandRow), Arial(12, true),
              kGap);
    select_ = MakeButton(this, kSelectId, "Select", QRect(4, 137, 75, 14), 14);
    done_ = MakeButton(this, kDoneId, "Done", QRect(83, 137, 75, 14), 14);
    done_->setDefault(true);
    // The commands on the selected codebase, then those that add codebases.
    buttons_ = MakeButton(this, kButtonsId, "Buttons...", kCodebaseRow, 12);
    connect(buttons_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnButtons);
    category_ = MakeButton(this, kCategoryId, "Category...", kCodebaseRow, 12);
    connect(category_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnCategory);
    export_ = MakeButton(this, kExportId, "Export...", kCodebaseRow, 12);
    LayOutRow({buttons_, category_, export_}, DluRect(kCodebaseRow), Arial(12, true), kGap);
    import_ = MakeButton(this, kImportId, "Import...", kAddingRow, 12);
    addFromCodes_ = MakeButton(this, kAddFromCodesId, StringText(kStrAddFromCodes), kAddingRow, 12);
    LayOutRow({import_, addFromCodes_}, DluRect(kAddingRow), Arial(12, true), kGap);
    connect(addFromCodes_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnAddFromCodes);
    connect(add_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnAdd);
    connect(relearn_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnRelearn);
    connect(delete_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnDelete);
    connect(rename_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnRename);
    connect(hot_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnHot);
    connect(import_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnImport);
    connect(export_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnExport);
    connect(select_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnSelect);
    connect(done_, &QPushButton::clicked, this, &CHomeDevicesDlg::OnDone);

    // The command bar with the Help button sits below the dialog's own area.
    helpBar_ = new CHelpBar(modal_, kHelpTopic, this);
    const int barHeight = helpBar_->sizeHint().height();
    setFixedSize(DluX(kDialogWidth), DluY(kDialogHeight) + barHeight);
    helpBar_->setGeometry(0, DluY(kDialogHeight), DluX(kDialogWidth), barHeight);
    UpdateCommands();
}

void CHomeDevicesDlg::LayOutFilters() {
    // Measured in bold, the look of the current filter, so that "Cab/Sat" and "DVD/CD" are
    // not cut when they are chosen.
    // Seven names leave little room: the buttons touch.
    LayOutRow(std::vector<QPushButton*>(filters_.begin(), filters_.end()), DluRect(kFilterRow),
              Arial(12, true), 0);
}

QPushButton* CHomeDevicesDlg::FilterButton(int category) const {
    return category >= 0 && category < kCategoryCount ? filters_[size_t(category)] : nullptr;
}

QPushButton* CHomeDevicesDlg::CommandButton(int id) const {
    switch (id) {
        case kAddId:
            return add_;
        case kRelearnId:
            return relearn_;
        case kDeleteId:
            return delete_;
        case kRenameId:
            return rename_;
        case kHotId:
            return hot_;
        case kImportId:
            return import_;
        case kExportId:
            return export_;
        case kSelectId:
            return select_;
        case kDoneId:
            return done_;
        case kButtonsId:
            return buttons_;
        case kCategoryId:
            return category_;
        case kAddFromCodesId:
            return addFromCodes_;
        default:
            return nullptr;
    }
}

void CHomeDevicesDlg::Open() {
    const int w = list_->ClientWidth();
    list_->setHeaderLabels({"Category", "Name", "Hot"});
    list_->setColumnWidth(kCategoryColumn, 2 * w / 7 - 7);
    list_->setColumnWidth(kNameColumn, 4 * w / 7 - 5);
    list_->setColumnWidth(kHotColumn, w / 7);

    entries_ = window_.Model().Codebases(folders_);
    OnFilter(initialFilter_);
}

void CHomeDevicesDlg::OnFilter(int category) {
    filter_ = category;
    if (category == shownFilter_) {
        return;
    }
    for (int c = 0; c < kCategoryCount; ++c) {
        filters_[size_t(c)]->setFont(Arial(12, c == category));
    }
    FillList(category);
}

void CHomeDevicesDlg::FillList(int filter) {
    const QString selected = SelectedPath();
    filling_ = true;
    shownFilter_ = filter;
    list_->clear();
    for (CodebaseEntry& entry : entries_) {
        const bool shown = filter >= 0 && filter < kCategoryCount &&
                           (filter == kCategoryUnknown || filter == entry.category);
        if (!shown) {
            entry.position = -1;
            continue;
        }
        entry.position = list_->AddRow({QString::fromLatin1(CategoryName(entry.category)),
                                        entry.deviceName, CCheckListCtrl::kBooleanText});
        list_->SetChecked(entry.position, entry.mark != 0);
    }
    // Narrower when the vertical scroll bar takes its room.
    const int w = list_->ClientWidth();
    list_->setColumnWidth(
        kNameColumn, list_->RowCount() > list_->CountPerPage() ? 4 * w / 7 + 2 : 4 * w / 7 + 7);
    filling_ = false;
    list_->ClearSelectionMark();
    // The codebase that was selected stays so while it is shown.
    SelectPath(selected);
    UpdateCommands();
    list_->setFocus();
}

QString CHomeDevicesDlg::SelectedPath() const {
    const int row = list_->SelectedRow();
    for (const CodebaseEntry& entry : entries_) {
        if (row >= 0 && entry.position == row) {
            return entry.path;
        }
    }
    return QString();
}

bool CHomeDevicesDlg::SelectPath(const QString& path) {
    for (const CodebaseEntry& entry : entries_) {
        if (!path.isEmpty() && entry.position >= 0 &&
            entry.path.compare(path, Qt::CaseInsensitive) == 0) {
            QTreeWidgetItem* item = list_->topLevelItem(entry.position);
            list_->setCurrentItem(item);
            list_->scrollToItem(item);
            return true;
        }
    }
    return false;
}

void CHomeDevicesDlg::Refill(const QString& path) {
    entries_ = window_.Model().Codebases(folders_);
    FillList(filter_);
    SelectPath(path);
    UpdateCommands();
}

void CHomeDevicesDlg::UpdateCommands() {
    const bool selected = list_->SelectedRow() >= 0;
    for (QPushButton* command :
         {relearn_, delete_, rename_, hot_, select_, buttons_, export_, category_}) {
        command->setEnabled(selected);
    }
}

void CHomeDevicesDlg::ApplyHotMarks() {
    HotSlots hot = FormSlots();
    for (CodebaseEntry& entry : entries_) {
        if (entry.position < 0) {
            continue;
        }
        const bool checked = list_->IsChecked(entry.position);
        if (checked && !IsDeviceCategory(entry.category)) {
            // A codebase of no known category has no forms to be hot on.
            list_->SetChecked(entry.position, false);
            continue;
        }
        if (checked && entry.mark == 0) {
            SetHotCodebase(hot, entry.category, entry.path);
            for (CodebaseEntry& other : entries_) {
                if (&other != &entry && other.category == entry.category) {
                    if (other.position >= 0) {
                        list_->SetChecked(other.position, false);
                    }
                    other.mark = 0;
                }
            }
            entry.mark = 1;
            changed_ = true;
        } else if (!checked && entry.mark != 0) {
            SetHotCodebase(hot, entry.category, QString());
            entry.mark = 0;
            changed_ = true;
        }
    }
    SetFormSlots(hot);
}

int CHomeDevicesDlg::SelectedEntry() {
    const int row = list_->SelectedRow();
    if (row >= 0) {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].position == row) {
                return int(i);
            }
        }
    }
    list_->setFocus();
    return -1;
}

HotSlots CHomeDevicesDlg::FormSlots() const {
    HotSlots hot;
    for (int form = 0; form < kFormCount; ++form) {
        hot[size_t(form)] = window_.Model().HotCodebaseOfForm(form);
    }
    return hot;
}

void CHomeDevicesDlg::SetFormSlots(const HotSlots& hot) {
    // The choice is kept in the preference file when the dialog ends.
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        window_.Model().MakeHot(category, hot[size_t(FirstFormOf(category))], false);
    }
}

void CHomeDevicesDlg::OnHot() {
    const int index = SelectedEntry();
    if (index < 0) {
        return;
    }
    const CodebaseEntry& entry = entries_[size_t(index)];
    list_->SetChecked(entry.position, entry.mark == 0);
    if (!filling_) {
        ApplyHotMarks();
    }
    changed_ = true;
}

void CHomeDevicesDlg::OnSelect() {
    const int index = SelectedEntry();
    if (index < 0) {
        return;
    }
    const CodebaseEntry& entry = entries_[size_t(index)];
    HotSlots hot = FormSlots();
    SetHotCodebase(hot, entry.category, entry.path);
    SetFormSlots(hot);
    if (IsDeviceCategory(entry.category)) {
        window_.SelectForm(FirstFormOf(entry.category));
    }
    changed_ = true;
    Finish();
}

void CHomeDevicesDlg::OnDone() {
    Finish();
}

void CHomeDevicesDlg::reject() {
    Finish();
}

void CHomeDevicesDlg::Finish() {
    // What was chosen here is kept in the preference file; the window has redrawn from the
    // model's announcements.
    CRemoteModel& model = window_.Model();
    if (changed_ && !model.SaveState()) {
        modal_.ShowMessage(this, StringText(kStrCreateFileFailed, {model.PrefFile()}));
    }
    done(kDoneId);
}

void CHomeDevicesDlg::StartLearning(int category, const QString& path, int learnMode) {
    HotSlots hot = FormSlots();
    SetHotCodebase(hot, category, path);
    SetFormSlots(hot);
    for (const int form : {FirstFormOf(category), SecondFormOf(category)}) {
        CSkinForm& skin = *window_.GetForm(form);
        skin.learnMode = learnMode;
        skin.RefreshButtons();
    }
    window_.SelectForm(FirstFormOf(category));
    window_.SetLearningMode(true);
}

void CHomeDevicesDlg::OnAdd() {
    CCodebaseDlg codebase(fs_, modal_, this);
    codebase.mode = CCodebaseDlg::kCreate;
    codebase.name = QString::number(list_->RowCount() + 1);
    codebase.folder = folders_.defaultCodebaseFolder;
    if (modal_.RunDialog(codebase) != kIdOk || !IsDeviceCategory(codebase.category)) {
        list_->setFocus();
        return;
    }
    const QString path = window_.Model().NewCodebase(folders_, codebase.category, codebase.name);
    StartLearning(codebase.category, path, codebase.learnMode);
    done(kDoneId);
}

void CHomeDevicesDlg::OnRelearn() {
    const int index = SelectedEntry();
    if (index < 0) {
        return;
    }
    const CodebaseEntry entry = entries_[size_t(index)];
    if (!IsDeviceCategory(entry.category)) {
        // Learning needs the forms of a category; without one it would go into the
        // codebase of whatever form is shown.
        modal_.ShowMessage(this, StringText(kStrNoCategoryToRelearn));
        list_->setFocus();
        return;
    }
    CCodebaseDlg codebase(fs_, modal_, this);
    codebase.mode = CCodebaseDlg::kRelearn;
    codebase.category = entry.category - 1;
    codebase.name = entry.deviceName;
    codebase.categorySelectable = false;
    codebase.nameEditable = false;
    if (modal_.RunDialog(codebase) != kIdOk) {
        list_->setFocus();
        return;
    }
    StartLearning(entry.category, entry.path, codebase.learnMode);
    if (!window_.Model().SaveState()) {
        modal_.ShowMessage(this, StringText(kStrCreateFileFailed, {window_.Model().PrefFile()}));
    }
    done(kDoneId);
}

void CHomeDevicesDlg::OnRename() {
    ChangeCodebase(CCodebaseDlg::kRename);
}

void CHomeDevicesDlg::OnCategory() {
    ChangeCodebase(CCodebaseDlg::kCategory);
}

void CHomeDevicesDlg::ChangeCodebase(int mode) {
    const int index = SelectedEntry();
    if (index < 0) {
        return;
    }
    const CodebaseEntry entry = entries_[size_t(index)];
    CCodebaseDlg codebase(fs_, modal_, this);
    codebase.mode = mode;
    codebase.category = entry.category - 1;
    codebase.name = entry.deviceName;
    // A rename keeps the category; Category... moves a codebase imported under the wrong
    // category, or under none, to another one under its name.
    codebase.categorySelectable = mode == CCodebaseDlg::kCategory;
    // The new name must be free in the folder where the file lies.
    codebase.folder = FolderOf(entry.path);
    if (modal_.RunDialog(codebase) != kIdOk ||
        (codebase.category == entry.category && codebase.name == entry.deviceName)) {
        list_->setFocus();
        return;
    }
    QString moved;
    const int result =
        window_.Model().RenameCodebase(entry.path, codebase.category, codebase.name, &moved);
    if (result != kCatalogueOk) {
        modal_.ShowMessage(this, StringText(kStrCannotRenameCodebase, {entry.path}));
        list_->setFocus();
        return;
    }
    changed_ = true;
    // A codebase moved out of the category shown is followed into the whole list.
    if (filter_ != kCategoryUnknown && filter_ != codebase.category) {
        OnFilter(kCategoryUnknown);
    }
    Refill(moved);
}

void CHomeDevicesDlg::OnImport() {
    const std::vector<CodebaseEntry> before = entries_;
    if (!RunImport(this, modal_, window_.Model(), folders_)) {
        list_->setFocus();
        return;
    }
    // The first codebase that the import made is selected; a replaced one stays selected
    // where it was.
    entries_ = window_.Model().Codebases(folders_);
    QString made = SelectedPath();
    for (const CodebaseEntry& entry : entries_) {
        const bool known = std::any_of(before.begin(), before.end(), [&entry](const auto& old) {
            return old.path.compare(entry.path, Qt::CaseInsensitive) == 0;
        });
        if (!known) {
            made = entry.path;
            break;
        }
    }
    Refill(made);
}

void CHomeDevicesDlg::OnAddFromCodes() {
    if (!RunAddFromCodes(this, modal_, window_.Model(), folders_, filter_)) {
        list_->setFocus();
        return;
    }
    // The new codebase is hot in its category: the forms follow when the dialog ends.
    changed_ = true;
    entries_ = window_.Model().Codebases(folders_);
    Refill(SelectedPath());
}

void CHomeDevicesDlg::OnExport() {
    const int index = SelectedEntry();
    if (index >= 0) {
        RunExport(this, modal_, window_.Model(), entries_[size_t(index)]);
    }
}

void CHomeDevicesDlg::OnDelete() {
    const int index = SelectedEntry();
    if (index < 0) {
        return;
    }
    const CodebaseEntry entry = entries_[size_t(index)];
    const QString question =
        StringText(kStrDeleteCodebaseQuestion, {DisplayName(entry.category, entry.deviceName)});
    if (modal_.ShowMessage(this, question, MessageButtons::YesNoDefaultNo) != kIdYes) {
        return;
    }
    const int result = window_.Model().DeleteCodebase(entry.path);
    if (result == kCatalogueCannotRemove) {
        // The file is still there, so it stays hot where it was.
        modal_.ShowMessage(this, StringText(kStrCannotRemoveFile, {entry.path}));
        return;
    }
    if (result == kCatalogueCannotOpen && entry.mark != 0) {
        // The file has gone already; its category has nothing to send from.
        list_->SetChecked(entry.position, false);
        ApplyHotMarks();
    }
    if (result != kCatalogueOk) {
        return;
    }
    // Deleting the hot codebase left its category without one; the window follows the model.
    changed_ = true;
    // The row that takes the deleted one's place is selected, or the one above the last.
    const int row = entry.position;
    entries_.erase(entries_.begin() + index);
    list_->ClearSelectionMark();
    FillList(filter_);
    if (list_->RowCount() > 0) {
        list_->setCurrentItem(list_->topLevelItem(std::min(row, list_->RowCount() - 1)));
    }
}

void CHomeDevicesDlg::OnButtons() {
    const int index = SelectedEntry();
    if (index >= 0) {
        // Buttons deleted there change what the remote's forms can send.
        if (RunButtonView(window_.Model(), modal_, entries_[size_t(index)].path, this)) {
            changed_ = true;
        }
    }
}

void RunHomeDevices(CDUWnd& window, ModalRunner& modal, HandheldFs& fs,
                    const HandheldFolders& folders, int filter) {
    CHomeDevicesDlg dialog(window, modal, fs, folders, filter, &window);
    modal.RunDialog(dialog);
}
