#include "shell/PreferenceSets.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <map>

#include "store/PrefFile.h"
#include "store/dialogs/CLoadPreferenceDlg.h"
#include "store/dialogs/CSavePreferenceDlg.h"
#include "tests/remote/RemoteWindowFixture.h"

namespace {

using Records = std::map<uint16_t, std::vector<uint8_t>>;

// Every keyed record of a preference file, by key.
Records ReadRecords(HandheldFs& fs, const QString& path) {
    Records records;
    CPrefFile file(&fs);
    if (file.Open(path, CPdbFile::kModeRead) != kPdbOk) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return records;
    }
    for (int i = 0; i < file.GetRecordCount(); ++i) {
        const std::vector<uint8_t> record = file.ReadRecord(i);
        if (record.size() >= 2) {
            records[uint16_t(record[0] << 8 | record[1])] = {record.begin() + 2, record.end()};
        }
    }
    return records;
}

// The settings that a preference set carries, as the window holds them.
struct Settings {
    QString tvCodebase;
    int form = 0;
    bool sounds = true;
    bool capture = true;
    HardKeyAssignment key0;
    std::string port;

    bool operator==(const Settings& other) const {
        return tvCodebase == other.tvCodebase && form == other.form && sounds == other.sounds &&
               capture == other.capture && key0.used == other.key0.used &&
               key0.form == other.key0.form && key0.button == other.key0.button &&
               port == other.port;
    }
};

void PrintTo(const Settings& s, std::ostream* os) {
    *os << "{tv '" << s.tvCodebase.toStdString() << "', form " << s.form << ", sounds " << s.sounds
        << ", capture " << s.capture << ", key0 " << s.key0.used << "/" << s.key0.form << "/"
        << s.key0.button << ", port " << s.port << "}";
}

class PreferenceSetsTest : public RemoteWindowTest {
  protected:
    static constexpr const char* kDefaultFile = "ArdelRemoteDefPref.PDB";
    static constexpr const char* kSetFolder = "\\Program Files\\ArdelRemote\\Preferences\\";

    PreferenceSetsTest() {
        window->hooks.setPreferenceEntries = [this](const QStringList& texts,
                                                    const std::vector<int>& commands) {
            menuTexts = texts;
            menuCommands = commands;
        };
        EXPECT_TRUE(window->SaveState());
    }

    QString DefaultPath() const { return QString(kBase) + kDefaultFile; }

    // Runs the save command, typing `name` and pressing Save.
    void SaveSet(const QString& name) {
        modal.onDialog = [name](QDialog& dialog) {
            auto* save = qobject_cast<CSavePreferenceDlg*>(&dialog);
            EXPECT_NE(save, nullptr);
            if (!save) {
                return int(kIdCancel);
            }
            save->NameEdit()->setText(name);
            save->SaveButton()->click();
            return dialog.result();
        };
        SavePreferenceSet(*window, modal);
    }

    // Runs the load command and lets `act` work in the dialog; its answer closes it.
    void LoadWith(const std::function<int(CLoadPreferenceDlg&)>& act) {
        modal.onDialog = [act](QDialog& dialog) {
            auto* load = qobject_cast<CLoadPreferenceDlg*>(&dialog);
            EXPECT_NE(load, nullptr);
            return load ? act(*load) : int(kIdCancel);
        };
        LoadPreferenceSet(*window, modal);
    }
    // Chooses the set shown as `name` and presses Load.
    void LoadSet(const QString& name) {
        LoadWith([name](CLoadPreferenceDlg& dialog) {
            const auto found = dialog.List()->findItems(name, Qt::MatchExactly);
            EXPECT_EQ(found.size(), 1);
            if (found.isEmpty()) {
                return int(kIdCancel);
            }
            dialog.List()->setCurrentItem(found[0]);
            dialog.LoadButton()->click();
            return dialog.result();
        });
    }

    Settings Current() {
        Settings s;
        s.tvCodebase = window->GetForm(0)->Slot().Path();
        s.form = window->CurrentForm();
        s.sounds = model->SoundsOn();
        s.capture = model->KeyCapture();
        model->GetKeyAssignment(0, s.key0);
        s.port = model->IrPort();
        return s;
    }
    void Apply(const Settings& s) {
        model->MakeHot(kCategoryTv, s.tvCodebase, false);
        window->ShowModel();
        window->SelectForm(s.form);
        window->SetSounds(s.sounds);
        window->SetKeyCapture(s.capture);
        model->SetKeyAssignment(0, s.key0.used, s.key0.form, s.key0.button);
        model->SetIrPort(s.port);
    }
    // What the default preference file holds, read as a fresh start would.
    RemoteState DefaultFileState() {
        RemoteState saved;
        LoadState(*fs, DefaultPath(), saved);
        return saved;
    }

    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const auto& message : modal.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    QStringList menuTexts;
    std::vector<int> menuCommands;
};

TEST_F(PreferenceSetsTest, SavingWritesTheStateIntoANamedSetAndPutsItFirst) {
    const QString tv = MakeTvCodebase({});
    window->SelectForm(5);
    window->SetSounds(false);
    model->SetKeyAssignment(2, false, -1, -1);
    ASSERT_TRUE(window->SaveState());

    SaveSet("Evening");

    EXPECT_TRUE(modal.messages.empty());
    const QString setPath = QString(kSetFolder) + "Evening.PDB";
    CPrefFile set(fs.get());
    ASSERT_EQ(set.Open(setPath, CPdbFile::kModeRead), kPdbOk);
    EXPECT_EQ(set.GetType(), FourCharCode("ARpr"));
    EXPECT_EQ(set.GetCreator(), FourCharCode("ARem"));
    EXPECT_EQ(set.GetName(), "Evening");
    set.Close();
    const Records records = ReadRecords(*fs, setPath);
    EXPECT_EQ(records, ReadRecords(*fs, DefaultPath()));
    EXPECT_EQ(ReadPrefString(records.at(PrefKeyHotCodebase(0))), tv);
    EXPECT_EQ(records.at(kPrefKeyScreen).at(0), 5);

    EXPECT_EQ(model->UsedList(), std::vector<QString>{"Evening.PDB"});
    EXPECT_EQ(LoadUsedList(*fs, QString(kBase) + UsedListFileName()),
              std::vector<QString>{"Evening.PDB"});
    EXPECT_EQ(menuTexts, QStringList{"Evening"});
    EXPECT_EQ(menuCommands, std::vector<int>{20000});
    // The window is back on its own file: a later change goes there, not into the set.
    EXPECT_EQ(model->PreferenceFileName(), kDefaultFile);
    EXPECT_EQ(model->PrefFile(), DefaultPath());
    window->SetSounds(true);
    ASSERT_TRUE(window->SaveState());
    EXPECT_EQ(ReadRecords(*fs, setPath).at(kPrefKeyScreen).at(2), 0);
}

TEST_F(PreferenceSetsTest, UsedListKeepsTheFiveLatestAndNeverReorders) {
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        SaveSet(name);
    }
    const std::vector<QString> latest = {"F.PDB", "E.PDB", "D.PDB", "C.PDB", "B.PDB"};
    EXPECT_EQ(model->UsedList(), latest);
    EXPECT_EQ(menuTexts, (QStringList{"F", "E", "D", "C", "B"}));
    EXPECT_EQ(menuCommands, (std::vector<int>{20000, 20001, 20002, 20003, 20004}));

    // Saving a listed set again, even in other letters, leaves the order alone.
    modal.messageAnswer = kIdYes;
    SaveSet("c");
    EXPECT_EQ(Texts(), std::vector<QString>{
                           "A file with the name you specified already exists. Owerwrite it?"});
    EXPECT_EQ(model->UsedList(), latest);
    EXPECT_EQ(LoadUsedList(*fs, QString(kBase) + UsedListFileName()), latest);

    // A set that fell out of the list comes back first.
    SaveSet("A");
    EXPECT_EQ(model->UsedList(),
              (std::vector<QString>{"A.PDB", "F.PDB", "E.PDB", "D.PDB", "C.PDB"}));
}

TEST_F(PreferenceSetsTest, OverwritingReplacesTheSetsRecords) {
    window->SelectForm(2);
    SaveSet("Evening");
    window->SelectForm(9);
    modal.messageAnswer = kIdYes;
    SaveSet("Evening");
    EXPECT_EQ(ReadRecords(*fs, QString(kSetFolder) + "Evening.PDB").at(kPrefKeyScreen).at(0), 9);
    EXPECT_EQ(model->UsedList(), std::vector<QString>{"Evening.PDB"});
}

TEST_F(PreferenceSetsTest, CancellingTheSaveDialogWritesNothing) {
    modal.onDialog = [](QDialog& dialog) {
        static_cast<CSavePreferenceDlg&>(dialog).NameEdit()->setText("Evening");
        return int(kIdCancel);
    };
    SavePreferenceSet(*window, modal);
    EXPECT_FALSE(fs->FileExists(std::string(kSetFolder) + "Evening.PDB"));
    EXPECT_TRUE(model->UsedList().empty());
    EXPECT_TRUE(menuTexts.isEmpty());
}

TEST_F(PreferenceSetsTest, LoadingAppliesTheSetAndMakesItTheDefault) {
    const QString tv = MakeTvCodebase({});
    const Settings saved{tv, 7, false, false, {true, 4, 2}, "COM9:"};
    Apply(saved);
    SaveSet("Evening");
    const Settings other{"", 1, true, true, {false, -1, -1}, "COM1:"};
    Apply(other);
    ASSERT_TRUE(window->SaveState());
    ASSERT_EQ(Current(), other);

    LoadSet("Evening");

    EXPECT_TRUE(modal.messages.empty());
    EXPECT_EQ(Current(), saved);
    EXPECT_EQ(window->GetForm(1)->Slot().Path(), tv);
    const RemoteState written = DefaultFileState();
    EXPECT_EQ(written.hotCodebases[0], tv);
    EXPECT_EQ(written.currentForm, 7);
    EXPECT_FALSE(written.soundsOn);
    EXPECT_FALSE(written.keyCapture);
    EXPECT_EQ(written.hardKeys[0].form, 4);
    EXPECT_EQ(written.hardKeys[0].button, 2);
    EXPECT_EQ(written.irPort, "COM9:");
    EXPECT_EQ(model->PreferenceFileName(), kDefaultFile);
    EXPECT_EQ(model->UsedList(), std::vector<QString>{"Evening.PDB"});
}

TEST_F(PreferenceSetsTest, DoubleTapOnASetLoadsIt) {
    window->SelectForm(4);
    SaveSet("Evening");
    window->SelectForm(0);
    LoadWith([](CLoadPreferenceDlg& dialog) {
        QListWidget* list = dialog.List();
        const QRect row = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        return dialog.result();
    });
    EXPECT_EQ(window->CurrentForm(), 4);
}

TEST_F(PreferenceSetsTest, DeletingASetThenCancellingStillCleansTheUsedList) {
    window->SelectForm(4);
    SaveSet("Evening");
    SaveSet("Morning");
    window->SelectForm(0);

    LoadWith([](CLoadPreferenceDlg& dialog) {
        dialog.List()->setCurrentRow(0);  // "Evening"
        dialog.DeleteButton()->click();
        return int(kIdCancel);
    });

    EXPECT_EQ(Texts(),
              std::vector<QString>{"Are you sure you want to delete preferences 'Evening' ?"});
    EXPECT_EQ(modal.messages.at(0).buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_FALSE(fs->FileExists(std::string(kSetFolder) + "Evening.PDB"));
    EXPECT_EQ(model->UsedList(), std::vector<QString>{"Morning.PDB"});
    EXPECT_EQ(LoadUsedList(*fs, QString(kBase) + UsedListFileName()),
              std::vector<QString>{"Morning.PDB"});
    EXPECT_EQ(menuTexts, QStringList{"Morning"});
    EXPECT_EQ(window->CurrentForm(), 0);  // nothing was loaded
}

TEST_F(PreferenceSetsTest, UsedEntryAppliesItsSetAndIndexesOutsideDoNothing) {
    const Settings saved{MakeTvCodebase({}), 3, false, true, {true, 5, 1}, "COM4:"};
    Apply(saved);
    SaveSet("Evening");
    const Settings other{"", 10, true, true, {true, 0, 0}, "COM1:"};
    Apply(other);
    ASSERT_TRUE(window->SaveState());
    const Records before = ReadRecords(*fs, DefaultPath());
    modal.dialogs.clear();
    modal.messages.clear();

    for (int index : {1, 4, 5, -1}) {
        ApplyUsedEntry(*window, modal, index);
        EXPECT_EQ(Current(), other) << "index " << index;
    }
    EXPECT_EQ(ReadRecords(*fs, DefaultPath()), before);
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_TRUE(modal.dialogs.empty());

    ApplyUsedEntry(*window, modal, 0);
    EXPECT_EQ(Current(), saved);
    EXPECT_EQ(DefaultFileState().currentForm, 3);
    EXPECT_EQ(model->UsedList(), std::vector<QString>{"Evening.PDB"});
    EXPECT_EQ(model->PreferenceFileName(), kDefaultFile);
}

TEST_F(PreferenceSetsTest, UsedEntryWhoseSetIsGoneKeepsTheCurrentState) {
    SaveSet("Evening");
    const Settings current{MakeTvCodebase({}), 6, false, true, {true, 5, 1}, "COM4:"};
    Apply(current);
    ASSERT_TRUE(window->SaveState());
    ASSERT_EQ(fs->Remove(std::string(kSetFolder) + "Evening.PDB"), FsError::None);

    ApplyUsedEntry(*window, modal, 0);

    EXPECT_EQ(Texts(), std::vector<QString>{"Cannot load preferences from the file "
                                            "'\\Program Files\\ArdelRemote\\Preferences\\"
                                            "Evening.PDB'."});
    EXPECT_EQ(Current(), current);
    EXPECT_EQ(DefaultFileState().hotCodebases[0], current.tvCodebase);
}

TEST_F(PreferenceSetsTest, FailedSaveIsReportedAndTheDefaultFileIsCurrentAgain) {
    // 31 characters make a file name that cannot be created.
    const QString name(31, 'x');
    SaveSet(name);

    EXPECT_EQ(Texts(), std::vector<QString>{"Cannot save current preferences in the file "
                                            "'\\Program Files\\ArdelRemote\\Preferences\\" +
                                            name + ".PDB'."});
    EXPECT_EQ(model->PreferenceFileName(), kDefaultFile);
    EXPECT_EQ(model->PrefFile(), DefaultPath());
    window->SelectForm(6);
    ASSERT_TRUE(window->SaveState());
    EXPECT_EQ(DefaultFileState().currentForm, 6);
    // The name stays in the used list all the same.
    EXPECT_EQ(model->UsedList(), std::vector<QString>{name + ".PDB"});
}

TEST_F(PreferenceSetsTest, FailedSaveAfterLoadingNamesTheDefaultFile) {
    window->SelectForm(4);
    SaveSet("Evening");
    // The set is read; then the first write into the default file fails.
    modal.onDialog = [this](QDialog& dialog) {
        auto& load = static_cast<CLoadPreferenceDlg&>(dialog);
        load.List()->setCurrentRow(0);
        load.LoadButton()->click();
        fs->FailStep(1);
        return dialog.result();
    };
    LoadPreferenceSet(*window, modal);
    fs->FailStep(0);
    EXPECT_EQ(Texts(), std::vector<QString>{"Cannot save current preferences in the file "
                                            "'\\Program Files\\ArdelRemote\\"
                                            "ArdelRemoteDefPref.PDB'."});
    EXPECT_EQ(window->CurrentForm(), 4);
    EXPECT_EQ(model->PreferenceFileName(), kDefaultFile);
}

}  // namespace
