#include "store/Catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "store/CPdbFile.h"
#include "tests/store/DeviceRoot.h"

namespace {

const QString kCodebases = QStringLiteral("\\Program Files\\ArdelRemote\\CodeBases\\");
const QString kMyDocuments = QStringLiteral("\\My Documents\\");

// A codebase file as the program writes it: the format record and nothing learnt.
Bytes Codebase(const std::string& headerName) {
    RawDatabase db;
    db.name = headerName;
    db.records.push_back({'2', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return db.Image();
}

std::string Describe(const std::vector<CodebaseEntry>& entries) {
    std::string out;
    for (const CodebaseEntry& e : entries) {
        out += std::to_string(e.category) + ":" + e.deviceName.toStdString() + (e.mark ? "*" : "") +
               " ";
    }
    return out;
}

// ---- Folders ----

struct FolderCase {
    const char* name;
    const char* programPath;
    const char* base;
    const char* defaultFolder;
    std::vector<QString> search;
};

class FoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FoldersTest, FromProgramPath) {
    const FolderCase& c = GetParam();
    const HandheldFolders folders = FoldersFor(QString::fromLatin1(c.programPath));
    EXPECT_EQ(folders.baseFolder, QString::fromLatin1(c.base));
    EXPECT_EQ(folders.defaultCodebaseFolder, QString::fromLatin1(c.defaultFolder));
    EXPECT_EQ(folders.searchFolders, c.search);
    EXPECT_EQ(folders.programName, QStringLiteral("ArdelRemote"));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, FoldersTest,
    ::testing::Values(
        FolderCase{"ProgramFolder",
                   "\\Program Files\\ArdelRemote\\ArdelRemote.exe",
                   "\\Program Files\\ArdelRemote\\",
                   "\\Program Files\\ArdelRemote\\CodeBases\\",
                   {"\\My Documents\\", "\\", "\\Program Files\\ArdelRemote\\CodeBases\\"}},
        FolderCase{"StartMenu",
                   "\\Windows\\Start menu\\ArdelRemote.exe",
                   "\\My Documents\\",
                   "\\My Documents\\",
                   {"\\My Documents\\", "\\"}},
        FolderCase{"StartMenuOtherCase",
                   "\\WINDOWS\\START MENU\\ArdelRemote.EXE",
                   "\\My Documents\\",
                   "\\My Documents\\",
                   {"\\My Documents\\", "\\"}},
        FolderCase{"BelowTheStartMenu",
                   "\\Windows\\Start menu\\Tools\\ArdelRemote.exe",
                   "\\Windows\\Start menu\\Tools\\",
                   "\\Windows\\Start menu\\Tools\\CodeBases\\",
                   {"\\My Documents\\", "\\", "\\Windows\\Start menu\\Tools\\CodeBases\\"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Header names ----

struct HeaderCase {
    const char* name;
    const char* header;
    bool listed;
    int category;
    const char* device;
};

class HeaderNameTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderNameTest, CategoryAndDevice) {
    const HeaderCase& c = GetParam();
    int category = -1;
    QString device;
    ASSERT_EQ(ParseHeaderName(QString::fromLatin1(c.header), category, device), c.listed);
    if (c.listed) {
        EXPECT_EQ(category, c.category);
        EXPECT_EQ(device, QString::fromLatin1(c.device));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, HeaderNameTest,
    ::testing::Values(
        HeaderCase{"Plain", "TV_Sony", true, kCategoryTv, "Sony"},
        HeaderCase{"SmallLetters", "tv_Sony", true, kCategoryTv, "Sony"},
        HeaderCase{"MixedCase", "Aud_Amp", true, kCategoryAudio, "Amp"},
        HeaderCase{"FirstUnderscoreSplits", "CAB_Sky_HD", true, kCategoryCabSat, "Sky_HD"},
        HeaderCase{"NoAbbreviation", "XYZ_Box", true, kCategoryUnknown, "Box"},
        HeaderCase{"AbbreviationPrefixOnly", "TVX_Box", true, kCategoryUnknown, "Box"},
        HeaderCase{"EmptyDevice", "TIV_", true, kCategoryTiVo, ""},
        HeaderCase{"NoUnderscore", "TVSony", false, 0, ""}, HeaderCase{"Empty", "", false, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Scan ----

TEST(ScanCodebasesTest, ListsCodebasesOfAllFoldersSorted) {
    DeviceRoot root;
    root.Write(kMyDocuments + "TV_sony.PDB", Codebase("TV_sony"));
    root.Write("\\TV_Sony.pdb", Codebase("TV_Sony"));
    root.Write("\\VCR_Old.PDB", Codebase("VCR_Old"));
    root.Write(kCodebases + "CAB_Sky.PDB", Codebase("CAB_Sky"));
    root.Write(kCodebases + "renamed.PDB", Codebase("aud_Amp"));  // the header decides
    root.Write(kCodebases + "Odd.PDB", Codebase("Xyz_Odd"));
    // Left out: no "_" in the header, a preference file, version 0, not a database at all,
    // and a codebase that is not a .PDB file.
    root.Write(kCodebases + "TV_None.PDB", Codebase("NoUnderscore"));
    RawDatabase pref;
    pref.name = "TV_Pref";
    pref.type = "ARpr";
    root.Write(kMyDocuments + "TV_Pref.PDB", pref.Image());
    RawDatabase versionZero;
    versionZero.name = "TV_Zero";
    versionZero.version = 0;
    root.Write(kMyDocuments + "TV_Zero.PDB", versionZero.Image());
    root.Write(kMyDocuments + "TV_Short.PDB", {'T', 'V', '_'});
    root.Write(kMyDocuments + "TV_Text.txt", Codebase("TV_Text"));

    std::vector<CodebaseEntry> entries;
    ScanCodebases(root.fs, FoldersFor(HandheldFs::kDefaultProgramPath), entries);
    // Capitals sort before small letters; Unknown comes first.
    EXPECT_EQ(Describe(entries), "0:Odd 1:Sony 1:sony 2:Sky 4:Old 5:Amp ");
    EXPECT_EQ(entries[5].path, kCodebases + "renamed.PDB");
    EXPECT_EQ(entries[3].position, -1);
}

TEST(ScanCodebasesTest, FromTheStartMenuOnlyMyDocumentsAndRootAreSearched) {
    DeviceRoot root;
    root.Write(kMyDocuments + "TV_A.PDB", Codebase("TV_A"));
    root.Write("\\TV_B.PDB", Codebase("TV_B"));
    root.Write("\\Windows\\Start menu\\CodeBases\\TV_C.PDB", Codebase("TV_C"));
    std::vector<CodebaseEntry> entries;
    ScanCodebases(root.fs, FoldersFor("\\Windows\\Start Menu\\ArdelRemote.exe"), entries);
    EXPECT_EQ(Describe(entries), "1:A 1:B ");
}

TEST(ScanCodebasesTest, HotMarkNeedsTheExactPathInTheFirstForm) {
    DeviceRoot root;
    root.Write(kCodebases + "TV_A.PDB", Codebase("TV_A"));
    root.Write(kCodebases + "TV_B.PDB", Codebase("TV_B"));
    root.Write(kCodebases + "VCR_C.PDB", Codebase("VCR_C"));
    HotSlots hot;
    hot[FirstFormOf(kCategoryTv)] = kCodebases + "TV_A.PDB";
    hot[FirstFormOf(kCategoryVcr)] = kCodebases + "vcr_c.pdb";  // same file, other case
    std::vector<CodebaseEntry> entries;
    ScanCodebases(root.fs, FoldersFor(HandheldFs::kDefaultProgramPath), entries, &hot);
    EXPECT_EQ(Describe(entries), "1:A* 1:B 4:C ");
    ScanCodebases(root.fs, FoldersFor(HandheldFs::kDefaultProgramPath), entries);
    EXPECT_EQ(Describe(entries), "1:A 1:B 4:C ");
}

TEST(ScanCodebasesTest, KeepsAtMost500) {
    DeviceRoot root;
    for (int i = 0; i < kMaxCatalogueEntries + 1; ++i) {
        const std::string name = "TV_" + std::to_string(1000 + i);
        root.Write(kCodebases + QString::fromStdString(name) + ".PDB", Codebase(name));
    }
    std::vector<CodebaseEntry> entries;
    ScanCodebases(root.fs, FoldersFor(HandheldFs::kDefaultProgramPath), entries);
    EXPECT_EQ(entries.size(), size_t(kMaxCatalogueEntries));
}

TEST(SortCodebasesTest, ByCategoryThenOrdinalName) {
    std::vector<CodebaseEntry> entries;
    for (auto [category, name] : std::vector<std::pair<int, const char*>>{
             {6, "b"}, {1, "b"}, {1, "B"}, {0, "z"}, {6, "a"}, {1, "a b"}, {1, "a"}}) {
        entries.push_back({category, QString::fromLatin1(name), {}, -1, 0});
    }
    SortCodebases(entries);
    EXPECT_EQ(Describe(entries), "0:z 1:B 1:a 1:a b 1:b 6:a 6:b ");
}

// ---- Naming rules ----

struct CorrectionCase {
    const char* name;
    const char* typed;
    const char* corrected;
    const char16_t* refused;
};

class CutIllegalCharactersTest : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(CutIllegalCharactersTest, Corrects) {
    const CorrectionCase& c = GetParam();
    const NameCorrection result = CutIllegalCharacters(QString::fromUtf8(c.typed));
    EXPECT_EQ(result.name, QString::fromUtf8(c.corrected));
    EXPECT_EQ(result.refused, QString::fromUtf16(c.refused));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, CutIllegalCharactersTest,
    ::testing::Values(
        CorrectionCase{"Fine", "Living room", "Living room", u""},
        CorrectionCase{"CutBeforeReserved", "Sony/Bravia", "Sony", u"/"},
        // The earliest reserved character counts, whatever its place in the list: a cut at
        // "*" would keep the separator before it.
        CorrectionCase{"EarliestReserved", "..\\x*", "..", u"\\"},
        CorrectionCase{"EarliestReservedOfTwo", "a:b*c", "a", u":"},
        CorrectionCase{"OutsideAscii", "Caf\xc3\xa9 TV", "Caf", u"\u00e9"},
        CorrectionCase{"ControlCharacter", "a\tb", "a", u"\t"},
        CorrectionCase{"DeleteIsAllowed", "a\x7f", "a\x7f", u""},
        // Both checks run: the reserved cut first, then the range.
        CorrectionCase{"BothChecks", "ab\xc3\xa9:z", "ab", u":\u00e9"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CheckCase {
    const char* name;
    int category;
    const char* device;
    CodebaseNameCheck result;
    CodebaseNameUse use = CodebaseNameUse::New;
};

class CheckCodebaseNameTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckCodebaseNameTest, Checks) {
    const CheckCase& c = GetParam();
    DeviceRoot root;
    root.Write(kCodebases + "TV_Sony.PDB", Codebase("TV_Sony"));
    root.Write(kCodebases + "Unk_Box.PDB", Codebase("Unk_Box"));
    EXPECT_EQ(CheckCodebaseName(root.fs, kCodebases, c.category, QString::fromLatin1(c.device),
                                nullptr, c.use),
              c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, CheckCodebaseNameTest,
    ::testing::Values(
        CheckCase{"Fine", kCategoryTv, "Living room", kNameOk},
        CheckCase{"NoCategory", kCategoryUnknown, "Box", kNameNoCategory},
        CheckCase{"OnlyBlanks", kCategoryTv, "  \t ", kNameEmpty},
        CheckCase{"Empty", kCategoryTv, "", kNameEmpty},
        CheckCase{"Backslash", kCategoryTv, "..\\..\\x", kNameIllegalCharacter},
        CheckCase{"Longest", kCategoryTv, "123456789012345678901234567", kNameOk},
        // One more makes a file name that the record-database layer refuses to create.
        CheckCase{"OneTooLong", kCategoryTv, "1234567890123456789012345678", kNameTooLong},
        CheckCase{"Exists", kCategoryTv, "Sony", kNameExists},
        CheckCase{"ExistsOtherCase", kCategoryTv, "SONY", kNameExists},
        CheckCase{"SameDeviceOtherCategory", kCategoryVcr, "Sony", kNameOk},
        // A rename keeps the codebase's own category, Unknown included; the other rules hold.
        CheckCase{"RenameUnknown", kCategoryUnknown, "Crate", kNameOk, CodebaseNameUse::Rename},
        CheckCase{"RenameUnknownTaken", kCategoryUnknown, "box", kNameExists,
                  CodebaseNameUse::Rename},
        CheckCase{"RenameUnknownBlank", kCategoryUnknown, " ", kNameEmpty, CodebaseNameUse::Rename},
        CheckCase{"RenameOutOfRange", 7, "Crate", kNameNoCategory, CodebaseNameUse::Rename},
        CheckCase{"RenameTv", kCategoryTv, "Sony", kNameExists, CodebaseNameUse::Rename}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckCodebaseNameTest, LongestAcceptedNameCanBeCreated) {
    DeviceRoot root;
    const QString device = QStringLiteral("123456789012345678901234567");
    ASSERT_EQ(CheckCodebaseName(root.fs, kCodebases, kCategoryTv, device), kNameOk);
    CPdbFile file(&root.fs);
    EXPECT_EQ(file.Create(kCodebases + CodebaseFileName(kCategoryTv, device)), kPdbOk);
}

// ---- New, relearn, rename, delete ----

class CatalogueOperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root.Write(kCodebases + "TV_Sony.PDB", Codebase("TV_Sony"));
        root.Write(kCodebases + "TV_Philips.PDB", Codebase("TV_Philips"));
        root.Write(kMyDocuments + "VCR_Old.PDB", Codebase("VCR_Old"));
        Rescan();
    }
    void Rescan() { ScanCodebases(root.fs, folders, entries, &hotSlots); }
    int IndexOf(const char* device) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].deviceName == QLatin1String(device)) {
                return int(i);
            }
        }
        return -1;
    }

    DeviceRoot root;
    HandheldFolders folders = FoldersFor(HandheldFs::kDefaultProgramPath);
    HotSlots hotSlots;
    std::vector<CodebaseEntry> entries;
};

TEST_F(CatalogueOperationsTest, NewCodebaseIsHotBeforeItsFileExists) {
    const QString path = StartNewCodebase(hotSlots, folders, kCategoryDvdCd, "Player 1");
    EXPECT_EQ(path, kCodebases + "DVD_Player 1.PDB");
    EXPECT_EQ(hotSlots[4], path);
    EXPECT_EQ(hotSlots[5], path);
    EXPECT_FALSE(root.fs.FileExists(path.toStdString()));
}

TEST_F(CatalogueOperationsTest, RenameKeepsFolderAndCategoryAndMovesTheHotSlots) {
    SetHotCodebase(hotSlots, kCategoryTv, kCodebases + "TV_Sony.PDB");
    ASSERT_EQ(RenameCodebase(root.fs, folders, entries, IndexOf("Sony"), "Bravia", hotSlots),
              kCatalogueOk);
    const QString renamed = kCodebases + "TV_Bravia.PDB";
    EXPECT_TRUE(root.fs.FileExists(renamed.toStdString()));
    EXPECT_FALSE(root.fs.FileExists((kCodebases + "TV_Sony.PDB").toStdString()));
    EXPECT_EQ(hotSlots[0], renamed);
    EXPECT_EQ(hotSlots[1], renamed);
    EXPECT_EQ(Describe(entries), "1:Bravia* 1:Philips 4:Old ");

    ASSERT_EQ(RenameCodebase(root.fs, folders, entries, IndexOf("Old"), "New", hotSlots),
              kCatalogueOk);
    EXPECT_TRUE(root.fs.FileExists("\\My Documents\\VCR_New.PDB"));
    EXPECT_EQ(hotSlots[6], QString());  // it was not hot and does not become so
    EXPECT_EQ(hotSlots[0], renamed);
}

TEST_F(CatalogueOperationsTest, RenameOntoAnExistingFileLosesNothing) {
    const Bytes philips = root.Read(kCodebases + "TV_Philips.PDB");
    SetHotCodebase(hotSlots, kCategoryTv, kCodebases + "TV_Sony.PDB");
    EXPECT_EQ(RenameCodebase(root.fs, folders, entries, IndexOf("Sony"), "Philips", hotSlots),
              kCatalogueRenameFailed);
    EXPECT_EQ(root.Read(kCodebases + "TV_Philips.PDB"), philips);
    EXPECT_TRUE(root.fs.FileExists((kCodebases + "TV_Sony.PDB").toStdString()));
    EXPECT_EQ(hotSlots[0], kCodebases + "TV_Sony.PDB");
    Rescan();  // the header kept its name too
    EXPECT_EQ(Describe(entries), "1:Philips 1:Sony* 4:Old ");
}

TEST_F(CatalogueOperationsTest, RenameOfAVanishedFileChangesNothing) {
    root.fs.Remove((kCodebases + "TV_Sony.PDB").toStdString());
    EXPECT_EQ(RenameCodebase(root.fs, folders, entries, IndexOf("Sony"), "X", hotSlots),
              kCatalogueCannotOpen);
    EXPECT_EQ(Describe(entries), "1:Philips 1:Sony 4:Old ");
    EXPECT_EQ(RenameCodebase(root.fs, folders, entries, 7, "X", hotSlots), kCatalogueNoEntry);
}

TEST_F(CatalogueOperationsTest, DeletingTheHotCodebaseLeavesTheCategoryWithoutOne) {
    SetHotCodebase(hotSlots, kCategoryTv, kCodebases + "TV_Sony.PDB");
    SetHotCodebase(hotSlots, kCategoryVcr, kMyDocuments + "VCR_Old.PDB");
    ASSERT_EQ(DeleteCodebase(root.fs, entries, IndexOf("Sony"), hotSlots), kCatalogueOk);
    EXPECT_FALSE(root.fs.FileExists((kCodebases + "TV_Sony.PDB").toStdString()));
    EXPECT_EQ(hotSlots[0], QString());
    EXPECT_EQ(hotSlots[1], QString());
    EXPECT_EQ(hotSlots[6], kMyDocuments + "VCR_Old.PDB");
    EXPECT_EQ(Describe(entries), "1:Philips 4:Old ");
}

TEST_F(CatalogueOperationsTest, AFailedDeleteKeepsEntryFileAndHotSlots) {
    SetHotCodebase(hotSlots, kCategoryTv, kCodebases + "TV_Sony.PDB");
    root.fs.FailStep(1);
    EXPECT_EQ(DeleteCodebase(root.fs, entries, IndexOf("Sony"), hotSlots), kCatalogueCannotRemove);
    root.fs.FailStep(0);
    EXPECT_TRUE(root.fs.FileExists((kCodebases + "TV_Sony.PDB").toStdString()));
    EXPECT_EQ(hotSlots[0], kCodebases + "TV_Sony.PDB");
    EXPECT_EQ(entries.size(), 3u);

    root.fs.Remove((kCodebases + "TV_Sony.PDB").toStdString());
    EXPECT_EQ(DeleteCodebase(root.fs, entries, IndexOf("Sony"), hotSlots), kCatalogueCannotOpen);
    EXPECT_EQ(entries.size(), 3u);
}

}  // namespace
