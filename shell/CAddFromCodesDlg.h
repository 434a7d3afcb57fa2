// Adding a codebase for a device whose own remote is lost: the remotes of the code
// collections on disk (LIRC's remote database, the folders the user added) are narrowed down
// by category and brand; "Try" sends the selected remote's Power (or the button chosen) through
// the remote's IR, "Next" goes on to the next candidate, and "Use this one" imports the remote
// that worked as a codebase of the category and makes it hot.
//
// The folders the user added are kept in the current preference file (a record of their
// own), one host path a line; Preferences/Code collections changes them.
#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "codes/CodeIndex.h"
#include "store/Catalogue.h"

class CRemoteModel;
class ModalRunner;
class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CAddFromCodesDlg : public QDialog {
    Q_OBJECT

  public:
    // `index` is up to date for `collections`; `category` is chosen first (TV for none).
    CAddFromCodesDlg(CRemoteModel& model, ModalRunner& modal, const HandheldFolders& folders,
                     const CCodeIndex& index, const QStringList& collections, int category,
                     QWidget* parent = nullptr);

    QComboBox* CategoryList() const { return category_; }
    QLineEdit* BrandEdit() const { return brand_; }
    QCompleter* BrandCompleter() const { return completer_; }
    QListWidget* Candidates() const { return list_; }
    QComboBox* ButtonList() const { return button_; }
    QLabel* Status() const { return status_; }
    QPushButton* TryButton() const { return try_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* UseButton() const { return use_; }
    QPushButton* DetailsButton() const { return details_; }

    int Category() const;
    // The remotes listed, in their order.
    const std::vector<CodeRemote>& Remotes() const { return remotes_; }
    // The codebase made by "Use this one"; empty before.
    const QString& Imported() const { return imported_; }

    void OnTry();
    void OnNext();
    void OnUse();
    void OnDetails();

  private:
    void Filter();
    void ShowButtons();
    // The remote of the selected row, read again from its file; false (and said) when it
    // cannot be read.
    bool SelectedRemote(const CodeRemote*& remote, ImportResult& read);

    CRemoteModel& model_;
    ModalRunner& modal_;
    HandheldFolders folders_;
    const CCodeIndex& index_;
    QStringList collections_;
    std::vector<CodeRemote> remotes_;
    QString imported_;

    QComboBox* category_;
    QLineEdit* brand_;
    QCompleter* completer_;
    QListWidget* list_;
    QLabel* count_;
    QComboBox* button_;
    QLabel* status_;
    QPushButton* try_;
    QPushButton* next_;
    QPushButton* use_;
    QPushButton* details_;
    QPushButton* close_;
};

// The folders the user added to the code collections, as the preference file keeps them.
QStringList UserCodeCollections(CRemoteModel& model);
// Keeps `folders` as the user's code collections; false when the preference file refused.
bool SetUserCodeCollections(CRemoteModel& model, const QStringList& folders);
// Every code collection: the system's and the user's.
QStringList CodeCollections(CRemoteModel& model);

// Preferences/Code collections: the folders the user added, with Add (a folder typed, with
// suggestions) and Remove; OK keeps them.
class CCodeCollectionsDlg : public QDialog {
    Q_OBJECT

  public:
    CCodeCollectionsDlg(ModalRunner& modal, const QStringList& folders, QWidget* parent = nullptr);

    QListWidget* Folders() const { return list_; }
    QLineEdit* FolderEdit() const { return edit_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }
    QPushButton* OkButton() const { return ok_; }
    QStringList Chosen() const;

    void OnAdd();
    void OnRemove();

  private:
    ModalRunner& modal_;
    QListWidget* list_;
    QLineEdit* edit_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* ok_;
};

// Runs "Add from codes…" over the code collections, indexed first (the index kept in
// `cacheFile`); true when a codebase was made.
bool RunAddFromCodes(QWidget* parent, ModalRunner& modal, CRemoteModel& model,
                     const HandheldFolders& folders, int category,
                     const QString& cacheFile = DefaultCodeIndexFile());
// Runs Preferences/Code collections and keeps what was chosen.
void RunCodeCollections(QWidget* parent, ModalRunner& modal, CRemoteModel& model);
