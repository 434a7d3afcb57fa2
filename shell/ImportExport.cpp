#include "shell/ImportExport.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "model/CRemoteModel.h"
#include "model/Importer.h"
#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/DialogUnits.h"
#include "store/formats/RemoteFormats.h"

namespace {

// The export formats as the save dialog offers them, and the extension each file gets.
struct ExportChoice {
    RemoteFormat format;
    const char* filter;
    const char* extension;
};
constexpr ExportChoice kExportChoices[] = {
    {RemoteFormat::Flipper, "Flipper Zero IR file (*.ir)", ".ir"},
    {RemoteFormat::Lircd, "LIRC remote (*.lircd.conf *.conf)", ".lircd.conf"},
    {RemoteFormat::Pronto, "Pronto hex codes (*.txt)", ".txt"},
    {RemoteFormat::Broadlink, "Broadlink codes (*.txt)", ".txt"},
};

const QString kImportFilters =
    QStringLiteral("IR code files (*.ir *.conf *.txt *.pronto *.broadlink);;All files (*)");

// The lines that say what was left out; long lists end in a count.
QString SkippedText(const std::vector<SkippedButton>& skipped) {
    constexpr size_t kShown = 15;
    QStringList lines;
    for (size_t i = 0; i < skipped.size() && i < kShown; ++i) {
        const SkippedButton& s = skipped[i];
        lines << StringText(kStrLeftOutButton, {s.button.isEmpty() ? s.remote : s.button,
                                                QString::number(s.line), s.reason});
    }
    if (skipped.size() > kShown) {
        lines << StringText(kStrMoreLeftOut, {QString::number(skipped.size() - kShown)});
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

CImportCategoryDlg::CImportCategoryDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Import");
    auto* label = new QLabel("Category of the new codebases:", this);
    label->setGeometry(DluRect(4, 4, 140, 10));
    label->setFont(Arial(12, true));
    categories_ = new QComboBox(this);
    categories_->setGeometry(DluRect(4, 16, 140, 12));
    categories_->setFont(Arial(12, false));
    categories_->addItem("Guess for each remote", kCategoryUnknown);
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        categories_->addItem(QString::fromLatin1(CategoryName(category)), category);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(DluRect(4, 34, 68, 14));
    ok->setFont(Arial(14, true));
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(DluRect(76, 34, 68, 14));
    cancel->setFont(Arial(14, true));
    connect(ok, &QPushButton::clicked, this, [this] { done(kIdOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    setFixedSize(DluX(148), DluY(52));
}

int CImportCategoryDlg::Category() const {
    return categories_->currentData().toInt();
}

void CImportCategoryDlg::ShowGuess(const std::vector<int>& guesses) {
    if (guesses.empty()) {
        return;
    }
    if (std::all_of(guesses.begin(), guesses.end(), [&](int g) { return g == guesses[0]; })) {
        categories_->setCurrentIndex(categories_->findData(guesses[0]));
        return;
    }
    QStringList names;
    for (int guess : guesses) {
        names << QString::fromLatin1(CategoryName(guess));
    }
    names.removeDuplicates();
    categories_->setItemText(0, "Guess for each remote: " + names.join(", "));
    categories_->setCurrentIndex(0);
}

bool RunImport(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
               const HandheldFolders& folders) {
    const QString file = modal.OpenFileName(parent, "Import", kImportFilters);
    if (file.isEmpty()) {
        return false;
    }
    const ImportResult read = ReadRemoteFileAt(file, RemoteFormat::Guess);
    if (!read.error.isEmpty()) {
        modal.ShowMessage(parent, read.error);
        return false;
    }
    CImportCategoryDlg categoryDlg(parent);
    std::vector<int> guesses;
    for (const ImportedRemote& remote : read.remotes) {
        guesses.push_back(ImportCategoryOf(remote, file));
    }
    categoryDlg.ShowGuess(guesses);
    if (modal.RunDialog(categoryDlg) != kIdOk) {
        return false;
    }
    ImportOptions options;
    options.category = categoryDlg.Category();
    options.replace = [parent, &modal](const QString& displayName, const QString&) {
        return modal.ShowMessage(parent, StringText(kStrReplaceImported, {displayName}),
                                 MessageButtons::YesNoDefaultNo) == kIdYes;
    };
    const ImportReport report = model.Import(folders, read, file, options);
    QString text;
    if (report.result != kImportOk) {
        text = report.error;
    } else {
        QStringList made;
        for (const ImportedCodebase& codebase : report.codebases) {
            made << StringText(kStrImportedCodebase,
                               {codebase.displayName, QString::number(codebase.buttons)});
        }
        text = StringText(kStrImported) + "\n" + made.join(QLatin1Char('\n'));
    }
    if (!report.skipped.empty()) {
        text += "\n\n" + StringText(kStrLeftOut) + "\n" + SkippedText(report.skipped);
    }
    for (const QString& note : report.notes) {
        text += "\n\n" + note;
    }
    modal.ShowMessage(parent, text);
    return report.result == kImportOk;
}

bool RunExport(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
               const CodebaseEntry& entry) {
    QStringList filters;
    for (const ExportChoice& choice : kExportChoices) {
        filters << QLatin1String(choice.filter);
    }
    const QString name = DisplayName(entry.category, entry.deviceName);
    QString selected = filters.front();
    QString file = modal.SaveFileName(parent, "Export", name + ".ir",
                                      filters.join(QStringLiteral(";;")), selected);
    if (file.isEmpty()) {
        return false;
    }
    const ExportChoice* choice = &kExportChoices[0];
    for (const ExportChoice& known : kExportChoices) {
        if (selected == QLatin1String(known.filter)) {
            choice = &known;
        }
    }
    if (QFileInfo(file).suffix().isEmpty()) {
        file += QLatin1String(choice->extension);
    }
    QByteArray bytes;
    if (model.Export(entry.path, choice->format, QString(), 1, bytes) != kExportOk) {
        modal.ShowMessage(parent, StringText(kStrNothingToExport, {name}));
        return false;
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() ||
        !out.flush()) {
        modal.ShowMessage(parent, StringText(kStrCannotWriteFile, {file}));
        return false;
    }
    return true;
}
