// A remote window on a simulated PXA255 handheld whose device root is a fresh folder with
// the program's skins and sounds; dialogs and messages are answered at once.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/program/SimInteraction.h"
#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "platform/Sound.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "remote/CDUWnd.h"
#include "remote/CHandheldRemoteFiles.h"
#include "store/CCodebaseFile.h"
#include "tests/support/FailingHostFs.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempFolder.h"

class RemoteWindowTest : public testing::Test {
  protected:
    static constexpr const char* kBase = "\\Program Files\\ArdelRemote\\";

    explicit RemoteWindowTest(const char* chip = "pxa255")
        : handheld(*FindSimProfile(chip)), drivers(handheld) {
        const std::filesystem::path program = root.Path() / "Program Files" / "ArdelRemote";
        std::filesystem::create_directories(program / "My Documents");
        std::filesystem::create_directories(root.Path() / "My Documents");
        for (const char* folder : {"skins", "sounds"}) {
            std::filesystem::copy(std::filesystem::path(ARDEL_RESOURCES) / folder,
                                  program / folder);
        }
        fs = std::make_unique<FailingHostFs>(root.Path().string());
        files = std::make_unique<CHandheldRemoteFiles>(*fs);
        RemoteServices services;
        services.fs = fs.get();
        services.sound = &sound;
        services.hardKeys = &keys;
        services.driver = [this] { return drivers.GetIrDriver(); };
        model = std::make_unique<CRemoteModel>(services);
        model->SetIrPort(IrPort());
        InstallSimRemoteHand(handheld, *model, {.holdMs = 300, .delayNs = 50'000'000});
        window = std::make_unique<CDUWnd>(*model, files.get(), modal);
        window->BuildForms(kBase, QString(kBase) + "ArdelRemoteDefPref.PDB");
        window->show();
        QApplication::setActiveWindow(window.get());
        Settle();
    }
    ~RemoteWindowTest() override { window.reset(); }

    std::string IrPort() const {
        for (const SimComPort& port : handheld.Profile().comPorts) {
            if (port.irda) {
                return port.name;
            }
        }
        return "COM1:";
    }

    // Lets the window paint, as the event loop would between two taps.
    void Settle() {
        QApplication::processEvents();
        if (window->RepaintPending()) {
            window->repaint();
        }
    }

    QPoint CentreOf(int form, const QString& name) {
        CSkinForm& skin = *window->GetForm(form);
        for (int i = 0; i < skin.ElementCount(); ++i) {
            const CRemoteButton& element = skin.Element(i);
            if (element.name == name) {
                return QPoint(element.left + element.width / 2, element.top + element.height / 2) *
                       window->Scale();
            }
        }
        ADD_FAILURE() << "no element " << name.toStdString() << " on form " << form;
        return QPoint();
    }
    int IndexOf(int form, const QString& name) {
        CSkinForm& skin = *window->GetForm(form);
        for (int i = 0; i < skin.ElementCount(); ++i) {
            if (skin.Element(i).name == name) {
                return i;
            }
        }
        return -1;
    }
    void Tap(const QString& name) { TapAt(CentreOf(window->CurrentForm(), name)); }
    // The tabs, by id: a remote button may carry a category's name too ("TV" on Audio1).
    void TapTab(int category) {
        CSkinForm& skin = *window->Current();
        const CRemoteButton& tab = skin.Element(skin.FindElement(CategoryTabId(category)));
        TapAt(QPoint(tab.left + tab.width / 2, tab.top + tab.height / 2) * window->Scale());
    }
    void TapAt(QPoint at) {
        Settle();
        QTest::mousePress(window.get(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, at);
        Settle();
    }

    // A codebase holding `buttons` (name, signal 1, optional signal 2), made hot for TV.
    struct StoredButton {
        QByteArray name;
        std::vector<int32_t> signal1;
        std::vector<int32_t> signal2;
    };
    QString MakeTvCodebase(const std::vector<StoredButton>& buttons) {
        const QString path = "\\My Documents\\TV_Test.PDB";
        CCodebaseFile file(fs.get());
        EXPECT_TRUE(file.CreateCodebase(path));
        for (const StoredButton& button : buttons) {
            file.StoreSignal(
                CCodebaseFile::DurationsToValues(button.signal1.data(), button.signal1.size()), 0,
                25, button.name, 1);
            if (!button.signal2.empty()) {
                file.StoreSignal(
                    CCodebaseFile::DurationsToValues(button.signal2.data(), button.signal2.size()),
                    0, 25, button.name, 2);
            }
        }
        file.Close();
        window->hooks.listCodebases = [path](int category) {
            return category == kCategoryTv ? std::vector<CodebaseChoice>{{"Test", path}}
                                           : std::vector<CodebaseChoice>{};
        };
        window->OpenSelector();
        window->Selector()->Choose(0);
        Settle();
        return path;
    }

    TempFolder root;
    SimHandheld handheld;
    CIrDriverFactory drivers;
    std::unique_ptr<FailingHostFs> fs;
    std::unique_ptr<CHandheldRemoteFiles> files;
    CRecordingSound sound;
    CRecordingHardKeys keys;
    CAnsweringModalRunner modal;
    std::unique_ptr<CRemoteModel> model;
    std::unique_ptr<CDUWnd> window;
};
