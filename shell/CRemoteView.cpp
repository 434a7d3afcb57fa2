#include "shell/CRemoteView.h"

#include <QApplication>
#include <QTimer>

#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpDlg.h"
#include "shell/CMainFrame.h"
#include "store/PrefFile.h"

CRemoteView::CRemoteView(CMainFrame& frame, ModalRunner& modal, Services services, QWidget* parent)
    : QWidget(parent), frame_(frame), modal_(modal), services_(std::move(services)) {
    const int scale = services_.scale < 1 ? 1 : services_.scale;
    services_.scale = scale;
    setFixedSize(kScreenWidth * scale, kScreenHeight * scale);
}

CRemoteView::~CRemoteView() = default;

void CRemoteView::paintEvent(QPaintEvent*) {
    // The start-up shows dialogs, which must not run inside a paint; it follows at once.
    if (!window_ && !startRequested_) {
        startRequested_ = true;
        QTimer::singleShot(0, this, &CRemoteView::StartUp);
    }
}

void CRemoteView::StartUp() {
    if (window_) {
        return;
    }
    startRequested_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CRemoteModel& model = *services_.model;
    window_ = new CDUWnd(model, services_.files, modal_, services_.scale, this);
    window_->setObjectName("1234");
    window_->move(0, 0);

    const HandheldFolders& folders = frame_.Folders();
    const QString base = frame_.GetBaseFolder();
    CDUWnd& window = *window_;
    window.hooks.switchMenu = [this](int menu) {
        frame_.RebuildMenuBar(menu);
        if (menu == CMainFrame::kNormalMenu && window_) {
            window_->RebuildPreferenceEntries();
        }
    };
    window.hooks.setPreferenceEntries = [this](const QStringList& texts,
                                               const std::vector<int>& commands) {
        frame_.SetPreferenceEntries(texts, commands);
    };
    window.hooks.openHomeDevices = [this](int category) {
        if (services_.homeDevices) {
            services_.homeDevices(*window_, category);
        }
    };
    window.hooks.openHardButtons = [this] {
        if (services_.hardButtons) {
            services_.hardButtons(*window_);
        }
    };
    window.hooks.listCodebases = [&model, &folders](int category) {
        return CodebaseChoicesOf(model, folders, category);
    };
    // The remote window closes on a skin that cannot be shown; its state is saved by then.
    window.hooks.closed = [this] { frame_.EndProgram(); };

    window.BuildForms(base, base + DefaultPrefFileName(folders.programName));
    if (window.Ending()) {
        // The first form's skin is missing: the user was told, and the program ends as soon
        // as this start-up is done, with nothing more shown.
        QApplication::restoreOverrideCursor();
        return;
    }
    if (services_.stateLoaded) {
        services_.stateLoaded(window);
    }
    EnsurePrefFiles(model.Fs(), base, folders.programName);
    window.show();
    frame_.UpdateSoundsCheck(model.SoundsOn());
    window.RebuildPreferenceEntries();
    QApplication::restoreOverrideCursor();

    if (!model.GreetingDone()) {
        const bool capture = model.KeyCapture();
        window.SetKeyCapture(true);
        bool showAgain = true;
        const int result = services_.runGreeting ? services_.runGreeting(window, showAgain) : 2;
        if (result == 1) {
            ShowHelp(modal_, &window, 0);
        }
        if (!showAgain) {
            model.SetGreetingDone(true);
        }
        window.SetKeyCapture(capture);
    }

    if (!model.Driver()) {
        modal_.ShowMessage(&window, KeepAddressesWhole(StringText(kNoDriverString)),
                           MessageButtons::Ok, "ArdelRemote", MessageIcon::Exclamation);
    }
    if (services_.started) {
        services_.started(window);
    }
}

void CRemoteView::SaveState() {
    if (window_) {
        window_->SaveState();
        window_->Model().SaveUsedList();
    }
}

void CRemoteView::NextButtonByCode() {
    if (window_ && window_->Model().Learning()) {
        window_->SetNextButtonByCode(true);
    }
}

void CRemoteView::StopLearning() {
    if (window_) {
        window_->StopLearning();
    }
}

void CRemoteView::LoadPreferenceSet() {
    if (window_ && services_.loadPreferenceSet) {
        services_.loadPreferenceSet(*window_);
    }
}

void CRemoteView::SavePreferenceSet() {
    if (window_ && services_.savePreferenceSet) {
        services_.savePreferenceSet(*window_);
    }
}

void CRemoteView::SetSounds(bool on) {
    if (window_) {
        window_->SetSounds(on);
    }
}

void CRemoteView::HardButtons() {
    if (window_) {
        window_->hooks.openHardButtons();
    }
}

void CRemoteView::HomeDevices() {
    if (!window_) {
        return;
    }
    window_->hooks.openHomeDevices(0);
    window_->UpdateCategoryTabs();
    window_->update();
}

void CRemoteView::ApplyUsedEntry(int index) {
    if (window_ && services_.applyUsedEntry) {
        services_.applyUsedEntry(*window_, index);
    }
}

void CRemoteView::QueueKeyMessage(const CDUWnd::KeyMessage& message) {
    if (window_) {
        window_->QueueKeyMessage(message);
    }
}

void CRemoteView::HideSelector() {
    if (window_) {
        window_->HideSelector();
    }
}
