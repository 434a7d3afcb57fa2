// The Save Preference dialog: asks for the name under which the current preferences are
// kept as a preference set, and whether an existing set of that name may be overwritten.
#pragma once

#include <QDialog>
#include <QString>

class ModalRunner;
class CHelpBar;
class HandheldFs;
class QLabel;
class QLineEdit;
class QPushButton;

class CSavePreferenceDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 117;
    static constexpr int kNameId = 1011;
    static constexpr int kTitleId = 1028;
    static constexpr int kPictureBitmap = 198;

    // `fs` is where the preferences folder is looked at; null for the current handheld's.
    explicit CSavePreferenceDlg(ModalRunner& modal, HandheldFs* fs = nullptr,
                                QWidget* parent = nullptr);

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

    ModalRunner& modal_;
    HandheldFs* fs_;
    QLabel* title_;
    QLabel* prompt_;
    QLineEdit* nameEdit_;
    QPushButton* save_;
    QPushButton* cancel_;
    CHelpBar* helpBar_;
    bool checking_ = false;
};
