#include "store/dialogs/CSavePreferenceDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "platform/Modal.h"
#include "resources/HelpTexts.h"
#include "resources/StringText.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"
#include "store/CPdbFile.h"
#include "store/Catalogue.h"
#include "store/dialogs/NameEdit.h"

namespace {

constexpr QPoint kPicturePosition(10, 90);
constexpr QPoint kLabelPosition(30, 113);

}  // namespace

CSavePreferenceDlg::CSavePreferenceDlg(ModalRunner& modal, HandheldFs* fs, QWidget* parent)
    : QDialog(parent), modal_(modal), fs_(fs) {
    setWindowTitle("Save Preference");
    setFont(QFont("MS Sans Serif", 8));

    title_ = new QLabel("Save Current Preferences", this);
    title_->setObjectName(QString::number(kTitleId));
    title_->setGeometry(DluRect(9, 2, 138, 14));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18));

    prompt_ = new QLabel(
        "Enter a name of the database file where your current preferences will be saved :", this);
    prompt_->setGeometry(DluRect(9, 22, 144, 30));
    prompt_->setWordWrap(true);

    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QString::number(kNameId));
    nameEdit_->setGeometry(95, 111, 125, 22);
    connect(nameEdit_, &QLineEdit::textChanged, this, &CSavePreferenceDlg::CheckName);

    save_ = new QPushButton("Save", this);
    save_->setObjectName("1");
    save_->setGeometry(DluRect(4, 143, 75, 14));
    save_->setDefault(true);
    save_->setFont(Arial(14));
    connect(save_, &QPushButton::clicked, this, &CSavePreferenceDlg::OnSave);

    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(DluRect(82, 143, 75, 14));
    cancel_->setFont(Arial(14));
    connect(cancel_, &QPushButton::clicked, this, [this] { done(kIdCancel); });

    helpBar_ = new CHelpBar(modal_, kHelpSavePreferences, this);
    helpBar_->adjustSize();
    const int barHeight = helpBar_->sizeHint().height();
    setFixedSize(DluX(162), DluY(165) + barHeight);
    FitTitle(title_);
    helpBar_->setGeometry(0, DluY(165), width(), barHeight);

    nameEdit_->setFocus();
}

void CSavePreferenceDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(kPicturePosition, MaskedBuiltInBitmap(kPictureBitmap));
    painter.setFont(Arial(18));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(QRect(kLabelPosition, QSize(70, 24)), Qt::AlignLeft | Qt::AlignTop, "Name:");
}

void CSavePreferenceDlg::CheckName() {
    if (checking_) {
        return;
    }
    checking_ = true;
    const NameCorrection corrected = CutIllegalCharacters(nameEdit_->text());
    ApplyNameCorrection(modal_, this, *nameEdit_, corrected);
    checking_ = false;
}

void CSavePreferenceDlg::OnSave() {
    const QString typed = nameEdit_->text();
    if (typed.trimmed().isEmpty()) {
        modal_.ShowMessage(this, StringText(kStrTypeFileName));
        return;
    }
    setName = typed;
    fileName = typed + ".PDB";
    CPdbFile existing(fs_);
    const bool exists = existing.Open(folder + fileName, CPdbFile::kModeRead) == kPdbOk;
    existing.Close();
    if (!exists) {
        done(kIdOk);
        return;
    }
    nameEdit_->setEnabled(false);
    const int answer =
        modal_.ShowMessage(this, StringText(kStrOverwriteSet), MessageButtons::YesNoDefaultNo);
    nameEdit_->setEnabled(true);
    if (answer == kIdYes) {
        done(kIdOk);
    }
}
