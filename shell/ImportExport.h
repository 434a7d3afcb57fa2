// Import and export in Home Devices: a file of IR codes chosen in a file dialog becomes
// codebases (in a category chosen in a small dialog, with a summary of what was imported and
// what was left out), and a codebase becomes a file of IR codes.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "store/Catalogue.h"

class CRemoteModel;
class ModalRunner;
class HandheldFs;
class QComboBox;
class QWidget;

// The category of the codebases an import makes: one of the six, or a guess for each remote
// of the file. The guess is shown chosen and can be changed.
class CImportCategoryDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CImportCategoryDlg(QWidget* parent = nullptr);

    QComboBox* CategoryList() const { return categories_; }
    // Unknown for "guess for each remote", else 1 TV .. 6 TiVo.
    int Category() const;
    // Shows the categories guessed for the file's remotes: one category for all is chosen,
    // different ones are listed beside the choice to guess for each.
    void ShowGuess(const std::vector<int>& guesses);

  private:
    QComboBox* categories_;
};

// Asks for a file and a category, imports, and shows what was imported and what was left out
// and why. An existing codebase of the same name is replaced only when the user says so.
// True when codebases were made.
bool RunImport(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
               const HandheldFolders& folders);

// Asks for a file name and format and writes the codebase there. True when it was written.
bool RunExport(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
               const CodebaseEntry& entry);
