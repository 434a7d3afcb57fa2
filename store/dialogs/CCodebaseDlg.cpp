#include "CCodebaseDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>

#include "CAboutDlg.h"
#include "CHelpBar.h"
#include "CPdbFile.h"
#include "Catalogue.h"
#include "DialogUnits.h"
#include "FormTables.h"
#include "Modal.h"
#include "TextFit.h"

namespace {

constexpr QPoint kPicturePosition(10, 69);

}  // namespace

CCodebaseDlg::CCodebaseDlg(QWidget* parent) : QDialog(parent) {
    setFont(QFont("MS Sans Serif", 8));
    setFixedSize(DluX(162), DluY(165));

    title_ = new QLabel(this);
    title_->setObjectName(QString::number(kTitleId));
    title_->setGeometry(DluRect(9, 2, 138, 14));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18));

    categories_ = new QComboBox(this);
    categories_->setObjectName(QString::number(kCategoryId));
    categories_->setGeometry(DluRect(93, 21, 48, 14));

    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QString::number(kNameId));
    nameEdit_->setGeometry(DluRect(55, 59, 86, 12));
    nameEdit_->setMaxLength(kMaxTyped);

    single_ = new QRadioButton("Single Mode (recommended)", this);
    single_->setObjectName(QString::number(kSingleModeId));
    single_->move(DluX(19), DluY(102));
    single_->adjustSize();
    double_ = new QRadioButton("Double Mode (on problems only)", this);
    double_->setObjectName(QString::number(kDoubleModeId));
    double_->move(DluX(19), DluY(113));
    double_->adjustSize();

    ok_ = new QPushButton("Start Learning...", this);
    ok_->setObjectName("1");
    ok_->setGeometry(DluRect(4, 143, 75, 14));
    ok_->setDefault(true);
    ok_->setFont(Arial(13));
    connect(ok_, &QPushButton::clicked, this, &CCodebaseDlg::OnOk);

    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(DluRect(82, 143, 75, 14));
    cancel_->setFont(Arial(13));
    connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });
}

void CCodebaseDlg::showEvent(QShowEvent* event) {
    if (!opened_) {
        opened_ = true;
        Open();
    }
    QDialog::showEvent(event);
}

void CCodebaseDlg::Open() {
    for (int c = kCategoryTv; c <= kCategoryTiVo; ++c) {
        categories_->addItem(QString::fromLatin1(CategoryName(c)));
    }
    categories_->setCurrentIndex(category >= 0 && category < categories_->count() ? category : -1);

    nameEdit_->setText(name);
    single_->setChecked(true);
    categories_->setEnabled(categorySelectable);
    nameEdit_->setReadOnly(!nameEditable);

    switch (mode) {
        case kCreate:
            setWindowTitle("Create & Learn New Codebase");
            title_->setText("New Codebase");
            break;
        case kRelearn:
            setWindowTitle("Relearn Codebase");
            ok_->setText("Start Relearning...");
            title_->setText("Learn Existing Codebase");
            break;
        case kRename:
            setWindowTitle("Rename Codebase");
            ok_->setText("Rename Codebase");
            title_->setText("Rename Codebase");
            single_->hide();
            double_->hide();
            break;
        default:
            break;
    }
    FitTitle(title_);
    ok_->setFont(FontFitting(ok_->font(), {ok_->text()}, ok_->width() - 6));
    if (mode == kCreate || mode == kRelearn) {
        helpBar_ = new CHelpBar(mode == kCreate ? kCreateHelpTopic : kRelearnHelpTopic, this);
        helpBar_->adjustSize();
        const int barHeight = helpBar_->sizeHint().height();
        setFixedSize(width(), DluY(165) + barHeight);
        helpBar_->setGeometry(0, DluY(165), width(), barHeight);
        helpBar_->show();
    }
    // Connected only now, so that the starting text is taken as it is given.
    connect(nameEdit_, &QLineEdit::textChanged, this, &CCodebaseDlg::CheckName);
    nameEdit_->setFocus();
}

QString CCodebaseDlg::CategoryLabel() const {
    return mode == kCreate ? "Select Category:" : "Category:";
}

void CCodebaseDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(kPicturePosition, MaskedBuiltInBitmap(kPictureBitmap));
    painter.setFont(Arial(18));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPoint labelAt = mode == kCreate ? QPoint(8, 34) : QPoint(50, 34);
    painter.drawText(QRect(labelAt, QSize(200, 24)), Qt::AlignLeft | Qt::AlignTop, CategoryLabel());
    painter.drawText(QRect(QPoint(30, 94), QSize(80, 24)), Qt::AlignLeft | Qt::AlignTop, "Name:");
}

QString CCodebaseDlg::SelectedAbbreviation() const {
    const int index = categories_->currentIndex();
    return index >= 0 ? QString::fromLatin1(CategoryAbbreviation(index + 1)) : QString();
}

void CCodebaseDlg::CheckName() {
    if (checking_) {
        return;
    }
    checking_ = true;
    QString text = nameEdit_->text();
    const QString abbreviation = SelectedAbbreviation();
    const bool withCategory = !abbreviation.isEmpty();
    const qsizetype fullLength = withCategory ? abbreviation.size() + 1 + text.size() : text.size();
    const qsizetype limit = withCategory ? kLimitWithCategory : kLimitWithoutCategory;

    if (mode != kRelearn && fullLength > limit) {
        // Cut back silently, so that the full name is 30 characters (25 without category).
        text.truncate(withCategory ? kLimitWithCategory - abbreviation.size()
                                   : kLimitWithoutCategory);
    }
    // The characters are checked after a cut as well: a long pasted name must not bring
    // path separators or other illegal characters into the file name.
    const NameCorrection corrected = CutIllegalCharacters(text);
    for (const QChar refused : corrected.refused) {
        ShowMessage(this, "Illegal character " + QString(refused));
    }
    text = corrected.name;
    if (text != nameEdit_->text()) {
        nameEdit_->setText(text);
    }
    nameEdit_->setCursorPosition(static_cast<int>(text.size()));
    checking_ = false;
}

void CCodebaseDlg::OnOk() {
    const QString text = nameEdit_->text();
    const int index = categories_->currentIndex();
    const QString abbreviation = QString::fromLatin1(CategoryAbbreviation(index + 1));
    learnMode = double_->isChecked() ? 1 : 0;
    if (mode == kRelearn) {
        name = text;
        fileName = abbreviation + "_" + name + ".PDB";
        category = index + 1;
        done(1);
        return;
    }
    if (index < 0 || categories_->count() == 0) {
        ShowMessage(this, "You must select a category.");
        return;
    }
    if (text.simplified().isEmpty()) {
        ShowMessage(this, "You must type a codebase name.");
        return;
    }
    bool failed = false;
    if ((abbreviation + "_" + text).size() >= kTooLongFullName) {
        ShowMessage(this, "Maximal codebase name length is exceeded.");
        failed = true;
    }
    name = text;
    fileName = abbreviation + "_" + name + ".PDB";
    CPdbFile existing;
    if (existing.Open(folder + fileName, CPdbFile::kModeRead) == kPdbOk) {
        ShowMessage(this,
                    "A codebase with the name you specified already exists.\nSpecify a "
                    "different codebase name.");
        failed = true;
    }
    if (!failed) {
        category = index + 1;
        done(1);
    }
}
