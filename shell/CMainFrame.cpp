#include "shell/CMainFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "model/CRemoteModel.h"
#include "platform/HardKeys.h"
#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpDlg.h"
#include "shell/CAddFromCodesDlg.h"
#include "shell/CHomeAutomationDlg.h"
#include "shell/CIrSetupDlg.h"
#include "shell/CRemoteView.h"
#include "shell/KeyboardHardKeys.h"

namespace {

const QString kPreferencesMenu = QStringLiteral("Preferences");
const QString kUseSoundsItem = QStringLiteral("Use Sounds");

QAction* AddCommand(QMenu* menu, const QString& text, int command) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    return action;
}

}  // namespace

CMainFrame::CMainFrame(const QString& programPath, Registry& registry, CRemoteModel& model,
                       HardKeys& keys, CKeyboardHardKeys& keyboard, ModalRunner& modal,
                       QWidget* parent)
    : QMainWindow(parent),
      folders_(FoldersFor(programPath)),
      registry_(registry),
      model_(model),
      keys_(keys),
      keyboard_(keyboard),
      modal_(modal) {
    setWindowTitle("ArdelRemote");
    RebuildMenuBar(kNormalMenu);
    QCoreApplication::instance()->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    QCoreApplication::instance()->removeEventFilter(this);
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(describeIr ? QStringLiteral("ArdelRemote (%1)").arg(describeIr())
                              : QStringLiteral("ArdelRemote"));
}

void CMainFrame::CheckHardKeys() {
    HardKeys& keys = keys_;
    if (!keys.Open()) {
        modal_.ShowMessage(this, StringText(kStrOpenHardKeysFailed));
    }
    keys.DefaultKeys();
    if (!keys.Close()) {
        modal_.ShowMessage(this, StringText(kStrCloseHardKeysFailed));
    }
}

void CMainFrame::SetView(CRemoteView* view) {
    view_ = view;
    setCentralWidget(view);
}

void CMainFrame::RebuildMenuBar(int menu) {
    auto* bar = new QMenuBar(this);
    if (menu == kLearningMenu) {
        QMenu* options = bar->addMenu("Options");
        AddCommand(options, "Stop Learning", kStopLearning);
        AddCommand(options, "Next Button by Code...", kNextButtonByCode);
    } else {
        QMenu* options = bar->addMenu("Options");
        AddCommand(options, "Home Devices", kHomeDevices);
        AddCommand(options, "Hard Buttons", kHardButtons);
        options->addSeparator();
        AddCommand(options, "Help", kHelp);
        AddCommand(options, "About ...", kAbout);
        options->addSeparator();
        AddCommand(options, "Exit", kExit);
        QMenu* preferences = bar->addMenu(kPreferencesMenu);
        AddCommand(preferences, "&IR Setup...", kIrSetup);
        AddCommand(preferences, StringText(kStrCodeCollections), kCodeCollections);
        AddCommand(preferences, QStringLiteral("Home automation\u2026"), kHomeAutomation);
        preferences->addSeparator();
        AddCommand(preferences, "Save", kSave);
        AddCommand(preferences, "Load", kLoad);
        preferences->addSeparator();
        QAction* sounds = AddCommand(preferences, kUseSoundsItem, kUseSounds);
        sounds->setCheckable(true);
        sounds->setChecked(true);
        preferences->addSeparator();
    }
    connect(bar, &QMenuBar::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
    setMenuBar(bar);  // the previous bar is deleted
    menuNumber_ = menu;
    update();
    if (view_ && view_->Window()) {
        UpdateSoundsCheck(model_.SoundsOn());
    }
}

QMenu* CMainFrame::FindMenu(const QString& title) const {
    if (menuNumber_ == 0) {
        return nullptr;
    }
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() && action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* CMainFrame::FindCommand(int command) const {
    if (menuNumber_ == 0) {
        return nullptr;
    }
    for (QAction* top : menuBar()->actions()) {
        if (!top->menu()) {
            continue;
        }
        for (QAction* action : top->menu()->actions()) {
            if (!action->isSeparator() && action->data().toInt() == command) {
                return action;
            }
        }
    }
    return nullptr;
}

void CMainFrame::UpdateSoundsCheck(bool on) {
    if (QAction* sounds = FindCommand(kUseSounds)) {
        sounds->setChecked(on);
    }
}

void CMainFrame::SetPreferenceEntries(const QStringList& names, const std::vector<int>& commands) {
    QMenu* preferences = FindMenu(kPreferencesMenu);
    if (!preferences) {
        return;
    }
    const QList<QAction*> items = preferences->actions();
    qsizetype sounds = -1;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->text() == kUseSoundsItem) {
            sounds = i;
            break;
        }
    }
    if (sounds < 0) {
        return;
    }
    // Everything behind the separator that follows "Use Sounds" goes; the separator stays.
    const qsizetype separator = sounds + 1;
    if (separator >= items.size() || !items[separator]->isSeparator()) {
        return;
    }
    for (qsizetype i = items.size() - 1; i > separator; --i) {
        preferences->removeAction(items[i]);
        delete items[i];
    }
    const qsizetype count = std::min<qsizetype>(names.size(), qsizetype(commands.size()));
    for (qsizetype i = 0; i < count && i < kPreferenceSets; ++i) {
        AddCommand(preferences, names[i], commands[static_cast<size_t>(i)]);
    }
}

void CMainFrame::OnCommand(int command) {
    if (command >= kFirstPreferenceSet && command < kFirstPreferenceSet + kPreferenceSets) {
        if (view_) {
            view_->ApplyUsedEntry(command - kFirstPreferenceSet);
        }
        return;
    }
    switch (command) {
        case kHelp:
        case kStandardHelp:
            ShowHelp(modal_, this, 0);
            return;
        case kAbout: {
            CAboutDlg about(this);
            modal_.RunDialog(about);
            return;
        }
        case kHomeAutomation: {
            CHomeAutomationDlg settings(deviceRoot, modal_, this);
            modal_.RunDialog(settings);
            return;
        }
        case kIrSetup: {
            CIrSetupDlg setup(registry_, model_, this);
            if (lircEntries) {
                setup.lircEntries = lircEntries();
            }
            setup.saveState = [this] {
                if (view_ && view_->Window()) {
                    view_->Window()->SaveState();
                }
            };
            modal_.RunDialog(setup);
            UpdateTitle();
            return;
        }
        case kCodeCollections:
            RunCodeCollections(this, modal_, model_);
            return;
        case kExit:
        case kExitAlias:
            Exit();
            return;
        case kUseSounds: {
            QAction* sounds = FindCommand(kUseSounds);
            if (!sounds || !view_ || !view_->Window()) {
                return;
            }
            const bool on = !model_.SoundsOn();
            sounds->setChecked(on);
            view_->SetSounds(on);
            return;
        }
        default:
            break;
    }
    if (!view_) {
        return;
    }
    switch (command) {
        case kHomeDevices:
            view_->HomeDevices();
            break;
        case kHardButtons:
            view_->HardButtons();
            break;
        case kSave:
            view_->SavePreferenceSet();
            break;
        case kLoad:
            view_->LoadPreferenceSet();
            break;
        case kStopLearning:
            view_->StopLearning();
            break;
        case kNextButtonByCode:
            view_->NextButtonByCode();
            break;
        default:
            break;
    }
}

void CMainFrame::Exit() {
    if (view_) {
        view_->SaveState();
    }
    EndProgram();
}

void CMainFrame::EndProgram() {
    exitRequested_ = true;
    QCoreApplication::exit(0);
}

void CMainFrame::CancelModes() {
    if (view_) {
        view_->HideSelector();
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // A key event that climbs to the parents passes here again; the one-entry queue drops
    // the repeat.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const uint16_t code = CKeyboardHardKeys::CodeOfKey(key->key());
        if (code != 0 && view_) {
            view_->QueueKeyMessage({true, code});
            // Taken keys are the remote's alone while capture holds them.
            if (keyboard_.IsOpen() && CKeyboardHardKeys::IsSlotKey(code)) {
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        CancelModes();
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!exitRequested_) {
        Exit();
    }
    event->accept();
}
