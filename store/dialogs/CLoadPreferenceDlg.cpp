#include "store/dialogs/CLoadPreferenceDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "model/CRemoteModel.h"
#include "platform/Modal.h"
#include "resources/HelpTexts.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"
#include "store/PrefFile.h"

std::vector<PreferenceSetEntry> ListPreferenceSets(HandheldFs& fs, const QString& folder) {
    std::vector<PreferenceSetEntry> sets;
    for (const std::string& found : fs.ListFiles(folder.toStdString(), "*.PDB")) {
        if (sets.size() >= size_t(CLoadPreferenceDlg::kMaxListedSets)) {
            break;
        }
        QString path = QString::fromStdString(found);
        if (!path.contains('\\')) {
            path.prepend(folder);
        }
        CPrefFile file(&fs);
        if (file.Open(path, CPdbFile::kModeRead) == kPdbOk && file.IsPrefFile()) {
            const QString name = file.GetName();
            if (!name.isEmpty()) {
                sets.push_back({name, path});
            }
        }
        file.Close();
    }
    // An exchange sort over all pairs, so that sets of equal names come out in the same
    // order whenever the folder lists the same files.
    for (size_t i = 0; i < sets.size(); ++i) {
        for (size_t j = i + 1; j < sets.size(); ++j) {
            if (QString::compare(sets[j].name, sets[i].name, Qt::CaseSensitive) < 0) {
                std::swap(sets[i], sets[j]);
            }
        }
    }
    return sets;
}

CLoadPreferenceDlg::CLoadPreferenceDlg(CRemoteModel& model, ModalRunner& modal, QWidget* parent)
    : CFillOnShowDialog(parent), model_(model), modal_(modal) {
    setWindowTitle("Load Preference");
    setFont(QFont("MS Sans Serif", 8));

    title_ = new QLabel("Available Preferences", this);
    title_->setObjectName(QString::number(kTitleId));
    title_->setGeometry(DluRect(9, 2, 138, 14));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18, true));

    list_ = new QListWidget(this);
    list_->setObjectName(QString::number(kListId));
    list_->setGeometry(DluRect(9, 20, 144, 100));
    list_->setFont(Arial(14, false));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CLoadPreferenceDlg::OnLoad);

    delete_ = new QPushButton("Delete", this);
    delete_->setObjectName(QString::number(kDeleteId));
    delete_->setGeometry(DluRect(9, 124, 144, 14));
    delete_->setFont(Arial(14, true));
    connect(delete_, &QPushButton::clicked, this, &CLoadPreferenceDlg::OnDelete);

    load_ = new QPushButton("Load", this);
    load_->setObjectName("1");
    load_->setGeometry(DluRect(4, 143, 75, 14));
    load_->setDefault(true);
    load_->setFont(Arial(14, true));
    connect(load_, &QPushButton::clicked, this, &CLoadPreferenceDlg::OnLoad);

    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(DluRect(82, 143, 75, 14));
    cancel_->setFont(Arial(14, true));
    connect(cancel_, &QPushButton::clicked, this, [this] { done(kIdCancel); });

    helpBar_ = new CHelpBar(modal_, kHelpLoadPreferences, this);
    helpBar_->adjustSize();
    const int barHeight = helpBar_->sizeHint().height();
    setFixedSize(DluX(162), DluY(165) + barHeight);
    FitTitle(title_);
    helpBar_->setGeometry(0, DluY(165), width(), barHeight);
}

void CLoadPreferenceDlg::Open() {
    sets_ = ListPreferenceSets(model_.Fs(), folder);
    Fill();
}

void CLoadPreferenceDlg::Fill() {
    list_->clear();
    for (const PreferenceSetEntry& set : sets_) {
        list_->addItem(set.name);
    }
    list_->setCurrentRow(-1);
    list_->clearSelection();
}

void CLoadPreferenceDlg::OnLoad() {
    const int row = list_->currentRow();
    if (row < 0 || size_t(row) >= sets_.size() || !list_->item(row)->isSelected()) {
        list_->setFocus();
        return;
    }
    const QString& path = sets_[size_t(row)].path;
    fileName = path.mid(path.lastIndexOf('\\') + 1);
    done(kIdOk);
}

void CLoadPreferenceDlg::OnDelete() {
    const int row = list_->currentRow();
    if (row < 0 || size_t(row) >= sets_.size() || !list_->item(row)->isSelected()) {
        list_->setFocus();
        return;
    }
    const PreferenceSetEntry set = sets_[size_t(row)];
    if (modal_.ShowMessage(this, StringText(kStrDeleteSetQuestion, {set.name}),
                           MessageButtons::OkCancelDefaultCancel) == kIdOk) {
        const int result = model_.DeletePreferenceSet(set.path);
        if (result == kCatalogueCannotRemove) {
            modal_.ShowMessage(this, StringText(kStrCannotRemoveFile, {set.path}));
        } else if (result == kCatalogueOk) {
            sets_.erase(sets_.begin() + row);
            deleted = true;
            Fill();
        }
    }
    list_->setFocus();
}
