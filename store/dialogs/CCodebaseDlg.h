// The codebase dialog: names a new codebase and chooses its category and learning mode
// before learning starts, confirms relearning an existing one, renames one, or moves one to
// another category under its name.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <vector>
#include "resources/dialogs/CFillOnShowDialog.h"

class ModalRunner;
class CHelpBar;
class HandheldFs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CCodebaseDlg : public CFillOnShowDialog {
    Q_OBJECT

  public:
    enum Mode : int { kCreate = 0, kRelearn = 1, kRename = 2, kCategory = 3 };

    static constexpr int kTitleId = 1028;
    static constexpr int kCategoryId = 1025;
    static constexpr int kNameId = 1011;
    static constexpr int kSingleModeId = 1026;
    static constexpr int kDoubleModeId = 1027;
    static constexpr int kPictureBitmap = 198;
    static constexpr int kCreateHelpTopic = 4;
    static constexpr int kRelearnHelpTopic = 5;
    // What the name field takes. The rules for a name are the catalogue's, checked after
    // every edit (CorrectTypedCodebaseName) and on OK (CodebaseNameProblems).
    static constexpr int kMaxTyped = 30;

    // `fs` holds the codebase folder, where names are checked for codebases that exist.
    CCodebaseDlg(HandheldFs& fs, ModalRunner& modal, QWidget* parent = nullptr);

    // In: set before running. Out: read after OK.
    int mode = kCreate;
    int category = -1;  // in: position 0..5 in the list, -1 for none; out: 1 TV .. 6 TiVo
    QString name;
    QString fileName;  // out: abbreviation, "_", name, ".PDB"
    QString folder = "\\";
    bool categorySelectable = true;
    bool nameEditable = true;
    int learnMode = 0;  // out: 0 single, 1 double

    QComboBox* CategoryList() const { return categories_; }
    QLineEdit* NameEdit() const { return nameEdit_; }
    QLabel* TitleText() const { return title_; }
    QPushButton* OkButton() const { return ok_; }
    QRadioButton* SingleMode() const { return single_; }
    QRadioButton* DoubleMode() const { return double_; }
    CHelpBar* HelpBar() const { return helpBar_; }
    // The labels painted above the list and beside the name field, by mode.
    QString CategoryLabel() const;
    // Where those two labels are painted and in what font: each left of its field, with
    // the font made smaller where the text would otherwise reach under the field.
    struct PaintedLabel {
        QString text;
        QRect rect;
        QFont font;
    };
    std::vector<PaintedLabel> PaintedLabels() const;

  protected:
    void FirstShown() override { Open(); }
    void paintEvent(QPaintEvent* event) override;

  private:
    void Open();
    void CheckName();
    void OnOk();
    // The selected category, 1 TV .. 6 TiVo, or 0 without one.
    int SelectedCategory() const;

    HandheldFs& fs_;
    ModalRunner& modal_;
    QLabel* title_;
    QComboBox* categories_;
    QLineEdit* nameEdit_;
    QRadioButton* single_;
    QRadioButton* double_;
    QPushButton* ok_;
    QPushButton* cancel_;
    CHelpBar* helpBar_ = nullptr;
    bool checking_ = false;
    int startCategory_ = 0;  // the category the dialog opened with, 0 for none
};
