// Giving a button its signal from a code instead of learning it: the protocol, the address
// and the command (and the toggle of RC5 and RC6), as code lists and other remotes name a
// button. OK encodes the held-button signal, which is then stored as a learnt one is.
#pragma once

#include <QDialog>
#include <QString>

#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"

class ModalRunner;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CAddByCodeDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAddByCodeDlg(ModalRunner& modal, QWidget* parent = nullptr);

    // In: the button being given a signal.
    QString name;
    // Out, after OK: the code and its held-button signal.
    const IrProtocol* protocol = nullptr;
    IrCode code;
    IrSignal signal;

    QComboBox* ProtocolList() const { return protocols_; }
    QLineEdit* AddressEdit() const { return address_; }
    QLineEdit* CommandEdit() const { return command_; }
    QCheckBox* ToggleBox() const { return toggle_; }
    QPushButton* OkButton() const { return ok_; }
    QLabel* TitleText() const { return title_; }

    // Checks the fields and encodes; shows what is wrong and stays open, or closes with OK.
    void OnOk();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void OnProtocol();

    ModalRunner& modal_;
    QLabel* title_;
    QLabel* buttonText_;
    QComboBox* protocols_;
    QLineEdit* address_;
    QLineEdit* command_;
    QCheckBox* toggle_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the dialog for button `name`; true with the encoded signal after OK.
bool AskButtonCode(ModalRunner& modal, const QString& name, IrSignal& signal, QWidget* parent);
