#include "model/Importer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "ir/protocols/IrProtocol.h"
#include "model/ButtonStore.h"
#include "store/CCodebaseFile.h"
#include "tests/store/DeviceRoot.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

// A signal that tells the buttons apart by its first mark.
ImportedButton Button(const char* name, int32_t firstMark, int line = 0) {
    ImportedButton button;
    button.name = name;
    button.line = line;
    button.irSignals.push_back(SignalFrom({firstMark, -500, 600, -40000}));
    return button;
}

ImportedButton Skipped(const char* name, const char* reason, int line) {
    ImportedButton button;
    button.name = name;
    button.line = line;
    button.skipped = reason;
    return button;
}

ImportResult OneRemote(const QString& name, std::vector<ImportedButton> buttons) {
    ImportResult result;
    result.remotes.push_back(ImportedRemote{name, 1, std::move(buttons)});
    return result;
}

struct KeyCase {
    const char* key;
    int category;
    const char* button;  // empty: none
};

class OnScreenButton : public ::testing::TestWithParam<KeyCase> {};

TEST_P(OnScreenButton, ForAKeyName) {
    EXPECT_EQ(OnScreenButtonFor(GetParam().key, GetParam().category).toStdString(),
              GetParam().button);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OnScreenButton,
    ::testing::Values(
        KeyCase{"KEY_POWER", kCategoryTv, "Power"}, KeyCase{"POWER", kCategoryVcr, "Power"},
        KeyCase{"KEY_VOLUMEUP", kCategoryTv, "Vol+"}, KeyCase{"Vol_up", kCategoryTv, "Vol+"},
        KeyCase{"VOL+", kCategoryAudio, "Vol+"}, KeyCase{"Vol_dn", kCategoryTv, "Vol-"},
        KeyCase{"vol-", kCategoryTv, "Vol-"}, KeyCase{"Ch_next", kCategoryTv, "Ch+"},
        KeyCase{"Ch_prev", kCategoryCabSat, "Ch-"},
        // The same key is another button where the forms name it so.
        KeyCase{"KEY_CHANNELUP", kCategoryTiVo, "Ch/P+"},
        KeyCase{"KEY_CHANNELUP", kCategoryAudio, "Preset+"}, KeyCase{"KEY_OK", kCategoryTv, "OK"},
        KeyCase{"KEY_OK", kCategoryTiVo, "Select"}, KeyCase{"KEY_1", kCategoryTv, "1"},
        KeyCase{"KEY_NUMERIC_5", kCategoryDvdCd, "5"}, KeyCase{"0", kCategoryVcr, "0"},
        KeyCase{"Mute", kCategoryTv, "Mute"}, KeyCase{"KEY_EJECTCD", kCategoryVcr, "Eject"},
        KeyCase{"KEY_FASTFORWARD", kCategoryVcr, "Fast Forward"},
        // No such button on the category's forms, or no such key.
        KeyCase{"KEY_EJECTCD", kCategoryTv, ""}, KeyCase{"KEY_1", kCategoryUnknown, ""},
        KeyCase{"Fancy", kCategoryTv, ""}, KeyCase{"KEY_POWERFUL", kCategoryTv, ""}));

struct GuessCase {
    const char* remote;
    std::vector<QString> buttons;
    int category;
};

class CategoryGuess : public ::testing::TestWithParam<GuessCase> {};

TEST_P(CategoryGuess, FromNames) {
    EXPECT_EQ(GuessCategory(GetParam().remote, GetParam().buttons), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryGuess,
    ::testing::Values(
        GuessCase{"Sony_DVD-player", {}, kCategoryDvdCd},
        GuessCase{"Living room amp", {"KEY_1"}, kCategoryAudio},
        GuessCase{"TiVo Series2", {}, kCategoryTiVo},
        GuessCase{"Samsung TV", {"KEY_PLAY", "KEY_EJECTCD"}, kCategoryTv},
        // No word in the name: the category whose forms have the most of the buttons.
        GuessCase{"RM-ED022",
                  {"KEY_POWER", "KEY_PLAY", "KEY_EJECTCD", "KEY_TITLE", "KEY_SUBTITLE"},
                  kCategoryDvdCd},
        GuessCase{"RM-ED022", {"KEY_POWER", "KEY_RECORD", "KEY_EJECTCD", "VCR+"}, kCategoryVcr},
        GuessCase{"atv", {}, kCategoryTv}));

TEST(DeviceName, KeepsToTheNamingRules) {
    EXPECT_EQ(DeviceNameFor("Sony RM/ED022:v2*", kCategoryTv), "Sony RM-ED022-v2-");
    EXPECT_EQ(DeviceNameFor(QString(40, 'x'), kCategoryTv).size(), 27);      // "TV_" + 27
    EXPECT_EQ(DeviceNameFor(QString(40, 'x'), kCategoryCabSat).size(), 26);  // "CAB_" + 26
    EXPECT_EQ(DeviceNameFor(QString::fromUtf8("T\xC3\xA9l\xC3\xA9"), kCategoryTv), "T-l-");
    EXPECT_EQ(DeviceNameFor("  ", kCategoryTv), "Imported");
}

class Importer : public ::testing::Test {
  protected:
    ImportReport Import(const ImportResult& read, ImportOptions options = {}) {
        return ImportRemotes(root.fs, folders, read, "/tmp/remotes.txt", options);
    }
    // Every file below the device root, with its size.
    std::map<std::string, uintmax_t> Files() {
        std::map<std::string, uintmax_t> files;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(root.fs.RootFolder())) {
            if (entry.is_regular_file()) {
                files[entry.path().string()] = entry.file_size();
            }
        }
        return files;
    }
    std::vector<QString> RecordNames(const QString& path) {
        CCodebaseFile file(&root.fs);
        std::vector<QString> names;
        if (file.Open(path, CPdbFile::kModeRead) != kPdbOk) {
            return names;
        }
        for (int i = 1; i < file.GetRecordCount(); ++i) {
            ButtonRecord record;
            if (file.ParseButtonRecord(i, record)) {
                names.push_back(FromFileBytes(record.name.constData(), record.name.size()));
            }
        }
        return names;
    }
    int32_t FirstMark(const QString& path, const QString& button) {
        IrSignal signal;
        return ReadButtonSignal(root.fs, path, button, 1, signal) == kStoreOk ? signal.durations[0]
                                                                              : 0;
    }

    DeviceRoot root;
    HandheldFolders folders = FoldersFor(HandheldFs::kDefaultProgramPath);
    const QString kSonyPath = "\\Program Files\\ArdelRemote\\CodeBases\\TV_Sony.PDB";
};

TEST_F(Importer, StoresEveryButtonUnderItsNameAndKeysUnderTheirButtons) {
    const ImportReport report =
        Import(OneRemote("Sony", {Button("KEY_POWER", 1001, 3), Button("KEY_VOLUMEUP", 1002, 4),
                                  Button("A very long button name", 1003, 5),
                                  // Its own name beats KEY_VOLUMEUP's button.
                                  Button("Vol+", 1004, 6), Skipped("Long one", "too long", 7),
                                  Button("KEY_POWER", 1005, 8)}),
               ImportOptions{kCategoryTv, {}, {}});
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    ASSERT_EQ(report.codebases.size(), 1u);
    EXPECT_EQ(report.codebases[0].path, kSonyPath);
    EXPECT_EQ(report.codebases[0].displayName, "TV_Sony");
    EXPECT_EQ(report.codebases[0].buttons, 4);
    EXPECT_EQ(report.codebases[0].aliases, 1);
    EXPECT_EQ(RecordNames(kSonyPath), (std::vector<QString>{"KEY_POWER", "Power", "KEY_VOLUMEUP",
                                                            "A very long but", "Vol+"}));
    EXPECT_EQ(FirstMark(kSonyPath, "Power"), 1001);
    EXPECT_EQ(FirstMark(kSonyPath, "Vol+"), 1004);

    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_EQ(report.skipped[0].button, "Long one");
    EXPECT_EQ(report.skipped[0].line, 7);
    EXPECT_EQ(report.skipped[0].reason, "too long");
    EXPECT_EQ(report.skipped[1].button, "KEY_POWER");
    EXPECT_EQ(report.skipped[1].line, 8);

    // The catalogue finds the codebase as the program would.
    std::vector<CodebaseEntry> entries;
    ScanCodebases(root.fs, folders, entries);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].category, kCategoryTv);
    EXPECT_EQ(entries[0].deviceName, "Sony");
}

TEST_F(Importer, OneCodebasePerRemoteNamedApart) {
    ImportResult read = OneRemote("Sony", {Button("KEY_POWER", 1001)});
    read.remotes.push_back(ImportedRemote{"Sony", 9, {Button("KEY_POWER", 1002)}});
    // Exports name the remote after the codebase: category and device name come back.
    read.remotes.push_back(ImportedRemote{"VCR_Old one", 20, {Button("KEY_PLAY", 1003)}});
    const ImportReport report = Import(read);
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    ASSERT_EQ(report.codebases.size(), 3u);
    EXPECT_EQ(report.codebases[0].displayName, "TV_Sony");
    EXPECT_EQ(report.codebases[1].displayName, "TV_Sony 2");
    EXPECT_EQ(report.codebases[2].displayName, "VCR_Old one");
    EXPECT_EQ(FirstMark(report.codebases[1].path, "Power"), 1002);
}

TEST_F(Importer, ToggleButtonsGetTheOtherToggleAsSignal2) {
    IrEncoded rc5;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("RC5"), IrCode{5, 0x10, 0}, rc5), kIrCodeOk);
    ImportedButton button;
    button.name = "KEY_POWER";
    button.irSignals.push_back(SignalFrom(rc5.durations, rc5.frameStart, rc5.carrierPeriodUs));
    const ImportReport report = Import(OneRemote("Philips", {button}));
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    IrSignal second;
    ASSERT_EQ(ReadButtonSignal(root.fs, report.codebases[0].path, "Power", 2, second), kStoreOk);
    const IrDecoded decoded = DecodeIrSignal(Durations(second), second.carrierPeriod);
    ASSERT_TRUE(decoded.protocol);
    EXPECT_EQ(decoded.frame.code.toggle, 1);
}

TEST_F(Importer, NameAndCategoryFromTheOptions) {
    const ImportReport report = Import(OneRemote("Sony", {Button("KEY_POWER", 1001)}),
                                       ImportOptions{kCategoryAudio, "Den", {}});
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    EXPECT_EQ(report.codebases[0].path, "\\Program Files\\ArdelRemote\\CodeBases\\AUD_Den.PDB");

    const ImportReport bad = Import(OneRemote("Sony", {Button("KEY_POWER", 1001)}),
                                    ImportOptions{kCategoryTv, "a/b", {}});
    EXPECT_EQ(bad.result, kImportBadName);
    EXPECT_NE(bad.error.indexOf("'/'"), -1) << bad.error.toStdString();
    // Without a category a name must leave room for any abbreviation the guess may give.
    EXPECT_EQ(Import(OneRemote("Sony", {Button("KEY_POWER", 1001)}),
                     ImportOptions{0, QString(27, 'n'), {}})
                  .result,
              kImportBadName);
    EXPECT_EQ(Import(OneRemote("Sony", {Button("KEY_POWER", 1001)}),
                     ImportOptions{kCategoryTv, QString(27, 'n'), {}})
                  .result,
              kImportOk);
}

TEST_F(Importer, NothingStorableMakesNoCodebase) {
    const auto before = Files();
    const ImportReport report = Import(OneRemote("Sony", {Skipped("A", "no timing", 4)}));
    EXPECT_EQ(report.result, kImportNothing);
    EXPECT_NE(report.error.indexOf("remotes.txt"), -1);
    EXPECT_EQ(Files(), before);

    ImportResult unreadable;
    unreadable.error = "remotes.txt: line 3: not a code";
    EXPECT_EQ(Import(unreadable).result, kImportUnreadable);
    EXPECT_EQ(Files(), before);
}

TEST_F(Importer, ReplacesAnExistingCodebaseOnlyWhenAllowed) {
    ASSERT_EQ(Import(OneRemote("Sony", {Button("KEY_POWER", 1001)})).result, kImportOk);
    const Bytes before = root.Read(kSonyPath);
    const auto files = Files();

    // Letter case does not make another codebase.
    int asked = 0;
    ImportOptions refuse;
    refuse.replace = [&asked](const QString& name, const QString&) {
        ++asked;
        EXPECT_EQ(name, "TV_SONY");
        return false;
    };
    ImportReport report = Import(OneRemote("SONY", {Button("KEY_POWER", 2002)}), refuse);
    EXPECT_EQ(report.result, kImportNameTaken);
    EXPECT_EQ(asked, 1);
    EXPECT_NE(report.error.indexOf("TV_SONY"), -1);
    EXPECT_EQ(Import(OneRemote("Sony", {Button("KEY_POWER", 2002)})).result, kImportNameTaken);
    EXPECT_EQ(root.Read(kSonyPath), before);
    EXPECT_EQ(Files(), files);

    ImportOptions allow;
    allow.replace = [](const QString&, const QString&) { return true; };
    report = Import(OneRemote("Sony", {Button("KEY_POWER", 2002)}), allow);
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    EXPECT_EQ(FirstMark(kSonyPath, "Power"), 2002);
    EXPECT_EQ(Files().size(), files.size());
}

// Every step that changes the device root fails once in turn: the root is then as it was
// before, with no half-made codebase and no temporary file, and an existing codebase that
// was to be replaced keeps its content.
TEST_F(Importer, AFailingStepLeavesTheRootAsItWas) {
    ASSERT_EQ(Import(OneRemote("Sony", {Button("KEY_POWER", 1001)})).result, kImportOk);
    const Bytes sony = root.Read(kSonyPath);
    const auto before = Files();
    ImportResult read = OneRemote("Sony", {Button("KEY_POWER", 2002), Button("KEY_1", 2003)});
    read.remotes.push_back(ImportedRemote{"Panasonic", 9, {Button("KEY_POWER", 2004)}});
    ImportOptions allow;
    allow.replace = [](const QString&, const QString&) { return true; };
    int failures = 0;
    for (int step = 1; step < 500; ++step) {
        root.fs.FailStep(step);
        const ImportReport report = Import(read, allow);
        if (report.result == kImportOk) {
            break;
        }
        ++failures;
        ASSERT_EQ(report.result, kImportNotWritten) << "step " << step;
        EXPECT_EQ(Files(), before) << "step " << step;
        EXPECT_EQ(root.Read(kSonyPath), sony) << "step " << step;
    }
    root.fs.FailStep(0);
    // At least creating, writing and flushing two temporary files and moving both into place.
    EXPECT_GE(failures, 8);
    EXPECT_EQ(FirstMark(kSonyPath, "Power"), 2002);
    EXPECT_EQ(FirstMark("\\Program Files\\ArdelRemote\\CodeBases\\TV_Panasonic.PDB", "Power"),
              2004);
}

TEST_F(Importer, MakesTheCodebaseFolderOfAFreshRoot) {
    TempFolder empty;
    HostHandheldFs fs(empty.Path().string());
    const ImportReport report = ImportRemotes(
        fs, folders, OneRemote("Sony", {Button("KEY_POWER", 1)}), "x", ImportOptions{});
    ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
    EXPECT_TRUE(fs.FileExists(kSonyPath.toStdString()));
}

}  // namespace
