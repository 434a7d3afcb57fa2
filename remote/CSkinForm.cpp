#include "remote/CSkinForm.h"

#include <cmath>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include "platform/Modal.h"
#include "platform/Sound.h"
#include "remote/RemoteFiles.h"
#include "resources/StringText.h"
#include "resources/dialogs/CNoticeDlg.h"

QPoint HandheldPoint(QPointF position, int scale) {
    return QPoint(static_cast<int>(std::floor(position.x())) / scale,
                  static_cast<int>(std::floor(position.y())) / scale);
}

namespace {

constexpr QRgb kSquareColour = qRgb(254, 0, 0);
constexpr QRect kSquare(209, 13, 4, 4);  // inside the "blip" element, drawn after it

}  // namespace

QFont CodebaseNameFont() {
    QFont font("Arial");
    font.setPixelSize(11);
    font.setWeight(QFont::Bold);
    return font;
}

QString FitCodebaseName(const QString& name, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(name) <= width) {
        return name;
    }
    if (name.size() <= 2) {
        return QString();
    }
    QString shortened = name;
    QString candidate;
    do {
        shortened.chop(1);
        candidate = shortened + "...";
    } while (metrics.horizontalAdvance(candidate) > width && !shortened.isEmpty());
    return metrics.horizontalAdvance(candidate) <= width ? candidate : QString();
}

CSkinForm::CSkinForm(RemoteFiles* files, ModalRunner& modal, int slotId)
    : files_(files), modal_(modal), slot_(slotId, files) {}

CSkinForm::~CSkinForm() = default;

CRemoteButton& CSkinForm::AddElement() {
    if (elements_.size() >= size_t{kMaxFormElements}) {
        return elements_.back();  // never happens with the tables; never grow past 99
    }
    CRemoteButton& element = elements_.emplace_back();
    element.slot = &slot_;
    element.skinFolder = skinFolder;
    return element;
}

void CSkinForm::BuildRemoteForm(int form, const QString& base) {
    const FormDef& def = Form(form);
    showCodebaseName = true;
    greetingForm = false;
    elements_.clear();
    elements_.reserve(def.buttons.size() + kPanelElementCount);
    baseFolder = base;
    skinFolder = base + "Skins\\";
    const QString prefix = QString::fromLatin1(def.name);
    backgroundName = prefix + FormImageSuffix(kImageBackground);
    stateImageNames = {prefix + FormImageSuffix(kImageDisabled),
                       prefix + FormImageSuffix(kImageActive),
                       prefix + FormImageSuffix(kImagePressed)};
    auto add = [this](ElementKind kind, int32_t id, const char* name,
                      const FormRect& rect) -> CRemoteButton& {
        CRemoteButton& element = AddElement();
        element.SetKind(kind);
        element.id = id;
        element.name = QString::fromLatin1(name);
        element.left = rect.left;
        element.top = rect.top;
        element.width = rect.width;
        element.height = rect.height;
        element.transparentColour = kTransparentColour;
        return element;
    };
    for (const ButtonDef& button : def.buttons) {
        add(kKindButton, kButtonElementId, button.name, button.rect);
    }
    for (const PanelElementDef& panel : PanelElements()) {
        CRemoteButton& element = add(kKindPanel, panel.id, panel.name, panel.rect);
        element.visible = panel.visible;
        element.enabled = panel.enabled;
        element.hasSignal = true;
        if (panel.activeImage || panel.pressedImage) {
            element.SetImageSource(kImagesOwn);
            element.imageNames[kStateActive] = QString::fromLatin1(panel.activeImage);
            element.imageNames[kStatePressed] = QString::fromLatin1(panel.pressedImage);
        }
    }
    nameArea = CodebaseNameArea(form);
}

bool CSkinForm::LoadImage(const QString& name, QImage& image) {
    if (name.isEmpty()) {
        return true;  // nothing to look for
    }
    const QString path = skinFolder + name;
    QByteArray bytes;
    QImage loaded;
    if (files_ && files_->ReadFile(path, bytes)) {
        loaded.loadFromData(bytes);
    }
    if (loaded.isNull()) {
        modal_.ShowMessage(owner, StringText(kMissingSkinString) + path);
        if (owner) {
            // Queued, so that the owner closes once the current event is done (and not at
            // all when it is gone by then).
            QMetaObject::invokeMethod(owner, &QWidget::close, Qt::QueuedConnection);
        }
        return false;
    }
    // Converted once, so that every later paint is a plain copy.
    image = loaded.convertToFormat(QImage::Format_RGB32);
    return true;
}

bool CSkinForm::LoadImages() {
    ReleaseImages();
    if (!LoadImage(backgroundName, background_)) {
        return false;
    }
    for (int i = 0; i < kStateImageCount; ++i) {
        if (!LoadImage(stateImageNames[i], stateImages_[i])) {
            return false;
        }
    }
    for (CRemoteButton& element : elements_) {
        if (element.GetImageSource() != kImagesOwn || element.ownImagesLoaded) {
            continue;
        }
        const QString formFolder = skinFolder;
        skinFolder = element.skinFolder;
        for (int i = 0; i < kStateImageCount; ++i) {
            if (!LoadImage(element.imageNames[i], element.ownImages[i])) {
                skinFolder = formFolder;
                return false;
            }
        }
        skinFolder = formFolder;
        element.ownImagesLoaded = true;
    }
    imagesLoaded_ = true;
    return true;
}

void CSkinForm::ReleaseImages() {
    background_ = QImage();
    stateImages_ = {};
    for (CRemoteButton& element : elements_) {
        element.ownImages = {};
        element.ownImagesLoaded = false;
    }
    imagesLoaded_ = false;
}

StateImages CSkinForm::StateImagePointers() const {
    return {&stateImages_[0], &stateImages_[1], &stateImages_[2]};
}

void CSkinForm::Draw() {
    const int height = greetingForm ? kGreetingHeight : kRemoteHeight;
    if (canvas_.size() != QSize(kWidth, height)) {
        canvas_ = QImage(kWidth, height, QImage::Format_RGB32);
        canvas_.fill(Qt::black);
    }
    QPainter painter(&canvas_);
    Draw(painter, canvas_.rect());
}

void CSkinForm::Draw(QPainter& target, const QRect& rect) {
    if (!imagesLoaded_) {
        return;
    }
    if (!background_.isNull()) {
        target.setCompositionMode(QPainter::CompositionMode_Source);
        target.drawImage(QPoint(0, 0), background_, QRect(QPoint(0, 0), rect.size()));
        target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    const StateImages images = StateImagePointers();
    for (const CRemoteButton& element : elements_) {
        element.Draw(&target, &images);
    }
    if (learning_ == 0) {
        if (showCodebaseName) {
            WriteCodebaseName(target);
        }
        if (!greetingForm) {
            target.fillRect(kSquare, QColor(kSquareColour));
        }
    }
}

void CSkinForm::WriteCodebaseName(QPainter& painter) const {
    painter.save();
    const QFont font = CodebaseNameFont();
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QString name = slot_.IsValid() ? slot_.DisplayName() : QStringLiteral("<none>");
    const QString text = FitCodebaseName(name, QFontMetrics(font), nameArea.width);
    if (!text.isEmpty()) {
        // The text's top at the area's top, like text drawn from its cell's corner.
        painter.drawText(QPoint(nameArea.left, nameArea.top + QFontMetrics(font).ascent()), text);
    }
    painter.restore();
}

void CSkinForm::DrawElement(int index) {
    if (index < 0 || index >= ElementCount() || canvas_.isNull()) {
        return;
    }
    QPainter painter(&canvas_);
    const StateImages images = StateImagePointers();
    elements_[static_cast<size_t>(index)].Draw(&painter, &images);
}

void CSkinForm::PlaySound(const char* file, bool synchronous) const {
    if (soundsOn && sound && files_) {
        sound->Play(files_->PlayablePath(baseFolder + "Sounds\\" + file), synchronous);
    }
}

void CSkinForm::CountPress(int index) {
    // Two presses of the same element in a row take turns between its two signals.
    if (index == pressedIndex_) {
        pressCount_ = pressCount_ == 1 ? 2 : 1;
    } else {
        pressCount_ = 1;
    }
    elements_[static_cast<size_t>(index)].whichSignal = pressCount_;
    pressedIndex_ = index;
}

void CSkinForm::Press(int index) {
    CountPress(index);
    CRemoteButton& element = elements_[static_cast<size_t>(index)];
    element.SetState(kStatePressed);
    DrawElement(index);
    elementPressed_ = true;
}

int CSkinForm::PenDown(int x, int y) {
    if (learning_ == 0 && !greetingForm && nameArea.Contains(x, y)) {
        PlaySound("system.wav", false);
        return kActionCodebaseName;
    }
    for (int i = 0; i < ElementCount(); ++i) {
        if (!elements_[static_cast<size_t>(i)].HitTest(x, y)) {
            continue;
        }
        Press(i);
        CRemoteButton& element = elements_[static_cast<size_t>(i)];
        if (element.GetKind() == kKindButton) {
            if (actions) {
                actions->ButtonDown(*this, i);
            }
            return kActionButton;
        }
        PlaySound("system.wav", false);
        return element.id;
    }
    if (!greetingForm && learning_ == 0) {
        slot_.Recheck();
        if (!slot_.IsValid()) {
            ShowNotice(modal_, owner, kNoticeString);
        }
    }
    return kActionNone;
}

int CSkinForm::PenUp() {
    if (!elementPressed_ || pressedIndex_ < 0) {
        return kActionNone;
    }
    CRemoteButton& element = elements_[static_cast<size_t>(pressedIndex_)];
    if (element.GetKind() == kKindPanel) {
        element.SetState(element.hasSignal ? kStateActive : kStateDimmed);
        DrawElement(pressedIndex_);
        elementPressed_ = false;
        return element.id;
    }
    const bool learnt = actions ? actions->ButtonUp(*this, pressedIndex_) : false;
    int state = kStateActive;
    if (learning_ != 0) {
        if (learnt) {
            element.hasSignal = true;
        }
        state = element.hasSignal ? kStateActive : kStateDimmed;
    }
    element.SetState(state);
    DrawElement(pressedIndex_);
    elementPressed_ = false;
    if (learning_ == 0) {
        SetElementFlags(kPanelBlip, -1, 0);
    }
    return kActionButton;
}

void CSkinForm::RefreshButtons() {
    if (learning_ != 0) {
        return;
    }
    slot_.Recheck();
    std::unique_ptr<CodebaseReader> codebase;
    if (slot_.IsValid() && files_) {
        codebase = files_->OpenCodebase(slot_.Path());  // once for the whole form
    }
    for (CRemoteButton& element : elements_) {
        if (element.GetKind() == kKindPanel) {
            element.enabled = true;
            continue;
        }
        element.hasSignal = codebase && codebase->HasButton(element.name);
        element.SetState(element.hasSignal ? kStateActive : kStateDisabled);
    }
}

void CSkinForm::SetLearning(int mode) {
    if (mode == learning_) {
        return;
    }
    if (mode == 0) {
        learning_ = 0;
        RefreshButtons();
    } else {
        for (CRemoteButton& element : elements_) {
            if (element.GetKind() == kKindPanel) {
                element.enabled = false;
            } else {
                // Every button can be learnt, with a signal or without.
                element.SetState(element.hasSignal ? kStateActive : kStateDimmed);
            }
        }
        SetKindFlags(kKindPanel, 0, 0);
        SetElementFlags(kPanelNextForm, 1, 1);
        SetElementFlags(kPanelInfo, 1, 1);
        SetElementFlags(kPanelStopLearn, 1, 1);
        SetElementFlags(kPanelBlip, -1, 0);
        SetElementFlags(kPanelSelectCodebase, -1, 0);
        learning_ = 1;
    }
    pressedIndex_ = -1;
    elementPressed_ = false;
}

int CSkinForm::FindElement(int id) const {
    for (int i = 0; i < ElementCount(); ++i) {
        if (elements_[static_cast<size_t>(i)].id == id) {
            return i;
        }
    }
    return -1;
}

int CSkinForm::SetElementFlags(int id, int enabled, int visible) {
    const int index = FindElement(id);
    if (index >= 0) {
        CRemoteButton& element = elements_[static_cast<size_t>(index)];
        if (enabled >= 0) {
            element.enabled = enabled != 0;
        }
        if (visible >= 0) {
            element.visible = visible != 0;
        }
    }
    return index;
}

void CSkinForm::SetKindFlags(int kind, int enabled, int visible) {
    for (CRemoteButton& element : elements_) {
        if (element.GetKind() != kind) {
            continue;
        }
        if (enabled >= 0) {
            element.enabled = enabled != 0;
        }
        if (visible >= 0) {
            element.visible = visible != 0;
        }
    }
}

void CSkinForm::SetElementState(int index, int state) {
    if (index < 0 || index >= ElementCount()) {
        return;
    }
    CRemoteButton& element = elements_[static_cast<size_t>(index)];
    if (element.GetState() == state) {
        return;
    }
    element.SetState(state);
    elementPressed_ = false;
    DrawElement(index);
}
