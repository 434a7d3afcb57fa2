#include "shell/CIrSetupDlg.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "model/CRemoteModel.h"
#include "platform/Registry.h"
#include "platform/host/HostHandheldFs.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/TempFolder.h"

namespace {

// Active serial drivers: port name, and the friendly name kept under the driver's key. The
// port named `irda` is the infrared one.
CMemoryRegistry Ports(const std::vector<std::pair<std::string, std::string>>& ports,
                      const std::string& irda = "") {
    CMemoryRegistry registry;
    int n = 10;
    for (const auto& [name, friendly] : ports) {
        const std::string active = "HKLM\\Drivers\\Active\\" + std::to_string(n++);
        const std::string key =
            "Drivers\\" + std::string(name == irda ? "IrDA" : "Serial") + std::to_string(n);
        registry.SetString(active, "Name", name);
        registry.SetString(active, "Key", key);
        registry.SetString("HKLM\\" + key, "FriendlyName", friendly);
    }
    return registry;
}

class IrSetup : public testing::Test {
  protected:
    IrSetup() {
        RemoteServices services;
        services.fs = &files_;
        model_ = std::make_unique<CRemoteModel>(services);
    }

    // Runs the dialog; `act` works on it while it is open, then OK is pressed.
    int RunAndPressOk(Registry& registry, const std::function<void(CIrSetupDlg&)>& act = {}) {
        modal_.onDialog = [&](QDialog& dialog) {
            auto& setup = static_cast<CIrSetupDlg&>(dialog);
            selectedOnOpening_ =
                setup.List()->currentItem() && setup.List()->currentItem()->isSelected()
                    ? setup.List()->currentItem()->text()
                    : QString();
            if (act) {
                act(setup);
            }
            QTest::mouseClick(setup.findChild<QPushButton*>("1"), Qt::LeftButton);
            return dialog.result();
        };
        CIrSetupDlg dialog(registry, *model_);
        dialog.lircEntries = lircEntries_;
        dialog.saveState = [this] { saves_.push_back(model_->IrPort()); };
        return modal_.RunDialog(dialog);
    }

    TempFolder root_;
    HostHandheldFs files_{root_.Path().string()};
    std::unique_ptr<CRemoteModel> model_;
    CAnsweringModalRunner modal_;
    QString selectedOnOpening_;
    std::vector<std::string> lircEntries_ = {"lirc:/dev/lirc0 gpio_ir_tx: send",
                                             "lirc:/dev/lirc1 gpio_ir_recv: receive"};
    std::vector<std::string> saves_;
};

struct OpeningCase {
    const char* label;
    const char* selected;
    const char* entry;  // "" for none
};

class IrSetupOpening : public IrSetup, public testing::WithParamInterface<OpeningCase> {};

TEST_P(IrSetupOpening, SelectsTheEntryOfTheSelectedPort) {
    CMemoryRegistry registry = Ports({{"COM1:", "Serial"}, {"COM10:", "Infrared"}});
    model_->SetIrPort(GetParam().selected);
    RunAndPressOk(registry);
    EXPECT_EQ(selectedOnOpening_, GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, IrSetupOpening,
    testing::Values(OpeningCase{"Com1NotCom10", "COM1:", "COM1: Serial"},
                    OpeningCase{"Com10", "COM10:", "COM10: Infrared"},
                    OpeningCase{"NoSuchPort", "COM7:", ""}, OpeningCase{"Com0", "COM0", ""},
                    OpeningCase{"NoPortMatchesNoEntry", "", ""},
                    OpeningCase{"LircDevice", "lirc:/dev/lirc1",
                                "lirc:/dev/lirc1 gpio_ir_recv: receive"},
                    // A pair, or a device not found now, is still shown.
                    OpeningCase{"LircPair", "lirc:/dev/lirc0,/dev/lirc1",
                                "lirc:/dev/lirc0,/dev/lirc1 (in use)"},
                    OpeningCase{"LircNotFound", "lirc:/dev/lirc9", "lirc:/dev/lirc9 (in use)"}),
    [](const testing::TestParamInfo<OpeningCase>& info) { return std::string(info.param.label); });

struct ChoiceCase {
    const char* label;
    const char* entry;
    const char* port;
};

class IrSetupChoice : public IrSetup, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(IrSetupChoice, OkSelectsThePortOfTheEntryAndSavesIt) {
    CMemoryRegistry registry = Ports(
        {{"COM1:", "Serial"}, {"COM10:", "Infrared"}, {"COM123:", "X"}, {"COMX", "No colon"}});
    model_->SetIrPort("COM1:");
    const QString entry = GetParam().entry;
    const int result = RunAndPressOk(registry, [&entry](CIrSetupDlg& setup) {
        setup.List()->setCurrentItem(setup.List()->findItems(entry, Qt::MatchExactly).value(0));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(model_->IrPort(), GetParam().port);
    EXPECT_EQ(saves_, std::vector<std::string>{GetParam().port});
}

INSTANTIATE_TEST_SUITE_P(
    Entries, IrSetupChoice,
    testing::Values(ChoiceCase{"Com10", "COM10: Infrared", "COM10:"},
                    ChoiceCase{"Com123KeepsSixCharacters", "COM123: X", "COM123"},
                    ChoiceCase{"NoColonGivesNoPort", "COMX No colon", ""},
                    ChoiceCase{"LircDevice", "lirc:/dev/lirc0 gpio_ir_tx: send",
                               "lirc:/dev/lirc0"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.label); });

TEST_F(IrSetup, OkWithoutSelectionStaysOpenAndChangesNothing) {
    CMemoryRegistry registry = Ports({{"COM1:", "Serial"}, {"COM10:", "Infrared"}});
    model_->SetIrPort("COM5:");
    EXPECT_EQ(RunAndPressOk(registry), kIdCancel);
    EXPECT_EQ(model_->IrPort(), "COM5:");
    EXPECT_TRUE(saves_.empty());
}

TEST_F(IrSetup, AutodetectSelectsTheGuessButOnlyOkTakesIt) {
    CMemoryRegistry registry =
        Ports({{"COM1:", "Serial"}, {"COM3:", "Infrared"}, {"COM4:", "Modem"}}, "COM3:");
    model_->SetIrPort("COM1:");
    std::string duringDialog;
    QString entry;
    RunAndPressOk(registry, [&](CIrSetupDlg& setup) {
        QTest::mouseClick(setup.AutodetectButton(), Qt::LeftButton);
        entry = setup.List()->currentItem()->text();
        duringDialog = model_->IrPort();
    });
    EXPECT_EQ(entry, "COM3: Infrared");
    EXPECT_EQ(duringDialog, "COM1:");
    EXPECT_EQ(model_->IrPort(), "COM3:");
}

TEST_F(IrSetup, StartUpTakesTheGuessOfTheActiveDrivers) {
    CMemoryRegistry registry = Ports({{"COM1:", "Serial"}, {"COM3:", "Infrared"}}, "COM3:");
    InitSelectedIrPort(registry, *model_);
    EXPECT_EQ(model_->IrPort(), "COM3:");
}

}  // namespace
