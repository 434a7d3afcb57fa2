// The "IR Setup" dialog: the serial ports of the handheld, one of which the user picks as
// the port that switches the IR transceiver on.
#pragma once

#include <functional>
#include <string>
#include <vector>
#include "resources/dialogs/CFillOnShowDialog.h"

class CRemoteModel;
class QListWidget;
class QPushButton;
class Registry;

class CIrSetupDlg : public CFillOnShowDialog {
    Q_OBJECT

  public:
    static constexpr int kListId = 1038;
    static constexpr int kAutodetectId = 1039;

    // `registry` lists the ports and gives the guess of "Autodetect..."; the choice goes
    // into `model`.
    CIrSetupDlg(Registry& registry, CRemoteModel& model, QWidget* parent = nullptr);

    // Asked to keep the new port once OK has chosen it: the remote window's SaveState,
    // when the remote window exists.
    std::function<void()> saveState;
    // Entries of the kernel's LIRC devices, listed after the serial ports; each begins with
    // the port it selects ("lirc:/dev/lirc0 gpio_ir_tx: send").
    std::vector<std::string> lircEntries;

    QListWidget* List() const { return list_; }
    QPushButton* AutodetectButton() const { return autodetect_; }

  protected:
    void FirstShown() override { Fill(); }

  private:
    void Fill();
    void SelectEntryOf(const std::string& port);
    // The row whose entry selects `port`, -1 for none.
    int EntryOf(const std::string& port) const;
    void OnOk();

    Registry& registry_;
    CRemoteModel& model_;
    QListWidget* list_;
    QPushButton* autodetect_;
};

// Sets the model's port to the guess from the active drivers; done once at start-up,
// before the preference file may replace it.
void InitSelectedIrPort(Registry& registry, CRemoteModel& model);
