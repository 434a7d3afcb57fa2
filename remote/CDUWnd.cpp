#include "remote/CDUWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>

#include "ir/CIrDriver.h"
#include "platform/Modal.h"
#include "remote/ButtonLearning.h"
#include "remote/CConfirmDlg.h"
#include "remote/CPenGate.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpDlg.h"

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

CDUWnd::CDUWnd(CRemoteModel& model, RemoteFiles* files, ModalRunner& modal, int scale,
               QWidget* parent)
    : QWidget(parent), model_(model), files_(files), modal_(modal), scale_(scale < 1 ? 1 : scale) {
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
    gate_ = new CPenGate(modal_, this);
    gate_->onLiftWhileBusy = [this] {
        if (pressInProgress_) {
            releaseDeferred_ = true;
        }
    };
    // A send, and the learning check after a learn, run on the model's IR worker while the
    // window waits in its event loop: it keeps painting, and the pen gate, busy meanwhile,
    // sees the pen lift that ends a held send and keeps every other tap and key away.
    model_.awaitSend = [this](const std::function<bool()>& finished) {
        const CPenGate::Busy busy(gate_);
        QEventLoop loop;
        connect(&model_, &CRemoteModel::IrWorkDone, &loop, &QEventLoop::quit);
        while (!finished()) {
            loop.exec();
        }
    };
    // Codebases made, renamed, moved or deleted: the forms look at their hot codebases again.
    connect(&model_, &CRemoteModel::CodebasesChanged, this, [this] {
        if (!GetForm(0)) {
            return;  // no forms yet
        }
        for (auto& form : forms_) {
            form->Slot().Recheck();
            form->RefreshButtons();
        }
        UpdateCategoryTabs();
        RequestRepaint();
    });
    // A button of a codebase got a signal or lost it (a learn or a deletion, from whichever
    // face): the forms that send from that codebase look at their buttons again.
    connect(&model_, &CRemoteModel::ButtonLearnt, this, [this](const QString& path) {
        if (!GetForm(0)) {
            return;  // no forms yet
        }
        for (auto& form : forms_) {
            if (form->Slot().Path().compare(path, Qt::CaseInsensitive) == 0) {
                form->RefreshButtons();
            }
        }
        RequestRepaint();
    });
    // Another form chosen through the model shows.
    connect(&model_, &CRemoteModel::CurrentFormChanged, this, [this](int form) {
        if (GetForm(0) && !ending_) {
            SelectForm(form);
        }
    });
    // A send that another face started lights the indicator while it lasts; the window's own
    // presses light it themselves, at once.
    connect(&model_, &CRemoteModel::SendingChanged, this, [this](bool sending) {
        CSkinForm* form = Current();
        if (!form || ownSend_) {
            return;
        }
        const int blip = form->SetElementFlags(kPanelBlip, -1, sending ? 1 : 0);
        if (blip >= 0) {
            form->DrawElement(blip);
        }
        RequestRepaint();
    });
    // Learning mode, begun or ended by whichever face: the forms of the category on the
    // screen, its tab and the menu show it.
    connect(&model_, &CRemoteModel::LearningChanged, this, &CDUWnd::ShowLearning);
    // A state loaded into the model (a preference set, say) shows at once.
    connect(&model_, &CRemoteModel::StateReplaced, this, &CDUWnd::ShowModel);
    // A category's buttons send from its hot codebase: they redraw whoever changed it.
    connect(&model_, &CRemoteModel::HotCodebaseChanged, this, [this](int category) {
        if (!GetForm(0) || !IsDeviceCategory(category)) {
            return;  // no forms yet
        }
        ShowHot(category);
        UpdateCategoryTabs();
        RequestRepaint();
    });
}

CDUWnd::~CDUWnd() {
    model_.awaitSend = nullptr;
    SelectForm(-1);
}

void CDUWnd::BuildForms(const QString& baseFolder, const QString& prefFile) {
    model_.SetFolders(baseFolder, prefFile);
    for (int n = 0; n < kFormCount; ++n) {
        auto form = std::make_unique<CSkinForm>(files_, modal_, FormSlotId(n));
        form->owner = this;
        form->actions = this;
        form->sound = model_.SoundOutput();
        form->BuildRemoteForm(n, baseFolder);
        forms_[static_cast<size_t>(n)] = std::move(form);
    }
    model_.LoadState();  // shows itself through ShowModel
    model_.LoadUsedList();
}

void CDUWnd::ShowModel() {
    if (!GetForm(0)) {
        return;  // no forms yet
    }
    for (int n = 0; n < kFormCount; ++n) {
        CSkinForm& form = *forms_[static_cast<size_t>(n)];
        form.soundsOn = model_.SoundsOn();
        if (form.Slot().Path() != model_.HotCodebaseOfForm(n) || !form.Slot().IsValid()) {
            form.Slot().SetPath(model_.HotCodebaseOfForm(n));
            form.RefreshButtons();
        }
    }
    SelectForm(model_.CurrentForm());
    UpdateCategoryTabs();
    ApplyKeyCapture();
    RequestRepaint();
}

bool CDUWnd::SaveState() {
    if (!GetForm(0)) {
        return true;  // with no forms nothing is written
    }
    if (model_.SaveState()) {
        return true;
    }
    modal_.ShowMessage(this, StringText(kStrCreateFileFailed, {model_.PrefFile()}));
    return false;
}

void CDUWnd::RebuildPreferenceEntries() {
    QStringList texts;
    std::vector<int> commands;
    const std::vector<QString>& used = model_.UsedList();
    for (size_t i = 0; i < used.size(); ++i) {
        const QString& name = used[i];
        const qsizetype dot = name.lastIndexOf('.');
        texts.push_back(dot < 0 ? name : name.left(dot));
        commands.push_back(kFirstPreferenceCommand + int(i));
    }
    if (hooks.setPreferenceEntries) {
        hooks.setPreferenceEntries(texts, commands);
    }
}

void CDUWnd::SetKeyCapture(bool on) {
    model_.SetKeyCapture(on);
    ApplyKeyCapture();
}

void CDUWnd::SetSounds(bool on) {
    model_.SetSounds(on);
    for (auto& form : forms_) {
        if (form) {
            form->soundsOn = on;
        }
    }
}

void CDUWnd::ApplyKeyCapture() {
    const bool on = model_.KeyCapture();
    // The switch is applied on every paint; a failure that stays is told once, not after
    // every repaint that the message box itself causes.
    if (model_.ApplyKeyCapture()) {
        keyFailureShown_ = false;
    } else if (!keyFailureShown_) {
        keyFailureShown_ = true;
        modal_.ShowMessage(this, StringText(on ? kStrOpenHardKeysFailed : kStrCloseHardKeysFailed));
    }
}

void CDUWnd::QueueKeyMessage(const KeyMessage& message) {
    if (!model_.KeyCapture() || keyQueueCount_ > 0) {
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
        HardKeyAssignment key;
        if (model_.GetKeyAssignment(model_.AssignedSlotOfKey(message.keyCode), key)) {
            PressAssigned(key.form, key.button);
        }
    }
}

void CDUWnd::PressAssigned(int formIndex, int index) {
    CSkinForm* form = GetForm(formIndex);
    if (!form || index < 0 || index >= form->ElementCount() ||
        form->Element(index).GetKind() != kKindButton || !form->Element(index).hasSignal) {
        return;
    }
    // The indicator on the screen lights, whichever form the button belongs to; without a
    // driver nothing is sent and it stays dark.
    CSkinForm* shown = model_.Driver() ? Current() : nullptr;
    int blip = -1;
    if (shown) {
        blip = shown->SetElementFlags(kPanelBlip, -1, 1);
        shown->DrawElement(blip);
        PresentNow();
    }
    // A key press counts like a tap for the turn between a button's two signals.
    form->CountPress(index);
    SendButton(*form, index, PressSource::Key);
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
    ApplyKeyCapture();
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
        SelectForm(FirstFormOf(category) + model_.RememberedForm(category));
    } else if (code == kPanelInfo) {
        const CSkinForm* form = Current();
        ShowHelp(modal_, this, form && form->Learning() ? 2 : 1);
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
            model_.SetLowerFormVisited(true);
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
    model_.SaveUsedList();
    QWidget::closeEvent(event);
    if (hooks.closed) {
        hooks.closed();
    }
}

void CDUWnd::SelectForm(int form) {
    if (form != -1 && (!IsValidForm(form) || form == currentForm_)) {
        return;
    }
    if (CSkinForm* current = Current()) {
        current->ReleaseImages();
    }
    const int previous = currentForm_;
    currentForm_ = form;
    if (form >= 0) {
        model_.SetCurrentForm(form);  // the category left remembers its form
    }
    if (CSkinForm* next = Current()) {
        if (!next->LoadImages()) {
            // The form has told the user and closes the window, which saves the state: the
            // next start must not come back to a form that cannot be shown.
            ending_ = true;
            model_.SetCurrentForm(IsValidForm(previous) ? previous : 0);
            if (!IsFirstForm(form)) {
                model_.SetRememberedForm(FormCategory(form), 0);
            }
        }
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
    // The forms follow through the model's announcement.
    if (!model_.MakeHot(category, path)) {
        modal_.ShowMessage(this, StringText(kStrCreateFileFailed, {model_.PrefFile()}));
    }
}

void CDUWnd::ShowHot(int category) {
    for (const int n : {FirstFormOf(category), SecondFormOf(category)}) {
        CSkinForm& form = *forms_[static_cast<size_t>(n)];
        form.Slot().SetPath(model_.HotCodebaseOfForm(n));
        form.RefreshButtons();
    }
}

void CDUWnd::SetLearningMode(bool on) {
    model_.SetLearning(on);  // the window follows through the model's announcement
}

void CDUWnd::ShowLearning(bool on) {
    CSkinForm* form = Current();
    if (!form) {
        return;
    }
    nextByCode_ = false;
    if (!on) {
        // The category on the screen is the one being learnt: its tabs cannot be left.
        LeaveLearning(FormCategory(currentForm_));
        if (hooks.switchMenu) {
            hooks.switchMenu(kNormalMenu);
        }
        UpdateCategoryTabs();
        RequestRepaint();
        return;
    }
    if (hooks.switchMenu) {
        hooks.switchMenu(kLearningMenu);
    }
    CSkinForm& partner = *forms_[static_cast<size_t>(PartnerForm(currentForm_))];
    form->SetLearning(1);
    partner.SetLearning(1);
    // The tab of the category being learnt stays in sight but cannot be tapped.
    const int tab = CategoryTabId(FormCategory(currentForm_));
    form->SetElementFlags(tab, 0, 1);
    partner.SetElementFlags(tab, 0, 1);
    RequestRepaint();
}

void CDUWnd::LeaveLearning(int category) {
    for (const int n : {FirstFormOf(category), SecondFormOf(category)}) {
        CSkinForm& form = *forms_[static_cast<size_t>(n)];
        if (form.Learning() == 0) {
            continue;
        }
        form.SetKindFlags(kKindPanel, 0, 1);
        form.SetElementFlags(kPanelStopLearn, -1, 0);
        form.SetElementFlags(kPanelBlip, -1, 0);
        form.SetElementFlags(kPanelSelectCodebase, -1, 1);
        form.SetLearning(0);
    }
    // A codebase that learning made stays hot; one that never came to be gives way to the
    // hot codebase kept in the preference file.
    CCodebaseSlot& slot = forms_[static_cast<size_t>(FirstFormOf(category))]->Slot();
    slot.Recheck();
    if (slot.IsValid()) {
        if (!model_.MakeHot(category, slot.Path())) {
            modal_.ShowMessage(this, StringText(kStrCreateFileFailed, {model_.PrefFile()}));
        }
    } else {
        model_.ReloadHot(category);
    }
    ShowHot(category);
}

void CDUWnd::StopLearning() {
    if (!Current()) {
        return;
    }
    const int partner = PartnerForm(currentForm_);
    if (IsFirstForm(currentForm_) && !forms_[static_cast<size_t>(partner)]->Slot().IsValid() &&
        !model_.LowerFormVisited()) {
        CConfirmDlg question(this);
        question.stringId = kStopLearningQuestion;
        const int answer = modal_.RunDialog(question);
        if (answer == kIdOk) {
            SelectForm(partner);
            return;
        }
        if (answer != kIdCancel) {
            return;
        }
    }
    if (model_.Learning()) {
        model_.SetLearning(false);  // the window follows through the model's announcement
    } else {
        ShowLearning(false);  // forms left learning by themselves still leave it
    }
}

void CDUWnd::ButtonDown(CSkinForm& form, int index) {
    if (form.Learning() != 0) {
        return;  // learning happens at the release
    }
    if (!model_.Driver()) {
        return;  // nothing is sent: the indicator stays dark
    }
    // The indicator lights at once, before the click and the send.
    const int blip = form.SetElementFlags(kPanelBlip, -1, 1);
    form.DrawElement(blip);
    PresentNow();
    SendButton(form, index, PressSource::Pen);
}

void CDUWnd::SendButton(CSkinForm& form, int index, PressSource source) {
    // Taps made during the send are dropped.
    const CPenGate::Busy busy(gate_);
    ownSend_ = true;
    Press(
        form.Element(index), model_, modal_, source, [&form] { form.PlaySound("click.wav", true); },
        this);
    // The send's own announcements are still on their way: they are the window's too.
    QMetaObject::invokeMethod(
        this, [this] { ownSend_ = false; }, Qt::QueuedConnection);
}

bool CDUWnd::ButtonUp(CSkinForm& form, int index) {
    if (form.Learning() == 0) {
        model_.ReleaseButton();
        return false;
    }
    const bool byCode = nextByCode_;
    nextByCode_ = false;
    // Taps made on the remote while the prompt was up do not count: the modal prompt kept
    // them from the window.
    bool stopAsked = false;
    const bool learnt =
        Learn(form.Element(index), model_, modal_, form.learnMode, byCode, this, &stopAsked);
    if (learnt) {
        form.PlaySound("learn.wav", true);
    }
    model_.ReleaseButton();
    if (stopAsked) {
        // Once the release that started the read is done.
        QMetaObject::invokeMethod(this, &CDUWnd::StopLearning, Qt::QueuedConnection);
    }
    return learnt;
}
