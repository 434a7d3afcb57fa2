// The buttons of one codebase as the user sees what was learnt: every stored signal with its
// protocol, address and command (or "raw" when no protocol fits), and the selected button's
// signals drawn as waveforms below the list. The codebase is named as Home Devices lists it.
// Send sends the selected signal once; Delete removes the selected button, after asking.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "model/ButtonCodes.h"

class ModalRunner;
class CHelpBar;
class CRemoteModel;
class CSignalView;
class HandheldFs;
class QLabel;
class QPushButton;
class QTreeWidget;

class CButtonViewDlg : public QDialog {
    Q_OBJECT

  public:
    // Dialog units: wider than the remote, so that the longest button names of the forms
    // ("Instant Replay") and every code show whole beside each other.
    static constexpr int kDialogWidth = 200;
    static constexpr int kDialogHeight = 172;
    static constexpr int kHelpTopic = 3;  // Home Devices' topic, which it belongs to

    enum Column { kButtonColumn, kSignalColumn, kProtocolColumn, kAddressColumn, kCommandColumn };

    // The codebase at handheld path `path` of `model`, read when the dialog opens.
    CButtonViewDlg(CRemoteModel& model, ModalRunner& modal, const QString& path,
                   QWidget* parent = nullptr);

    // Reads the codebase and fills the list; false (and an empty list) when it cannot be read.
    bool Open();
    const std::vector<ButtonCode>& Rows() const { return rows_; }
    // Selects the list row and draws the signals of its button; false outside the rows.
    bool SelectRow(int row);
    // Selects the first row of `button` (ignoring letter case); false when there is none.
    bool SelectButton(const QString& button);

    QTreeWidget* List() const { return list_; }
    CSignalView* SignalView() const { return view_; }
    QLabel* TitleText() const { return title_; }
    QPushButton* DoneButton() const { return done_; }
    QPushButton* SendButton() const { return send_; }
    QPushButton* DeleteButton() const { return delete_; }
    CHelpBar* HelpBar() const { return helpBar_; }

    // Sends the selected row's signal once, one pass; a failure is shown.
    void OnSend();
    // Asks, then deletes the selected row's button (both its signals) from the codebase; the
    // row that takes its place is selected.
    void OnDelete();
    // Whether a button was deleted while the dialog was open.
    bool Deleted() const { return deleted_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowButtonOf(int row);
    void FitColumns();
    // The list's current row, or -1.
    int CurrentRow() const;

    CRemoteModel& model_;
    HandheldFs& fs_;
    ModalRunner& modal_;
    QString path_;
    std::vector<ButtonCode> rows_;
    bool opened_ = false;
    bool deleted_ = false;

    QLabel* title_;
    QTreeWidget* list_;
    CSignalView* view_;
    QPushButton* zoomOut_;
    QPushButton* zoomIn_;
    QPushButton* send_;
    QPushButton* delete_;
    QPushButton* done_;
    CHelpBar* helpBar_;
};

// The texts of a decoded signal in the list: protocol ("raw" when none fits; the toggle of a
// toggle protocol after its name), address and command as 0x hexadecimal (empty for raw
// signals and bare repeat codes).
QString ProtocolText(const ButtonCode& code);
QString AddressText(const ButtonCode& code);
QString CommandText(const ButtonCode& code);

// Runs the view of the codebase at `path` modally; a codebase that cannot be read says so.
// True when a button was deleted in it.
bool RunButtonView(CRemoteModel& model, ModalRunner& modal, const QString& path, QWidget* parent);
