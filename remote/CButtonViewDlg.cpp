#include "remote/CButtonViewDlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "model/ButtonStore.h"
#include "platform/Modal.h"
#include "remote/CSignalView.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& text, const QRect& units) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(DluRect(units.x(), units.y(), units.width(), units.height()));
    button->setFont(Arial(12, true));
    button->setAutoDefault(false);
    return button;
}

// "TV_Sony" for "\My Documents\TV_Sony.PDB".
QString CodebaseTitle(const QString& path) {
    QString name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    if (name.endsWith(".PDB", Qt::CaseInsensitive)) {
        name.chop(4);
    }
    return name;
}

bool HasCode(const ButtonCode& code) {
    return code.protocol && !code.frame.bareRepeat;
}

}  // namespace

QString ProtocolText(const ButtonCode& code) {
    if (!code.protocol) {
        return "raw";
    }
    QString text = QString::fromLatin1(code.protocol->name);
    if (code.frame.bareRepeat) {
        text += " repeat";
    } else if (code.protocol->hasToggle) {
        text += " t" + QString::number(code.frame.code.toggle);
    }
    return text;
}

QString AddressText(const ButtonCode& code) {
    return HasCode(code) ? QString::fromStdString(IrHex(code.frame.code.address)) : QString();
}

QString CommandText(const ButtonCode& code) {
    return HasCode(code) ? QString::fromStdString(IrHex(code.frame.code.command)) : QString();
}

CButtonViewDlg::CButtonViewDlg(HandheldFs& fs, ModalRunner& modal, const QString& path,
                               QWidget* parent)
    : QDialog(parent), fs_(fs), modal_(modal), path_(path) {
    setWindowTitle("Buttons");

    title_ = new QLabel(CodebaseTitle(path), this);
    title_->setGeometry(DluRect(2, 2, 156, 12));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18, true));

    list_ = new QTreeWidget(this);
    list_->setGeometry(DluRect(2, 16, 156, 62));
    list_->setFont(Arial(11, false));
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({"Button", "#", "Protocol", "Address", "Command"});
    list_->header()->setFont(Arial(11, false));
    list_->header()->setStretchLastSection(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Widths in pixels; the command takes the rest of the list's width.
    const int widths[] = {40, 14, 64, 46};
    for (int c = 0; c < 4; ++c) {
        list_->setColumnWidth(c, widths[c]);
    }
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ShowButtonOf(item ? list_->indexOfTopLevelItem(item) : -1);
    });

    view_ = new CSignalView(this);
    view_->setGeometry(DluRect(2, 80, 156, 74));

    zoomOut_ = MakeButton(this, QStringLiteral("Zoom −"), QRect(2, 157, 36, 12));
    zoomIn_ = MakeButton(this, "Zoom +", QRect(40, 157, 36, 12));
    done_ = MakeButton(this, "Done", QRect(110, 157, 48, 12));
    done_->setDefault(true);
    connect(zoomOut_, &QPushButton::clicked, view_, &CSignalView::ZoomOut);
    connect(zoomIn_, &QPushButton::clicked, view_, &CSignalView::ZoomIn);
    connect(done_, &QPushButton::clicked, this, [this] { done(kIdOk); });

    helpBar_ = new CHelpBar(modal_, kHelpTopic, this);
    const int barHeight = helpBar_->sizeHint().height();
    setFixedSize(DluX(kDialogWidth), DluY(kDialogHeight) + barHeight);
    helpBar_->setGeometry(0, DluY(kDialogHeight), DluX(kDialogWidth), barHeight);
}

void CButtonViewDlg::showEvent(QShowEvent* event) {
    if (!opened_) {
        Open();
    }
    QDialog::showEvent(event);
}

bool CButtonViewDlg::Open() {
    opened_ = true;
    list_->clear();
    const StoreResult result = DecodeButtons(fs_, path_, rows_);
    for (const ButtonCode& code : rows_) {
        auto* item =
            new QTreeWidgetItem(list_, {code.button, QString::number(code.signal),
                                        ProtocolText(code), AddressText(code), CommandText(code)});
        item->setTextAlignment(kSignalColumn, Qt::AlignCenter);
    }
    if (!rows_.empty()) {
        SelectRow(0);
    }
    return result == kStoreOk;
}

bool CButtonViewDlg::SelectRow(int row) {
    if (row < 0 || row >= list_->topLevelItemCount()) {
        return false;
    }
    list_->setCurrentItem(list_->topLevelItem(row));
    ShowButtonOf(row);
    return true;
}

bool CButtonViewDlg::SelectButton(const QString& button) {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].button.compare(button, Qt::CaseInsensitive) == 0) {
            return SelectRow(int(i));
        }
    }
    return false;
}

void CButtonViewDlg::ShowButtonOf(int row) {
    if (row < 0 || row >= int(rows_.size())) {
        view_->SetSignals({});
        return;
    }
    // Every signal of the button, so that both of a double button are seen together.
    const QString& button = rows_[size_t(row)].button;
    std::vector<IrSignal> traces;
    for (const ButtonCode& code : rows_) {
        IrSignal signal;
        if (code.button == button &&
            ReadButtonSignal(fs_, path_, button, code.signal, signal) == kStoreOk) {
            traces.push_back(signal);
        }
    }
    if (view_->Signals().size() == traces.size() &&
        std::equal(traces.begin(), traces.end(), view_->Signals().begin(),
                   [](const IrSignal& a, const IrSignal& b) {
                       return a.count == b.count && a.frameStart == b.frameStart &&
                              std::equal(a.durations, a.durations + a.count, b.durations);
                   })) {
        return;  // the same button: keep its zoom
    }
    view_->SetSignals(std::move(traces));
}

void RunButtonView(HandheldFs& fs, ModalRunner& modal, const QString& path, QWidget* parent) {
    CButtonViewDlg dialog(fs, modal, path, parent);
    if (!dialog.Open()) {
        modal.ShowMessage(parent, StringText(kStrCannotReadCodebase, {path}));
        return;
    }
    modal.RunDialog(dialog);
}
