// The Load Preference dialog: lists the preference sets saved in the preferences folder by
// their names, lets the user choose one to load, and deletes sets no longer needed.
#pragma once

#include <QString>
#include <vector>
#include "resources/dialogs/CFillOnShowDialog.h"

class ModalRunner;
class CHelpBar;
class CRemoteModel;
class HandheldFs;
class QLabel;
class QListWidget;
class QPushButton;

struct PreferenceSetEntry {
    QString name;  // the header name, which the set was saved under
    QString path;  // full path of its file
};

// The preference sets in `folder` (ending in a backslash): files "*.PDB" that are preference
// files with a header name, at most `kMaxListedSets`, sorted by header name (ordinal).
std::vector<PreferenceSetEntry> ListPreferenceSets(HandheldFs& fs, const QString& folder);

class CLoadPreferenceDlg : public CFillOnShowDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 116;
    static constexpr int kListId = 1017;
    static constexpr int kDeleteId = 1026;
    static constexpr int kTitleId = 1028;
    static constexpr int kMaxListedSets = 100;

    // The preferences folder is read from the model's files; sets are deleted through it.
    CLoadPreferenceDlg(CRemoteModel& model, ModalRunner& modal, QWidget* parent = nullptr);

    // In: the preferences folder, ending in a backslash.
    QString folder;
    // Out: the chosen set's file name (without folder), once confirmed.
    QString fileName;
    // Out: set when the user deleted at least one set, whether or not a set was loaded.
    bool deleted = false;

    // The sets listed, in the order shown.
    const std::vector<PreferenceSetEntry>& Sets() const { return sets_; }

    QListWidget* List() const { return list_; }
    QLabel* TitleText() const { return title_; }
    QPushButton* LoadButton() const { return load_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* DeleteButton() const { return delete_; }
    CHelpBar* HelpBar() const { return helpBar_; }

  protected:
    void FirstShown() override { Open(); }

  private:
    void Open();
    void Fill();
    void OnLoad();
    void OnDelete();

    CRemoteModel& model_;
    ModalRunner& modal_;
    std::vector<PreferenceSetEntry> sets_;
    QLabel* title_;
    QListWidget* list_;
    QPushButton* load_;
    QPushButton* cancel_;
    QPushButton* delete_;
    CHelpBar* helpBar_;
};
