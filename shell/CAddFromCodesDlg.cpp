#include "shell/CAddFromCodesDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "platform/Modal.h"
#include "resources/StringText.h"
#include "store/PrefFile.h"

namespace {

// How many left-out files the details name before they end in a count.
constexpr size_t kDetailsShown = 30;

QString RemoteTitle(const CodeRemote& remote) {
    return remote.brand + QLatin1Char(' ') + remote.model;
}

QPushButton* TextButton(QWidget* parent, int text) {
    auto* button = new QPushButton(StringText(text), parent);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CAddFromCodesDlg::CAddFromCodesDlg(CRemoteModel& model, ModalRunner& modal,
                                   const HandheldFolders& folders, const CCodeIndex& index,
                                   const QStringList& collections, int category, QWidget* parent)
    : QDialog(parent),
      model_(model),
      modal_(modal),
      folders_(folders),
      index_(index),
      collections_(collections) {
    setWindowTitle(StringText(kStrAddFromCodes).remove(QChar(0x2026)));

    category_ = new QComboBox(this);
    for (int c = kCategoryTv; c <= kCategoryTiVo; ++c) {
        category_->addItem(QString::fromLatin1(CategoryName(c)), c);
    }
    category_->setCurrentIndex(
        std::max(0, category_->findData(IsDeviceCategory(category) ? category : kCategoryTv)));
    brand_ = new QLineEdit(this);
    completer_ = new QCompleter(new QStringListModel(this), this);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    brand_->setCompleter(completer_);
    list_ = new QListWidget(this);
    count_ = new QLabel(this);
    count_->setWordWrap(true);
    button_ = new QComboBox(this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    // Room for two lines, so that a message does not push the buttons together.
    status_->setMinimumHeight(2 * status_->fontMetrics().lineSpacing() + 4);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    try_ = TextButton(this, kStrCodesTry);
    try_->setDefault(true);
    next_ = TextButton(this, kStrCodesNext);
    use_ = TextButton(this, kStrCodesUse);
    details_ = TextButton(this, kStrCodesDetails);
    close_ = TextButton(this, kStrCodesClose);

    auto* choice = new QGridLayout;
    choice->addWidget(new QLabel(StringText(kStrCodesCategory), this), 0, 0);
    choice->addWidget(category_, 0, 1);
    choice->addWidget(new QLabel(StringText(kStrCodesBrand), this), 1, 0);
    choice->addWidget(brand_, 1, 1);
    auto* trying = new QHBoxLayout;
    trying->addWidget(new QLabel(StringText(kStrCodesButton), this));
    trying->addWidget(button_, 1);
    trying->addWidget(try_);
    trying->addWidget(next_);
    auto* ending = new QHBoxLayout;
    ending->addWidget(details_);
    ending->addStretch(1);
    ending->addWidget(use_);
    ending->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(list_, 1);
    layout->addWidget(count_);
    layout->addLayout(trying);
    layout->addWidget(status_);
    layout->addLayout(ending);
    resize(420, 400);

    connect(category_, &QComboBox::currentIndexChanged, this, [this] { Filter(); });
    connect(brand_, &QLineEdit::textChanged, this, [this] { Filter(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowButtons(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnTry(); });
    connect(try_, &QPushButton::clicked, this, &CAddFromCodesDlg::OnTry);
    connect(next_, &QPushButton::clicked, this, &CAddFromCodesDlg::OnNext);
    connect(use_, &QPushButton::clicked, this, &CAddFromCodesDlg::OnUse);
    connect(details_, &QPushButton::clicked, this, &CAddFromCodesDlg::OnDetails);
    connect(close_, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    details_->setEnabled(!index_.Problems(collections_).empty());
    Filter();
    brand_->setFocus();
}

int CAddFromCodesDlg::Category() const {
    return category_->currentData().toInt();
}

void CAddFromCodesDlg::Filter() {
    static_cast<QStringListModel*>(completer_->model())
        ->setStringList(index_.Brands(Category(), collections_));
    remotes_ = index_.Search({brand_->text(), Category(), collections_});
    list_->clear();
    for (const CodeRemote& remote : remotes_) {
        list_->addItem(QStringLiteral("%1 (%2)").arg(RemoteTitle(remote)).arg(remote.buttons));
    }
    count_->setText(remotes_.empty()
                        ? StringText(kStrCodesNoneFound)
                        : StringText(kStrCodesFound, {QString::number(remotes_.size())}));
    status_->clear();
    list_->setCurrentRow(remotes_.empty() ? -1 : 0);
    ShowButtons();
}

bool CAddFromCodesDlg::SelectedRemote(const CodeRemote*& remote, ImportResult& read) {
    const int row = list_->currentRow();
    if (row < 0 || size_t(row) >= remotes_.size()) {
        return false;
    }
    remote = &remotes_[size_t(row)];
    read = ReadCodeRemote(*remote);
    if (!read.error.isEmpty()) {
        modal_.ShowMessage(this, read.error);
        return false;
    }
    return true;
}

void CAddFromCodesDlg::ShowButtons() {
    button_->clear();
    const int row = list_->currentRow();
    const bool chosen = row >= 0 && size_t(row) < remotes_.size();
    for (QPushButton* button : {try_, next_, use_}) {
        button->setEnabled(chosen);
    }
    next_->setEnabled(chosen && row + 1 < list_->count());
    if (!chosen) {
        return;
    }
    // Read quietly: a file that went since it was indexed is told when it is tried or used.
    const ImportResult read = ReadCodeRemote(remotes_[size_t(row)]);
    if (!read.error.isEmpty()) {
        return;
    }
    const ImportedRemote& remote = read.remotes.front();
    for (const ImportedButton& button : remote.buttons) {
        if (!button.irSignals.empty()) {
            button_->addItem(button.name);
        }
    }
    if (const ImportedButton* power = FindCodeButton(remote, Category())) {
        button_->setCurrentIndex(button_->findText(power->name));
    }
}

void CAddFromCodesDlg::OnTry() {
    const CodeRemote* remote = nullptr;
    ImportResult read;
    if (!SelectedRemote(remote, read)) {
        return;
    }
    const ImportedButton* button =
        FindCodeButton(read.remotes.front(), Category(), button_->currentText());
    if (!button) {
        modal_.ShowMessage(
            this, StringText(kStrCodesNoButton, {RemoteTitle(*remote), button_->currentText()}));
        return;
    }
    const CodeTrySignal tried = TrySignalOf(*button, Category());
    const PressOutcome sent = model_.SendSignal(tried.signal, tried.repeat);
    if (sent.code == kOpNoDriver) {
        modal_.ShowMessage(this, StringText(kStrNoIrDevice));
        return;
    }
    if (sent.code != kOpOk) {
        modal_.ShowMessage(this, IrFailureText(sent.ir, IrAction::Send));
        return;
    }
    status_->setText(StringText(kStrCodesSent, {button->name, RemoteTitle(*remote)}));
}

void CAddFromCodesDlg::OnNext() {
    const int row = list_->currentRow();
    if (row + 1 < list_->count()) {
        list_->setCurrentRow(row + 1);
    }
    status_->clear();
    try_->setFocus();
}

void CAddFromCodesDlg::OnUse() {
    const CodeRemote* remote = nullptr;
    ImportResult read;
    if (!SelectedRemote(remote, read)) {
        return;
    }
    ImportOptions options;
    options.category = Category();
    options.replace = [this](const QString& displayName, const QString&) {
        return modal_.ShowMessage(this, StringText(kStrReplaceImported, {displayName}),
                                  MessageButtons::YesNo) == kIdYes;
    };
    const ImportReport report = model_.Import(folders_, read, remote->file, options);
    if (report.result != kImportOk || report.codebases.empty()) {
        modal_.ShowMessage(this, report.error);
        return;
    }
    imported_ = report.codebases.front().path;
    model_.MakeHot(Category(), imported_);
    done(kIdOk);
}

void CAddFromCodesDlg::OnDetails() {
    const std::vector<CodeProblem> problems = index_.Problems(collections_);
    QStringList lines{StringText(kStrCodesLeftOut)};
    for (size_t i = 0; i < problems.size() && i < kDetailsShown; ++i) {
        lines << problems[i].file + QStringLiteral(": ") + problems[i].reason;
    }
    if (problems.size() > kDetailsShown) {
        lines << StringText(kStrMoreLeftOut, {QString::number(problems.size() - kDetailsShown)});
    }
    modal_.ShowMessage(this, lines.join(QLatin1Char('\n')));
}

QStringList UserCodeCollections(CRemoteModel& model) {
    std::vector<uint8_t> payload;
    if (!ReadPrefRecord(model.Fs(), model.PrefFile(), kPrefKeyCodeCollections, payload)) {
        return {};
    }
    return ReadPrefString(payload).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool SetUserCodeCollections(CRemoteModel& model, const QStringList& folders) {
    return WritePrefRecord(model.Fs(), model.PrefFile(), kPrefKeyCodeCollections,
                           PrefString(folders.join(QLatin1Char('\n'))));
}

QStringList CodeCollections(CRemoteModel& model) {
    QStringList collections = SystemCodeCollections();
    for (const QString& folder : UserCodeCollections(model)) {
        if (!collections.contains(folder)) {
            collections << folder;
        }
    }
    return collections;
}

CCodeCollectionsDlg::CCodeCollectionsDlg(ModalRunner& modal, const QStringList& folders,
                                         QWidget* parent)
    : QDialog(parent), modal_(modal) {
    setWindowTitle(StringText(kStrCodeCollections).remove(QChar(0x2026)));
    auto* intro = new QLabel(StringText(kStrCollectionsIntro), this);
    intro->setWordWrap(true);
    list_ = new QListWidget(this);
    list_->addItems(folders);
    edit_ = new QLineEdit(this);
    // Folders are suggested as they are typed.
    auto* files = new QFileSystemModel(this);
    files->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    files->setRootPath(QString());
    edit_->setCompleter(new QCompleter(files, this));
    add_ = TextButton(this, kStrCollectionsAdd);
    remove_ = TextButton(this, kStrCollectionsRemove);
    ok_ = TextButton(this, kStrCodesOk);
    ok_->setDefault(true);
    auto* adding = new QHBoxLayout;
    adding->addWidget(edit_, 1);
    adding->addWidget(add_);
    auto* ending = new QHBoxLayout;
    ending->addWidget(remove_);
    ending->addStretch(1);
    ending->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(list_, 1);
    layout->addLayout(adding);
    layout->addLayout(ending);
    resize(420, 300);
    connect(add_, &QPushButton::clicked, this, &CCodeCollectionsDlg::OnAdd);
    connect(edit_, &QLineEdit::returnPressed, this, &CCodeCollectionsDlg::OnAdd);
    connect(remove_, &QPushButton::clicked, this, &CCodeCollectionsDlg::OnRemove);
    connect(ok_, &QPushButton::clicked, this, [this] { done(kIdOk); });
}

QStringList CCodeCollectionsDlg::Chosen() const {
    QStringList folders;
    for (int row = 0; row < list_->count(); ++row) {
        folders << list_->item(row)->text();
    }
    return folders;
}

void CCodeCollectionsDlg::OnAdd() {
    const QString typed = edit_->text().trimmed();
    if (typed.isEmpty()) {
        return;
    }
    if (!QFileInfo(typed).isDir()) {
        modal_.ShowMessage(this, StringText(kStrCollectionsNotFolder, {typed}));
        return;
    }
    const QString folder = QDir::cleanPath(QDir(typed).absolutePath());
    if (!Chosen().contains(folder)) {
        list_->addItem(folder);
    }
    edit_->clear();
}

void CCodeCollectionsDlg::OnRemove() {
    delete list_->takeItem(list_->currentRow());
}

bool RunAddFromCodes(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
                     const HandheldFolders& folders, int category, const QString& cacheFile) {
    const QStringList collections = CodeCollections(model);
    CCodeIndex index(cacheFile);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    index.Refresh(collections);
    QApplication::restoreOverrideCursor();
    CAddFromCodesDlg dialog(model, modal, folders, index, collections, category, parent);
    return modal.RunDialog(dialog) == kIdOk && !dialog.Imported().isEmpty();
}

void RunCodeCollections(QWidget* parent, ModalRunner& modal, CRemoteModel& model) {
    CCodeCollectionsDlg dialog(modal, UserCodeCollections(model), parent);
    if (modal.RunDialog(dialog) == kIdOk) {
        SetUserCodeCollections(model, dialog.Chosen());
    }
}
