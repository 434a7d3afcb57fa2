#include "remote/CButtonViewDlg.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "model/ButtonStore.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "platform/Modal.h"
#include "remote/CSignalView.h"
#include "resources/StringText.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "store/CCodebaseFile.h"
#include "store/Catalogue.h"
#include "store/FormTables.h"

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& text, const QRect& units) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(DluRect(units));
    button->setFont(Arial(12, true));
    button->setAutoDefault(false);
    return button;
}

// The codebase as Home Devices lists it, its category and its device name ("TV: Sony"), from
// its header name; the file's name without ".PDB" when the header names no device.
QString CodebaseTitle(HandheldFs& fs, const QString& path) {
    CCodebaseFile file(&fs);
    int category = kCategoryUnknown;
    QString device;
    const bool named = file.Open(path, CPdbFile::kModeRead) == kPdbOk &&
                       ParseHeaderName(file.GetName(), category, device);
    file.Close();
    if (named) {
        return QString::fromLatin1(CategoryName(category)) + QStringLiteral(": ") + device;
    }
    QString name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    if (name.endsWith(".PDB", Qt::CaseInsensitive)) {
        name.chop(4);
    }
    return name;
}

// Room a list cell gives its text beside it, on each side.
constexpr int kCellPadding = 4;

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

CButtonViewDlg::CButtonViewDlg(CRemoteModel& model, ModalRunner& modal, const QString& path,
                               QWidget* parent)
    : QDialog(parent), model_(model), fs_(model.Fs()), modal_(modal), path_(path) {
    setWindowTitle("Buttons");

    title_ = new QLabel(this);
    title_->setGeometry(DluRect(2, 2, kDialogWidth - 4, 12));
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(Arial(18, true));

    list_ = new QTreeWidget(this);
    list_->setGeometry(DluRect(2, 16, kDialogWidth - 4, 70));
    list_->setFont(Arial(11, false));
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({"Button", "#", "Protocol", "Address", "Command"});
    list_->header()->setFont(Arial(11, false));
    list_->header()->setStretchLastSection(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The scroll bar's room is kept, so that the last column never runs under it.
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ShowButtonOf(item ? list_->indexOfTopLevelItem(item) : -1);
    });

    view_ = new CSignalView(this);
    view_->setGeometry(DluRect(2, 88, kDialogWidth - 4, 66));

    zoomOut_ = MakeButton(this, QStringLiteral("Zoom −"), QRect(2, 157, 36, 12));
    zoomIn_ = MakeButton(this, "Zoom +", QRect(40, 157, 36, 12));
    send_ = MakeButton(this, "Send", QRect(80, 157, 34, 12));
    delete_ = MakeButton(this, "Delete", QRect(116, 157, 34, 12));
    done_ = MakeButton(this, "Done", QRect(kDialogWidth - 48, 157, 46, 12));
    done_->setDefault(true);
    connect(zoomOut_, &QPushButton::clicked, view_, &CSignalView::ZoomOut);
    connect(zoomIn_, &QPushButton::clicked, view_, &CSignalView::ZoomIn);
    connect(send_, &QPushButton::clicked, this, &CButtonViewDlg::OnSend);
    connect(delete_, &QPushButton::clicked, this, &CButtonViewDlg::OnDelete);
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
    title_->setText(CodebaseTitle(fs_, path_));
    list_->clear();
    const StoreResult result = DecodeButtons(fs_, path_, rows_);
    for (const ButtonCode& code : rows_) {
        auto* item =
            new QTreeWidgetItem(list_, {code.button, QString::number(code.signal),
                                        ProtocolText(code), AddressText(code), CommandText(code)});
        item->setTextAlignment(kSignalColumn, Qt::AlignCenter);
        // A name too long for its column still reads in full.
        item->setToolTip(kButtonColumn, code.button);
    }
    FitColumns();
    if (!rows_.empty()) {
        SelectRow(0);
    }
    send_->setEnabled(!rows_.empty());
    delete_->setEnabled(!rows_.empty());
    return result == kStoreOk;
}

int CButtonViewDlg::CurrentRow() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row >= 0 && row < int(rows_.size()) ? row : -1;
}

void CButtonViewDlg::OnSend() {
    const int row = CurrentRow();
    if (row < 0) {
        return;
    }
    const ButtonCode& code = rows_[size_t(row)];
    IrSignal signal;
    const StoreResult read = model_.ReadButton(path_, code.button, code.signal, signal);
    if (read != kStoreOk) {
        modal_.ShowMessage(this, StoreFailureText(read, path_, code.button));
        return;
    }
    const PressOutcome sent = model_.SendSignal(signal, 1);
    if (sent.code == kOpNoDriver) {
        modal_.ShowMessage(this, StringText(kStrNoDriver));
    } else if (sent.code != kOpOk) {
        modal_.ShowMessage(this, IrFailureText(sent.ir, IrAction::Send));
    }
}

void CButtonViewDlg::OnDelete() {
    const int row = CurrentRow();
    if (row < 0) {
        return;
    }
    const QString button = rows_[size_t(row)].button;
    const QString question = StringText(kStrDeleteButtonQuestion, {button, title_->text()});
    if (modal_.ShowMessage(this, question, MessageButtons::YesNoDefaultNo) != kIdYes) {
        return;
    }
    const StoreResult result = model_.DeleteButton(path_, button);
    if (result != kStoreOk) {
        modal_.ShowMessage(this, StoreFailureText(result, path_, button));
        return;
    }
    deleted_ = true;
    Open();
    SelectRow(std::min(row, int(rows_.size()) - 1));
}

void CButtonViewDlg::FitColumns() {
    // Each column as wide as its widest cell or header; when they do not all fit, the room
    // that is missing is taken from the widest column, whose text loses the least by it.
    const QFontMetrics cells(list_->font());
    const QFontMetrics heads(list_->header()->font());
    const int columns = list_->columnCount();
    std::vector<int> widths(size_t(columns), 0);
    for (int c = 0; c < columns; ++c) {
        int widest = heads.horizontalAdvance(list_->headerItem()->text(c));
        for (int row = 0; row < list_->topLevelItemCount(); ++row) {
            widest = std::max(widest, cells.horizontalAdvance(list_->topLevelItem(row)->text(c)));
        }
        widths[size_t(c)] = widest + 2 * kCellPadding;
    }
    // The viewport's width beside the scroll bar, whether or not the list is laid out yet.
    const int room = list_->maximumViewportSize().width() -
                     list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                 list_->verticalScrollBar());
    int total = 0;
    for (const int width : widths) {
        total += width;
    }
    while (total > room) {
        auto widest = std::max_element(widths.begin(), widths.end());
        --*widest;
        --total;
    }
    // The last column takes what the others leave.
    widths.back() += room - total;
    for (int c = 0; c < columns; ++c) {
        list_->setColumnWidth(c, widths[size_t(c)]);
    }
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

bool RunButtonView(CRemoteModel& model, ModalRunner& modal, const QString& path, QWidget* parent) {
    CButtonViewDlg dialog(model, modal, path, parent);
    if (!dialog.Open()) {
        modal.ShowMessage(parent, StringText(kStrCannotReadCodebase, {path}));
        return false;
    }
    modal.RunDialog(dialog);
    return dialog.Deleted();
}
