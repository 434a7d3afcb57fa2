#include "CDUWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>

#include "ButtonLearning.h"
#include "CConfirmDlg.h"
#include "CHelpDlg.h"
#include "CPenGate.h"
#include "HardKeys.h"
#include "IrFactory.h"
#include "Modal.h"
#include "Strings.h"

namespace {

constexpr int kCategories = 6;
// The event that stands for the private message 1025.
const QEvent::Type kKeyQueueEvent = QEvent::Type(QEvent::User + CDUWnd::kKeyQueueMessage);
// The selector's place, (55, 2)-(165, 120), with room for its dropped-down list; the closed
// box itself is one row high.
constexpr QRect kSelectorRect(55, 2, 110, 118);
constexpr int kSelectorRowHeight = 18;

// The other form of a form's category.
int PartnerForm(int form) {
    return form ^ 1;
}

bool IsFirstForm(int form) {
    return form % 2 == 0;
}

}  // namespace

CDUWnd::CDUWnd(RemoteFiles* files, int scale, QWidget* parent)
    : QWidget(parent), files_(files), scale_(scale < 1 ? 1 : scale) {
    setFixedSize(kScreenWidth * scale_, kScreenHeight * scale_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    selector_ = new CCodebaseSelector(this);
    selector_->setGeometry(kSelectorRect.left() * scale_, kSelectorRect.top() * scale_,
                           kSelectorRect.width() * scale_, kSelectorRowHeight * scale_);
    selector_->setMaxVisibleItems(kSelectorRect.height() / kSelectorRowHeight - 1);
    selector_->onChosen = [this](int category, const QString& path) {
        ChooseCodebase(category, path);
    };
    selector_->listCodebases = [this](int category) {
        return hooks.listCodebases ? hooks.listCodebases(category) : std::vector<CodebaseChoice>();
    };
    // Holds the keyboard focus away from every visible control.
    focusSink_ = new QWidget(this);
    focusSink_->setGeometry(400 * scale_, 400 * scale_, 1, 1);
    focusSink_->setFocusPolicy(Qt::StrongFocus);
    gate_ = new CPenGate(this);
    gate_->onLiftWhileBusy = [this] {
        if (pressInProgress_) {
            releaseDeferred_ = true;
        }
    };
}

CDUWnd::~CDUWnd() {
    SelectForm(-1);
}

void CDUWnd::BuildForms(const QString& baseFolder, const QString& prefFile) {
    baseFolder_ = baseFolder;
    prefFile_ = prefFile;
    for (int n = 0; n < kFormCount; ++n) {
        auto form = std::make_unique<CSkinForm>(files_, FormSlotId(n));
        form->owner = this;
        form->actions = this;
        form->soundsOn = soundsOn_;
        form->BuildRemoteForm(n, baseFolder, prefFile);
        form->Slot().LoadFromPrefs(prefFile);
        form->RefreshButtons();
        forms_[static_cast<size_t>(n)] = std::move(form);
    }
    rememberedForm_.fill(0);
    LoadState();
    if (hooks.loadUsedList) {
        usedList_ = hooks.loadUsedList(*this);
    }
    if (currentForm_ < 0) {
        SelectForm(0);
    }
}

void CDUWnd::LoadState() {
    if (hooks.loadState) {
        hooks.loadState(*this);
    }
}

bool CDUWnd::SaveState() {
    return hooks.saveState ? hooks.saveState(*this) : true;
}

bool CDUWnd::SaveUsedList() {
    return hooks.saveUsedList ? hooks.saveUsedList(*this) : true;
}

QString CDUWnd::PreferenceFileName() const {
    return prefFile_.startsWith(baseFolder_, Qt::CaseInsensitive)
               ? prefFile_.mid(baseFolder_.size())
               : prefFile_;
}

void CDUWnd::SwitchPreferenceFile(const QString& name) {
    prefFile_ = baseFolder_ + name;
    for (auto& form : forms_) {
        if (form) {
            form->prefFile = prefFile_;
        }
    }
}

void CDUWnd::RebuildPreferenceEntries() {
    QStringList texts;
    std::vector<int> commands;
    for (size_t i = 0; i < usedList_.size(); ++i) {
        const QString& name = usedList_[i];
        const qsizetype dot = name.lastIndexOf('.');
        texts.push_back(dot < 0 ? name : name.left(dot));
        commands.push_back(kFirstPreferenceCommand + int(i));
    }
    if (hooks.setPreferenceEntries) {
        hooks.setPreferenceEntries(texts, commands);
    }
}

void CDUWnd::SetKeyCapture(bool on) {
    keyCapture_ = on;
    HardKeys& keys = GetHardKeys();
    const bool ok = on ? keys.Open() : keys.Close();
    // The switch is applied on every paint; a failure that stays is told once, not after
    // every repaint that the message box itself causes.
    if (ok) {
        keyFailureShown_ = false;
    } else if (!keyFailureShown_) {
        keyFailureShown_ = true;
        ShowMessage(this, on ? "Error Open Hard Keys" : "Error Close Hard Keys");
    }
}

bool CDUWnd::GetKeyAssignment(int slot, HardKeyAssignment& assignment) const {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    assignment = keys_[static_cast<size_t>(slot)];
    return true;
}

bool CDUWnd::GetDefaultKeyAssignment(int slot, int& form, int& button) const {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    form = defaultKeys_[static_cast<size_t>(slot)].form;
    button = defaultKeys_[static_cast<size_t>(slot)].button;
    return true;
}

bool CDUWnd::SetKeyAssignment(int slot, bool used, int form, int button) {
    if (slot < 0 || slot >= kHardKeyCount) {
        return false;
    }
    keys_[static_cast<size_t>(slot)] = {used, form, button};
    return true;
}

void CDUWnd::QueueKeyMessage(const KeyMessage& message) {
    if (!keyCapture_ || keyQueueCount_ > 0) {
        return;
    }
    keyQueue_ = message;
    keyQueueCount_ = 1;
    QCoreApplication::postEvent(this, new QEvent(kKeyQueueEvent));
}

void CDUWnd::customEvent(QEvent* event) {
    if (event->type() == kKeyQueueEvent) {
        WorkOffKeyQueue();
        return;
    }
    QWidget::customEvent(event);
}

void CDUWnd::WorkOffKeyQueue() {
    HideSelector();
    while (keyQueueCount_ > 0) {
        const KeyMessage message = keyQueue_;
        --keyQueueCount_;
        if (!message.keyDown) {
            continue;
        }
        const std::array<uint16_t, kHardKeySlots> codes = SlotKeys(GetHardKeys().DefaultKeys());
        for (int slot = 0; slot < kHardKeyCount; ++slot) {
            const HardKeyAssignment& key = keys_[static_cast<size_t>(slot)];
            if (codes[static_cast<size_t>(slot)] == message.keyCode && key.used) {
                PressAssigned(key.form, key.button);
                break;
            }
        }
    }
}

void CDUWnd::PressAssigned(int formIndex, int index) {
    CSkinForm* form = GetForm(formIndex);
    if (!form || index < 0 || index >= form->ElementCount() ||
        form->Element(index).GetKind() != kKindButton || !form->Element(index).hasSignal) {
        return;
    }
    // The indicator on the screen lights, whichever form the button belongs to.
    CSkinForm* shown = Current();
    int blip = -1;
    if (shown) {
        blip = shown->SetElementFlags(kPanelBlip, -1, 1);
        shown->DrawElement(blip);
        PresentNow();
    }
    if (CIrDriver* driver = GetIrDriver()) {
        CRemoteButton& button = form->Element(index);
        if (PrepareSend(button, driver, this)) {
            SendPrepared(*form, CIrDriver::kRepeatWhileHeld);
        }
    }
    if (shown) {
        shown->SetElementFlags(kPanelBlip, -1, 0);
    }
    RequestRepaint();
}

CSkinForm* CDUWnd::GetForm(int form) {
    return IsValidForm(form) ? forms_[static_cast<size_t>(form)].get() : nullptr;
}

QString CDUWnd::ButtonName(int form, int index) {
    CSkinForm* skin = GetForm(form);
    if (!skin || index < 0 || index >= skin->ElementCount()) {
        return QString();
    }
    return skin->Element(index).name;
}

int CDUWnd::ElementKindOf(int form, int index) {
    CSkinForm* skin = GetForm(form);
    if (!skin) {
        return -3;
    }
    if (index < 0 || index >= skin->ElementCount()) {
        return -2;
    }
    return skin->Element(index).GetKind();
}

int CDUWnd::RememberedForm(int category) const {
    return IsDeviceCategory(category) ? rememberedForm_[static_cast<size_t>(category - 1)] : 0;
}

void CDUWnd::SetRememberedForm(int category, int which) {
    if (IsDeviceCategory(category)) {
        rememberedForm_[static_cast<size_t>(category - 1)] = which == 1 ? 1 : 0;
    }
}

void CDUWnd::SetSounds(bool on) {
    soundsOn_ = on;
    for (auto& form : forms_) {
        if (form) {
            form->soundsOn = on;
        }
    }
}

QImage CDUWnd::Picture() const {
    if (currentForm_ < 0 || !forms_[static_cast<size_t>(currentForm_)]) {
        return QImage();
    }
    return forms_[static_cast<size_t>(currentForm_)]->Canvas();
}

void CDUWnd::RequestRepaint() {
    repaintPending_ = true;
    update();
}

void CDUWnd::PresentNow() {
    presentOnly_ = true;
    repaint();
    presentOnly_ = false;
}

void CDUWnd::paintEvent(QPaintEvent*) {
    CSkinForm* form = Current();
    QPainter painter(this);
    // The form is composed in its own picture first and then copied out in one piece.
    if (form) {
        if (!presentOnly_ || form->Canvas().isNull()) {
            form->Draw();
        }
        painter.drawImage(rect(), form->Canvas());
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    if (presentOnly_) {
        return;  // a press shown at once; the full repaint is still to come
    }
    SetKeyCapture(keyCapture_);
    focusSink_->setFocus();
    repaintPending_ = false;
}

void CDUWnd::StopAutoRelease() {
    autoRelease_.stop();
}

void CDUWnd::PenDown(int x, int y) {
    if (repaintPending_) {
        return;
    }
    StopAutoRelease();
    HideSelector();
    PenUp();
    pressInProgress_ = true;
    releaseDeferred_ = false;
    int code = kActionNone;
    if (CSkinForm* form = Current()) {
        code = form->PenDown(x, y);
        if (code == kActionButton) {
            RequestRepaint();
        }
    }
    autoRelease_.start(kAutoReleaseMs, this);
    pressInProgress_ = false;

    if (code >= CategoryTabId(kCategoryTv) && code <= CategoryTabId(kCategoryTiVo)) {
        const int category = code - 2;
        SelectForm(FirstFormOf(category) + RememberedForm(category));
    } else if (code == kPanelInfo) {
        const CSkinForm* form = Current();
        ShowHelp(this, form && form->Learning() ? 2 : 1);
        RequestRepaint();
    } else if (code == kPanelSelectCodebase || code == kActionCodebaseName) {
        OpenSelector();
        if (CSkinForm* form = Current()) {
            form->PenUp();
        }
    }
    // A lift of the pen seen while the press was handled takes effect now.
    if (releaseDeferred_) {
        releaseDeferred_ = false;
        PenUp();
    }
}

void CDUWnd::PenUp() {
    if (pressInProgress_) {
        releaseDeferred_ = true;  // handled when the press is done
        return;
    }
    StopAutoRelease();
    CSkinForm* form = Current();
    if (!form) {
        return;
    }
    const int code = form->PenUp();
    if (code == kActionButton) {
        RequestRepaint();
    }
    if (code < 0) {
        return;
    }
    if (code == kPanelNextForm) {
        if (IsFirstForm(currentForm_)) {
            SelectForm(currentForm_ + 1);
            lowerFormVisited_ = true;
        } else {
            SelectForm(currentForm_ - 1);
        }
    } else if (code == kPanelSelect) {
        if (hooks.openHomeDevices) {
            hooks.openHomeDevices(FormCategory(currentForm_));
        }
        UpdateCategoryTabs();
        RequestRepaint();
    } else if (code == kPanelStopLearn) {
        StopLearning();
    }
}

void CDUWnd::PenMove(int x, int y) {
    if (repaintPending_ || !Current()) {
        return;
    }
    // The handheld reports a move only when the pen reaches another pixel.
    if (QPoint(x, y) == pressPoint_) {
        return;
    }
    PenUp();
}

void CDUWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = HandheldPoint(event->position(), scale_);
    pressPoint_ = point;
    PenDown(point.x(), point.y());
}

void CDUWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PenUp();
    }
}

void CDUWnd::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        const QPoint point = HandheldPoint(event->position(), scale_);
        PenMove(point.x(), point.y());
    }
}

void CDUWnd::timerEvent(QTimerEvent* event) {
    if (event->timerId() != autoRelease_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    autoRelease_.stop();
    if (!repaintPending_) {
        PenUp();
    }
}

void CDUWnd::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow()) {
        return;
    }
    CSkinForm* form = Current();
    if (form && form->ElementPressed() && form->PressedIndex() >= 0) {
        form->SetElementState(form->PressedIndex(), kStateActive);
        update();
    }
}

void CDUWnd::closeEvent(QCloseEvent* event) {
    SaveState();
    SaveUsedList();
    QWidget::closeEvent(event);
}

void CDUWnd::SelectForm(int form) {
    if (form != -1 && (!IsValidForm(form) || form == currentForm_)) {
        return;
    }
    if (CSkinForm* current = Current()) {
        rememberedForm_[static_cast<size_t>(currentForm_ / 2)] = IsFirstForm(currentForm_) ? 0 : 1;
        current->ReleaseImages();
    }
    currentForm_ = form;
    if (CSkinForm* next = Current()) {
        next->LoadImages();
        UpdateCategoryTabs();
    }
    RequestRepaint();
}

void CDUWnd::UpdateCategoryTabs() {
    CSkinForm* form = Current();
    if (!form) {
        return;
    }
    const int currentCategory = FormCategory(currentForm_);
    for (int category = 1; category <= kCategories; ++category) {
        const bool hot = category == currentCategory ||
                         forms_[static_cast<size_t>(FirstFormOf(category))]->Slot().IsValid();
        const int index = form->FindElement(CategoryTabId(category));
        if (index < 0) {
            continue;
        }
        CRemoteButton& tab = form->Element(index);
        tab.hasSignal = hot;
        tab.SetState(hot ? kStateActive : kStateDimmed);
    }
}

void CDUWnd::HideSelector() {
    selector_->Close();
}

void CDUWnd::OpenSelector() {
    if (currentForm_ >= 0) {
        selector_->Open(FormCategory(currentForm_));
    }
}

void CDUWnd::ChooseCodebase(int category, const QString& path) {
    for (const int n : {FirstFormOf(category), SecondFormOf(category)}) {
        CSkinForm& form = *forms_[static_cast<size_t>(n)];
        form.Slot().SetPath(path);
        form.RefreshButtons();
        form.Slot().SaveToPrefs(prefFile_);
    }
    UpdateCategoryTabs();
    RequestRepaint();
}

void CDUWnd::SetLearningMode(bool on) {
    CSkinForm* form = Current();
    if (!form) {
        return;
    }
    if (hooks.switchMenu) {
        hooks.switchMenu(on ? kLearningMenu : kNormalMenu);
    }
    if (on) {
        lowerFormVisited_ = false;
    }
    CSkinForm& partner = *forms_[static_cast<size_t>(PartnerForm(currentForm_))];
    form->SetLearning(on ? 1 : 0);
    partner.SetLearning(on ? 1 : 0);
    // The tab of the category being learnt stays in sight but cannot be tapped.
    const int tab = CategoryTabId(FormCategory(currentForm_));
    form->SetElementFlags(tab, 0, 1);
    partner.SetElementFlags(tab, 0, 1);
    RequestRepaint();
}

void CDUWnd::LeaveLearning(CSkinForm& form) {
    if (form.Learning() == 0) {
        return;
    }
    form.SetKindFlags(kKindPanel, 0, 1);
    form.SetElementFlags(kPanelStopLearn, -1, 0);
    form.SetElementFlags(kPanelBlip, -1, 0);
    form.SetElementFlags(kPanelSelectCodebase, -1, 1);
    form.SetLearning(0);
    form.Slot().Recheck();
    if (form.Slot().IsValid()) {
        form.Slot().SaveToPrefs(prefFile_);
    } else {
        form.Slot().LoadFromPrefs(prefFile_);
        form.RefreshButtons();
    }
}

void CDUWnd::StopLearning() {
    if (!Current()) {
        return;
    }
    const int partner = PartnerForm(currentForm_);
    if (IsFirstForm(currentForm_) && !forms_[static_cast<size_t>(partner)]->Slot().IsValid() &&
        !lowerFormVisited_) {
        CConfirmDlg question(this);
        question.stringId = kStopLearningQuestion;
        const int answer = RunModal(question);
        if (answer == kIdOk) {
            SelectForm(partner);
            return;
        }
        if (answer != kIdCancel) {
            return;
        }
    }
    LeaveLearning(*Current());
    LeaveLearning(*forms_[static_cast<size_t>(partner)]);
    if (hooks.switchMenu) {
        hooks.switchMenu(kNormalMenu);
    }
    UpdateCategoryTabs();
    RequestRepaint();
}

void CDUWnd::ButtonDown(CSkinForm& form, int index) {
    if (form.Learning() != 0) {
        return;  // learning happens at the release
    }
    // The indicator lights at once: the thread is blocked until the send is over.
    const int blip = form.SetElementFlags(kPanelBlip, -1, 1);
    form.DrawElement(blip);
    PresentNow();
    CIrDriver* driver = GetIrDriver();
    if (!driver) {
        return;
    }
    CRemoteButton& button = form.Element(index);
    if (!PrepareSend(button, driver, this)) {
        return;
    }
    const bool volume = button.name == "Vol+" || button.name == "Vol-";
    SendPrepared(form, volume ? CIrDriver::kRepeatOnceThenHeld : CIrDriver::kRepeatWhileHeld);
}

void CDUWnd::SendPrepared(CSkinForm& form, uint16_t repeat) {
    CIrDriver* driver = GetIrDriver();
    form.PlaySound("click.wav", true);
    int result = 0;
    {
        const CPenGate::Busy busy(gate_);
        result = driver->Send(repeat);
        driver->ClosePort();
        gate_->Flush();  // taps made during the send are dropped
    }
    if (result != 0) {
        ShowMessage(this, QString::fromUtf8(LoadString(kSendFailureString))
                              .replace("%d", QString::number(result)));
    }
}

bool CDUWnd::ButtonUp(CSkinForm& form, int index) {
    CIrDriver* driver = GetIrDriver();
    if (form.Learning() == 0) {
        if (driver) {
            driver->ClosePort();
        }
        return false;
    }
    const bool learnt =
        driver && Learn(form.Element(index), driver, form.learnMode, form.soundsOn, this);
    if (learnPauseMs > 0) {
        QThread::msleep(static_cast<unsigned long>(learnPauseMs));
    }
    // Taps made on the remote while the prompt was up do not count.
    gate_->Flush();
    if (learnt) {
        form.PlaySound("learn.wav", true);
    }
    if (driver) {
        driver->ClosePort();
    }
    return learnt;
}
