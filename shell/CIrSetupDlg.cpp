#include "shell/CIrSetupDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "model/CRemoteModel.h"
#include "resources/dialogs/DialogUnits.h"
#include "ir/IrPortDiscovery.h"

CIrSetupDlg::CIrSetupDlg(Registry& registry, CRemoteModel& model, QWidget* parent)
    : CFillOnShowDialog(parent), registry_(registry), model_(model) {
    setWindowTitle("IR Setup");
    setFixedSize(DluX(165), DluY(169));

    auto* caption = new QLabel("Select COM port", this);
    caption->setGeometry(DluRect(7, 3, 151, 11));

    list_ = new QListWidget(this);
    list_->setObjectName(QString::number(kListId));
    list_->setGeometry(DluRect(7, 17, 151, 54));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    autodetect_ = new QPushButton("Autodetect...", this);
    autodetect_->setObjectName(QString::number(kAutodetectId));
    autodetect_->setGeometry(DluRect(23, 86, 117, 14));
    connect(autodetect_, &QPushButton::clicked, this,
            [this] { SelectEntryOf(DetectIrPort(registry_)); });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("1");
    ok->setGeometry(DluRect(69, 148, 41, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CIrSetupDlg::OnOk);

    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("2");
    cancel->setGeometry(DluRect(117, 148, 41, 14));
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
}

void CIrSetupDlg::Fill() {
    for (const std::string& entry : ListSerialPorts(registry_)) {
        list_->addItem(QString::fromStdString(entry));
    }
    for (const std::string& entry : lircEntries) {
        list_->addItem(QString::fromStdString(entry));
    }
    // LIRC devices chosen as a pair, or not found now, have no entry of their own; the
    // choice in use is still shown, and chosen again with OK.
    const std::string port = model_.IrPort();
    if (port.starts_with("lirc:") && EntryOf(port) < 0) {
        list_->addItem(QString::fromStdString(port) + " (in use)");
    }
    SelectEntryOf(port);
}

int CIrSetupDlg::EntryOf(const std::string& port) const {
    // No port matches no entry (an empty name would otherwise match the first one).
    if (port.empty()) {
        return -1;
    }
    const QString name = QString::fromStdString(port);
    for (int i = 0; i < list_->count(); ++i) {
        const QString text = list_->item(i)->text();
        // A LIRC entry's port is its whole first word; a serial port's name its beginning.
        if (port.starts_with("lirc:") ? text.section(' ', 0, 0) == name : text.startsWith(name)) {
            return i;
        }
    }
    return -1;
}

void CIrSetupDlg::SelectEntryOf(const std::string& port) {
    const int entry = EntryOf(port);
    if (entry >= 0) {
        list_->setCurrentRow(entry);
    }
}

void CIrSetupDlg::OnOk() {
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    if (chosen.isEmpty()) {
        return;
    }
    const std::string entry = chosen.front()->text().toStdString();
    // A LIRC entry's port is its first word; a serial port's ends at its colon.
    model_.SetIrPort(entry.starts_with("lirc:") ? entry.substr(0, entry.find(' '))
                                                : PortOfEntry(entry));
    if (saveState) {
        saveState();
    }
    done(1);
}

void InitSelectedIrPort(Registry& registry, CRemoteModel& model) {
    model.SetIrPort(DetectIrPort(registry));
}
