#include "remote/CGreetingDlg.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "remote/CSkinForm.h"
#include "store/FormTables.h"

namespace {

constexpr int kSlotId = 0;  // the greeting's slot is never bound to a codebase
constexpr const char* kActivePicture = "Greeting_Activ.png";
constexpr const char* kPressedPicture = "Greeting_Pressed.png";

struct GreetingArea {
    int id;
    const char* name;
    FormRect rect;
};

// In array order: the first hit wins.
constexpr GreetingArea kAreas[] = {
    {CGreetingDlg::kHelpArea, "1", {159, 139, 78, 30}},
    {CGreetingDlg::kCloseArea, "2", {159, 106, 78, 33}},
    {CGreetingDlg::kCheckBoxArea, "3", {4, 294, 231, 20}},
};

// The greeting's form: the picture "Greeting_Activ.png" as background and for the active
// state, "Greeting_Pressed.png" for the pressed state (the check box's tick shows there),
// no disabled picture, and the three tap areas as panel elements.
void BuildGreetingForm(CSkinForm& form, const QString& folder) {
    form.greetingForm = true;
    form.showCodebaseName = false;
    // The greeting always answers a tap with a sound, whatever "Use Sounds" says; the
    // sound comes from the program's own folder like the remote's.
    form.soundsOn = true;
    form.baseFolder = folder;
    form.skinFolder = folder + "Skins\\";
    form.backgroundName = kActivePicture;
    form.stateImageNames = {QString(), kActivePicture, kPressedPicture};
    for (const GreetingArea& area : kAreas) {
        CRemoteButton& element = form.AddElement();
        element.SetKind(kKindPanel);
        element.id = area.id;
        element.name = QString::fromLatin1(area.name);
        element.left = area.rect.left;
        element.top = area.rect.top;
        element.width = area.rect.width;
        element.height = area.rect.height;
        element.transparentColour = kTransparentColour;
        element.SetImageSource(kImagesOfForm);
        element.SetState(kStateActive);
        element.visible = true;
        element.enabled = true;
        // Back to Active after a release; the greeting has no disabled look.
        element.hasSignal = true;
    }
}

}  // namespace

CGreetingDlg::CGreetingDlg(RemoteFiles* files, ModalRunner& modal, const QString& folder, int scale,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      files_(files),
      modal_(modal),
      folder_(folder),
      scale_(scale < 1 ? 1 : scale) {
    setObjectName(QString::number(kDialogResource));
    // The handheld's whole screen; on the desktop there is no task bar of ours to cover,
    // so a frameless window of the greeting's size stands for it.
    setFixedSize(CSkinForm::kWidth * scale_, CSkinForm::kGreetingHeight * scale_);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CGreetingDlg::~CGreetingDlg() = default;

void CGreetingDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!form_) {
        Start();
    }
}

void CGreetingDlg::Start() {
    form_ = std::make_unique<CSkinForm>(files_, modal_, kSlotId);
    form_->owner = this;
    form_->sound = sound;
    BuildGreetingForm(*form_, folder_);
    if (!showAgain) {
        // Run once more after the tick was set: the check box shows it from the start.
        form_->Element(form_->FindElement(kCheckBoxArea)).SetState(kStatePressed);
    }
    // A missing picture is told to the user, and the form then asks this dialog to close,
    // which ends it as "2".
    form_->LoadImages();
    setFocus();
    update();
}

void CGreetingDlg::done(int result) {
    if (form_) {
        form_->ReleaseImages();
        form_.reset();
    }
    QDialog::done(result == kHelpArea ? kHelpArea : kCloseArea);
}

void CGreetingDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Composed in the form's own picture first, then copied out in one piece.
    if (form_) {
        form_->Draw();
        painter.drawImage(rect(), form_->Canvas());
    } else {
        painter.fillRect(rect(), Qt::black);
    }
}

void CGreetingDlg::PenDown(int x, int y) {
    if (!form_) {
        return;
    }
    lastPenDown_ = form_->PenDown(x, y);
    update();
}

void CGreetingDlg::PenUp() {
    int code = kCloseArea;
    if (form_) {
        code = form_->PenUp();
        const int checkBox = form_->FindElement(kCheckBoxArea);
        if (code == kCheckBoxArea) {
            form_->SetElementState(checkBox, showAgain ? kStatePressed : kStateActive);
            showAgain = !showAgain;
        } else if (!showAgain) {
            form_->SetElementState(checkBox, kStatePressed);  // the tick stays
        }
        update();
    }
    if (code < 0) {
        code = kCloseArea;  // a tap that began outside the three areas
    }
    if (code == kHelpArea || code == kCloseArea) {
        done(code);
    }
}

void CGreetingDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = HandheldPoint(event->position(), scale_);
    PenDown(at.x(), at.y());
}

void CGreetingDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PenUp();
    }
}

void CGreetingDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        update();
    }
}
