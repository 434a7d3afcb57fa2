// The Save Preference dialog: asks for the name under which the current preferences are
// kept as a preference set, and whether an existing set of that name may be overwritten.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class CHelpBar;
class HandheldFs;
class QLabel;
class QLineEdit;
class QPushButton;

// A set name after the character checks: cut before the first character that no file name
// may hold, then before the first one outside 0x20..0x7F; `refused` lists the characters
// that caused a cut, in that order (at most two).
struct SetNameCorrection {
    QString name;
    std::vector<QChar> refused;
};
SetNameCorrection CorrectSetName(const QString& typed);

class CSavePreferenceDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 117;
    static constexpr int kNameId = 1011;
    static constexpr int kTitleId = 1028;
    static constexpr int kPictureBitmap = 198;

    // `fs` is where the preferences folder is looked at; null for the current handheld's.
    explicit CSavePreferenceDlg(HandheldFs* fs = nullptr, QWidget* parent = nullptr);

    // In: the preferences folder, ending in a backslash.
    QString folder;
    // Out, once confirmed: the set name as typed and its file name (set name + ".PDB").
    QString setName;
    QString fileName;

    QLineEdit* NameEdit() const { return nameEdit_; }
    QLabel* TitleText() const { return title_; }
    QLabel* Prompt() const { return prompt_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }
    CHelpBar* HelpBar() const { return helpBar_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void CheckName();
    void OnSave();

    HandheldFs* fs_;
    QLabel* title_;
    QLabel* prompt_;
    QLineEdit* nameEdit_;
    QPushButton* save_;
    QPushButton* cancel_;
    CHelpBar* helpBar_;
    bool checking_ = false;
};
