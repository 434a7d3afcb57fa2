#include "store/dialogs/CCodebaseDlg.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>

#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"
#include "store/Catalogue.h"
#include "store/FormTables.h"
#include "store/dialogs/NameEdit.h"

namespace {

constexpr QPoint kPicturePosition(10, 69);

// The height a one-line text takes when drawn from the top of its rectangle.
int TextHeight(const QFont& font, const QString& text) {
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, text)
        .height();
}

}  // namespace

CCodebaseDlg::CCodebaseDlg(HandheldFs& fs, ModalRunner& modal, QWidget* parent)
    : CFillOnShowDialog(parent), fs_(fs), modal_(modal) {
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

void CCodebaseDlg::Open() {
    for (int c = kCategoryTv; c <= kCategoryTiVo; ++c) {
        categories_->addItem(QString::fromLatin1(CategoryName(c)));
    }
    categories_->setCurrentIndex(category >= 0 && category < categories_->count() ? category : -1);
    startCategory_ = SelectedCategory();

    nameEdit_->setText(name);
    single_->setChecked(true);
    categories_->setEnabled(categorySelectable);
    // Moved to another category, a codebase keeps its name.
    nameEdit_->setReadOnly(!nameEditable || mode == kCategory);

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
        case kCategory:
            setWindowTitle("Change Category");
            ok_->setText("Change Category");
            title_->setText("Change Category");
            single_->hide();
            double_->hide();
            break;
        default:
            break;
    }
    FitTitle(title_);
    ok_->setFont(FontFitting(ok_->font(), {ok_->text()}, ok_->width() - 6));
    if (mode == kCreate || mode == kRelearn) {
        helpBar_ =
            new CHelpBar(modal_, mode == kCreate ? kCreateHelpTopic : kRelearnHelpTopic, this);
        helpBar_->adjustSize();
        const int barHeight = helpBar_->sizeHint().height();
        setFixedSize(width(), DluY(165) + barHeight);
        helpBar_->setGeometry(0, DluY(165), width(), barHeight);
        helpBar_->show();
    }
    // Connected only now, so that the starting text is taken as it is given.
    connect(nameEdit_, &QLineEdit::textChanged, this, &CCodebaseDlg::CheckName);
    if (mode == kCategory) {
        categories_->setFocus();
    } else {
        nameEdit_->setFocus();
    }
}

QString CCodebaseDlg::CategoryLabel() const {
    return mode == kCreate ? "Select Category:" : "Category:";
}

void CCodebaseDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(kPicturePosition, MaskedBuiltInBitmap(kPictureBitmap));
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const PaintedLabel& label : PaintedLabels()) {
        painter.setFont(label.font);
        painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignTop, label.text);
    }
}

std::vector<CCodebaseDlg::PaintedLabel> CCodebaseDlg::PaintedLabels() const {
    constexpr int kGap = 4;  // between a label's last letter and its field
    std::vector<PaintedLabel> labels;
    // The category label keeps its place and gives up size to stay left of the list.
    const QPoint categoryAt = mode == kCreate ? QPoint(8, 34) : QPoint(50, 34);
    const int categoryRoom = categories_->x() - kGap - categoryAt.x();
    const QFont categoryFont = FontFitting(Arial(18), {CategoryLabel()}, categoryRoom);
    labels.push_back(
        {CategoryLabel(),
         QRect(categoryAt, QSize(categoryRoom, TextHeight(categoryFont, CategoryLabel()))),
         categoryFont});
    // "Name:" ends before its field, starting further left where its own place is too
    // close to the field.
    const QFont nameFont = Arial(18);
    const QFontMetrics nameMetrics(nameFont);
    const QString name = "Name:";
    const int nameRight = nameEdit_->x() - kGap;
    const int nameLeft = std::min(30, nameRight - nameMetrics.horizontalAdvance(name));
    labels.push_back(
        {name, QRect(nameLeft, 94, nameRight - nameLeft, TextHeight(nameFont, name)), nameFont});
    return labels;
}

int CCodebaseDlg::SelectedCategory() const {
    const int index = categories_->currentIndex();
    return index >= 0 ? index + 1 : kCategoryUnknown;
}

void CCodebaseDlg::CheckName() {
    if (checking_) {
        return;
    }
    checking_ = true;
    // A relearnt codebase keeps its name, so its length is not cut.
    const NameCorrection corrected =
        CorrectTypedCodebaseName(nameEdit_->text(), SelectedCategory(), mode != kRelearn);
    ApplyNameCorrection(modal_, this, *nameEdit_, corrected);
    checking_ = false;
}

void CCodebaseDlg::OnOk() {
    const QString text = nameEdit_->text();
    const int selected = SelectedCategory();
    learnMode = double_->isChecked() ? 1 : 0;
    // A codebase left in its category has nothing to check: it stays as it is.
    const bool unchanged = mode == kCategory && selected == startCategory_;
    if (mode != kRelearn && !unchanged) {
        QChar illegal;
        const std::vector<CodebaseNameCheck> problems = CodebaseNameProblems(
            &fs_, folder, selected, text, &illegal,
            mode == kRename || mode == kCategory ? CodebaseNameUse::Rename : CodebaseNameUse::New);
        for (const CodebaseNameCheck problem : problems) {
            switch (problem) {
                case kNameOk:
                    break;
                case kNameNoCategory:
                    modal_.ShowMessage(this, StringText(kStrSelectCategory));
                    break;
                case kNameEmpty:
                    modal_.ShowMessage(this, StringText(kStrTypeCodebaseName));
                    break;
                case kNameIllegalCharacter:
                    modal_.ShowMessage(this, StringText(kStrIllegalCharacter, {QString(illegal)}));
                    break;
                case kNameTooLong:
                    modal_.ShowMessage(this, StringText(kStrCodebaseNameTooLong));
                    break;
                case kNameExists:
                    modal_.ShowMessage(this, StringText(kStrCodebaseExists));
                    break;
            }
        }
        if (!problems.empty()) {
            return;
        }
    }
    // Relearning keeps the codebase as it is: nothing is checked.
    name = text;
    fileName = CodebaseFileName(selected, name);
    category = selected;
    done(1);
}
