#include "remote/CAddByCodeDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "platform/Modal.h"
#include "resources/StringText.h"
#include "resources/dialogs/DialogUnits.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& units) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(DluRect(units.x(), units.y(), units.width(), units.height()));
    label->setFont(Arial(13, true));
    return label;
}

// A problem as a message: a sentence with its first letter raised and a full stop.
QString Sentence(const std::string& problem) {
    QString text = QString::fromStdString(problem);
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
        text += '.';
    }
    return text;
}

}  // namespace

CAddByCodeDlg::CAddByCodeDlg(ModalRunner& modal, QWidget* parent) : QDialog(parent), modal_(modal) {
    setWindowTitle("Button by Code");
    setFixedSize(DluX(152), DluY(112));

    title_ = new QLabel("Button by Code", this);
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18, true));
    // As high as a line of its font, down to where the button's name starts.
    const QRect title = DluRect(4, 2, 144, 12);
    title_->setGeometry(title.adjusted(
        0, 0, 0,
        std::max(0, title_->fontMetrics().boundingRect(title, 0, title_->text()).height() -
                        title.height())));
    buttonText_ = new QLabel(this);
    buttonText_->setGeometry(DluRect(4, 15, 144, 9));
    buttonText_->setAlignment(Qt::AlignCenter);
    buttonText_->setFont(Arial(12, false));

    MakeLabel(this, "Protocol:", QRect(6, 29, 48, 12));
    protocols_ = new QComboBox(this);
    protocols_->setGeometry(DluRect(56, 28, 88, 13));
    for (const IrProtocol* known : IrProtocols()) {
        protocols_->addItem(QString::fromLatin1(known->name));
    }
    connect(protocols_, &QComboBox::currentIndexChanged, this, [this] { OnProtocol(); });

    MakeLabel(this, "Address:", QRect(6, 45, 48, 12));
    address_ = new QLineEdit(this);
    address_->setGeometry(DluRect(56, 44, 88, 12));
    MakeLabel(this, "Command:", QRect(6, 60, 48, 12));
    command_ = new QLineEdit(this);
    command_->setGeometry(DluRect(56, 59, 88, 12));
    for (QLineEdit* edit : {address_, command_}) {
        edit->setPlaceholderText("0x1F or 31");
        edit->setMaxLength(12);
    }

    toggle_ = new QCheckBox("Toggle bit set", this);
    toggle_->setGeometry(DluRect(56, 74, 88, 11));

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("1");
    ok_->setGeometry(DluRect(4, 93, 70, 14));
    ok_->setFont(Arial(13));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CAddByCodeDlg::OnOk);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("2");
    cancel_->setGeometry(DluRect(78, 93, 70, 14));
    cancel_->setFont(Arial(13));
    connect(cancel_, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    OnProtocol();
}

void CAddByCodeDlg::showEvent(QShowEvent* event) {
    buttonText_->setText("for the button " + name);
    address_->setFocus();
    QDialog::showEvent(event);
}

void CAddByCodeDlg::OnProtocol() {
    const IrProtocol* chosen = FindIrProtocol(protocols_->currentText().toStdString());
    const bool toggles = chosen && chosen->hasToggle;
    toggle_->setEnabled(toggles);
    if (!toggles) {
        toggle_->setChecked(false);
    }
}

void CAddByCodeDlg::OnOk() {
    const IrProtocol* chosen = FindIrProtocol(protocols_->currentText().toStdString());
    if (!chosen) {
        modal_.ShowMessage(this, StringText(kStrChooseProtocol));
        return;
    }
    IrCode typed;
    const std::string address = address_->text().trimmed().toStdString();
    const std::string command = command_->text().trimmed().toStdString();
    if (!ParseIrNumber(address, typed.address)) {
        modal_.ShowMessage(this, Sentence(IrNumberProblem("address", address)));
        address_->setFocus();
        return;
    }
    if (!ParseIrNumber(command, typed.command)) {
        modal_.ShowMessage(this, Sentence(IrNumberProblem("command", command)));
        command_->setFocus();
        return;
    }
    typed.toggle = chosen->hasToggle && toggle_->isChecked() ? 1 : 0;
    IrEncoded encoded;
    const int result = EncodeIrSignal(*chosen, typed, encoded);
    if (result != kIrCodeOk) {
        modal_.ShowMessage(this, Sentence(IrCodeProblem(*chosen, typed, result)));
        (result == kIrCodeCommandOutOfRange ? command_ : address_)->setFocus();
        return;
    }
    protocol = chosen;
    code = typed;
    signal = MakeIrSignal(encoded.durations, encoded.frameStart, encoded.carrierPeriodUs);
    done(kIdOk);
}

bool AskButtonCode(ModalRunner& modal, const QString& name, IrSignal& signal, QWidget* parent) {
    CAddByCodeDlg dialog(modal, parent);
    dialog.name = name;
    if (modal.RunDialog(dialog) != kIdOk || !dialog.protocol) {
        return false;
    }
    signal = dialog.signal;
    return true;
}
