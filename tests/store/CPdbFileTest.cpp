#include "store/CPdbFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

#include "tests/store/StoreFixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t At(const Bytes& bytes, size_t offset, int width) {
    uint32_t value = 0;
    for (int k = 0; k < width; ++k) {
        value = (value << 8) | bytes.at(offset + k);
    }
    return value;
}

// A database image: the header with `count`, entries with the given offsets and IDs 1.., then
// `data` from offset 78 + 8 * offsets.size() on.
Bytes Image(uint16_t count, const std::vector<uint32_t>& offsets, const Bytes& data) {
    Bytes image(78, 0);
    image[76] = static_cast<uint8_t>(count >> 8);
    image[77] = static_cast<uint8_t>(count);
    for (size_t k = 0; k < offsets.size(); ++k) {
        const uint32_t offset = offsets[k];
        image.insert(image.end(), {uint8_t(offset >> 24), uint8_t(offset >> 16),
                                   uint8_t(offset >> 8), uint8_t(offset), 0, 0, 0, uint8_t(k + 1)});
    }
    image.insert(image.end(), data.begin(), data.end());
    return image;
}

class PdbFileTest : public StoreTest {
  protected:
    // A database "Three.PDB" with the records "a1", "bb22", "c".
    void MakeThree() {
        ASSERT_EQ(pdb_.Create(Path("Three.PDB")), kPdbOk);
        for (const char* text : {"a1", "bb22", "c"}) {
            ASSERT_GE(pdb_.AppendRecord(reinterpret_cast<const uint8_t*>(text), strlen(text)), 0);
        }
        pdb_.Close();
    }
    std::string Record(int index) {
        const Bytes data = pdb_.ReadRecord(index);
        return std::string(data.begin(), data.end());
    }
    int Append(const std::string& text) {
        return pdb_.AppendRecord(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }

    CPdbFile pdb_{&fs_};
};

TEST_F(PdbFileTest, CreateMakesTheEmptyDatabase) {
    ASSERT_EQ(pdb_.Create(Path("TV_Sony.PDB")), kPdbOk);
    EXPECT_EQ(FileOf("TV_Sony.PDB"), Fixture("EmptyDatabase.PDB"));
    EXPECT_TRUE(pdb_.IsOpen());
    EXPECT_EQ(pdb_.GetMode(), CPdbFile::kModeReadWrite);
    EXPECT_EQ(pdb_.GetLength(), 80u);
    EXPECT_EQ(pdb_.GetRecordCount(), 0);
    EXPECT_EQ(pdb_.GetName(), "TV_Sony");
    EXPECT_EQ(Files(), (std::vector<std::string>{"TV_Sony.PDB"}));
}

TEST_F(PdbFileTest, CreateReplacesAFileThatIsThere) {
    Put("Old.PDB", Bytes(300, 0xAA));
    ASSERT_EQ(pdb_.Create(Path("old.pdb")), kPdbOk);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Old.PDB"}));
    EXPECT_EQ(FileOf("Old.PDB").size(), 80u);
    EXPECT_EQ(pdb_.GetName(), "old");
}

struct CreateCase {
    const char* name;
    std::string path;
    int result;
};

class PdbCreate : public PdbFileTest, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(PdbCreate, Result) {
    EXPECT_EQ(pdb_.Create(QString::fromStdString(GetParam().path)), GetParam().result);
    EXPECT_EQ(pdb_.IsOpen(), GetParam().result == kPdbOk);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PdbCreate,
    ::testing::Values(
        CreateCase{"NoPath", "", kPdbCreateNoPath},
        CreateCase{"TxtExtension", "\\My Documents\\TV_Sony.txt", kPdbCreateNotPdb},
        CreateCase{"MixedCaseExtension", "\\My Documents\\TV_Sony.PdB", kPdbOk},
        CreateCase{"NoFolder", "Top.pdb", kPdbOk},
        // The file name is counted with its backslash and extension: 35 fit, 36 do not.
        CreateCase{"NameOf35", "\\My Documents\\" + std::string(30, 'n') + ".pdb", kPdbOk},
        CreateCase{"NameOf36", "\\My Documents\\" + std::string(31, 'n') + ".pdb",
                   kPdbCreateNameTooLong},
        CreateCase{"MissingFolder", "\\Nowhere\\TV_Sony.PDB", kPdbCreateOtherReason},
        CreateCase{"OutsideTheDevice", "\\..\\TV_Sony.PDB", kPdbCreateOtherReason},
        CreateCase{"ReservedCharacter", "\\My Documents\\TV|Sony.PDB", kPdbCreateInvalidPath},
        CreateCase{"AFolderIsThere", "\\My Documents", kPdbCreateNotPdb}),
    [](const auto& info) { return info.param.name; });

TEST_F(PdbFileTest, CreateOverAFolderIsDenied) {
    std::filesystem::create_directories(Host("Folder.PDB"));
    EXPECT_EQ(pdb_.Create(Path("Folder.PDB")), kPdbCreateAccessDenied);
}

TEST_F(PdbFileTest, AppendingAnOddRecordPadsIt) {
    ASSERT_EQ(pdb_.Create(Path("TV_Sony.PDB")), kPdbOk);
    EXPECT_EQ(Append("Hello"), 0);
    const Bytes file = FileOf("TV_Sony.PDB");
    ASSERT_EQ(file.size(), 92u);
    EXPECT_EQ(At(file, 76, 2), 1u);
    EXPECT_EQ(At(file, 78, 4), 86u);  // offset
    EXPECT_EQ(At(file, 82, 4), 1u);   // attributes 0, unique ID 1
    EXPECT_EQ(At(file, 40, 4), kNewYear2026Header);
    EXPECT_EQ(pdb_.ReadRecord(0), (Bytes{'H', 'e', 'l', 'l', 'o', 0}));
}

TEST_F(PdbFileTest, DeletingTheLastRecordKeepsTheDateOfTheChangeBefore) {
    ASSERT_EQ(pdb_.Create(Path("TV_Sony.PDB")), kPdbOk);
    ASSERT_EQ(Append("ab"), 0);
    device_.SetFixedTime(kNewYear2026 + 3600ULL * 10000000ULL);
    EXPECT_EQ(pdb_.DeleteRecord(0), kPdbOk);
    Bytes expected = Fixture("EmptyDatabase.PDB");
    expected[40] = 0xE5, expected[41] = 0x7B, expected[42] = 0x69, expected[43] = 0x80;
    EXPECT_EQ(FileOf("TV_Sony.PDB"), expected);
    EXPECT_EQ(pdb_.GetLength(), 80u);
}

TEST_F(PdbFileTest, DeleteKeepsTheOrderAndIdsCountThePlaceBefore) {
    MakeThree();
    ASSERT_EQ(pdb_.Open(Path("Three.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    EXPECT_EQ(pdb_.DeleteRecord(1), kPdbOk);
    ASSERT_EQ(pdb_.GetRecordCount(), 2);
    EXPECT_EQ(Record(0), "a1");
    EXPECT_EQ(Record(1), std::string("c\0", 2));
    Bytes file = FileOf("Three.PDB");
    EXPECT_EQ(At(file, 78 + 4, 4), 1u);
    EXPECT_EQ(At(file, 86 + 4, 4), 3u);
    // The next change numbers them by place again.
    EXPECT_EQ(Append("d"), 2);
    file = FileOf("Three.PDB");
    EXPECT_EQ(At(file, 86 + 4, 4), 2u);
    EXPECT_EQ(At(file, 94 + 4, 4), 3u);
}

TEST_F(PdbFileTest, ReplaceMovesTheRecordsBehind) {
    MakeThree();
    ASSERT_EQ(pdb_.Open(Path("Three.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    const std::string longer = "a much longer record";
    EXPECT_EQ(pdb_.ReplaceRecord(0, reinterpret_cast<const uint8_t*>(longer.data()), longer.size()),
              kPdbOk);
    EXPECT_EQ(Record(0), longer);
    EXPECT_EQ(Record(1), "bb22");
    EXPECT_EQ(Record(2), std::string("c\0", 2));
    EXPECT_EQ(pdb_.GetLength(), 78u + 24 + 20 + 4 + 2);
}

// What a change answers when it may not run; the file stays as it was.
struct RefusedChange {
    const char* name;
    int mode;  // kModeClosed: the object is not opened
    std::function<int(CPdbFile&)> change;
    int result;
};

class PdbRefusedChange : public PdbFileTest, public ::testing::WithParamInterface<RefusedChange> {};

TEST_P(PdbRefusedChange, LeavesTheFile) {
    MakeThree();
    const Bytes before = FileOf("Three.PDB");
    if (GetParam().mode != CPdbFile::kModeClosed) {
        ASSERT_EQ(pdb_.Open(Path("Three.PDB"), GetParam().mode), kPdbOk);
    }
    EXPECT_EQ(GetParam().change(pdb_), GetParam().result);
    EXPECT_EQ(FileOf("Three.PDB"), before);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Three.PDB"}));
}

const uint8_t kData[] = {1, 2, 3, 4};

INSTANTIATE_TEST_SUITE_P(
    Changes, PdbRefusedChange,
    ::testing::Values(
        RefusedChange{"AppendClosed", CPdbFile::kModeClosed,
                      [](CPdbFile& f) { return f.AppendRecord(kData, 4); }, -1},
        RefusedChange{"ReplaceClosed", CPdbFile::kModeClosed,
                      [](CPdbFile& f) { return f.ReplaceRecord(0, kData, 4); }, kPdbNoFileOpen},
        RefusedChange{"DeleteClosed", CPdbFile::kModeClosed,
                      [](CPdbFile& f) { return f.DeleteRecord(0); }, kPdbNoFileOpen},
        RefusedChange{"AppendReadOnly", CPdbFile::kModeRead,
                      [](CPdbFile& f) { return f.AppendRecord(kData, 4); }, -1},
        RefusedChange{"ReplaceReadOnly", CPdbFile::kModeRead,
                      [](CPdbFile& f) { return f.ReplaceRecord(0, kData, 4); }, kPdbNotWritable},
        RefusedChange{"DeleteReadOnly", CPdbFile::kModeRead,
                      [](CPdbFile& f) { return f.DeleteRecord(0); }, kPdbNotWritable},
        RefusedChange{"AppendNoData", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.AppendRecord(nullptr, 4); }, -1},
        RefusedChange{"AppendKeyedNoPayload", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.AppendKeyedRecord(nullptr, 4, 1); }, -1},
        RefusedChange{"ReplaceKeyedNoPayload", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.ReplaceKeyedRecord(nullptr, 4, 0, 1); }, kPdbOk},
        RefusedChange{"DeleteNegative", CPdbFile::kModeRead,
                      [](CPdbFile& f) { return f.DeleteRecord(-1); }, kPdbNegativeIndex},
        RefusedChange{"DeletePastTheEnd", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.DeleteRecord(3); }, kPdbIndexTooLarge},
        RefusedChange{"ReplaceNegative", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.ReplaceRecord(-1, kData, 4); }, kPdbIndexTooLarge},
        RefusedChange{"ReplacePastTheEnd", CPdbFile::kModeReadWrite,
                      [](CPdbFile& f) { return f.ReplaceRecord(3, kData, 4); }, kPdbIndexTooLarge},
        RefusedChange{"SetTypeReadOnly", CPdbFile::kModeRead,
                      [](CPdbFile& f) {
                          f.SetType(FourCharCode("AIrC"));
                          return 0;
                      },
                      0},
        RefusedChange{"RenameReadOnly", CPdbFile::kModeRead,
                      [](CPdbFile& f) { return f.Rename("Other"); }, kPdbRenameNotWritten}),
    [](const auto& info) { return info.param.name; });

TEST_F(PdbFileTest, ClosedObjectGivesEmptyResults) {
    EXPECT_EQ(pdb_.Open("", CPdbFile::kModeRead), kPdbOpenNoPath);
    EXPECT_EQ(pdb_.Open(Path("Missing.PDB"), CPdbFile::kModeRead), kPdbOpenFailed);
    EXPECT_FALSE(pdb_.IsOpen());
    EXPECT_EQ(pdb_.GetMode(), CPdbFile::kModeClosed);
    EXPECT_EQ(pdb_.GetRecordCount(), 0);
    EXPECT_TRUE(pdb_.ReadRecord(0).empty());
    EXPECT_TRUE(pdb_.ReadKeyedRecord(0).empty());
    EXPECT_EQ(pdb_.GetName(), "");
    EXPECT_EQ(pdb_.GetVersion(), 0);
    EXPECT_EQ(pdb_.GetType(), 0u);
    EXPECT_EQ(pdb_.GetCreator(), 0u);
    EXPECT_EQ(pdb_.FindKeyedRecord(0, 0), -1);
    EXPECT_EQ(pdb_.Rename("Name"), kPdbRenameNothing);
    pdb_.SetVersion(1);
    pdb_.Close();
    EXPECT_TRUE(Files().empty());
}

TEST_F(PdbFileTest, HeaderFieldsAreBigEndianAtTheirPlaces) {
    ASSERT_EQ(pdb_.Create(Path("TV_Sony.PDB")), kPdbOk);
    pdb_.SetCreator(FourCharCode("ARem"));
    pdb_.SetType(FourCharCode("AIrC"));
    pdb_.SetVersion(0x0102);
    EXPECT_EQ(pdb_.GetType(), 0x41497243u);
    EXPECT_EQ(pdb_.GetCreator(), FourCharCode("ARem"));
    EXPECT_EQ(pdb_.GetVersion(), 0x0102);
    const Bytes file = FileOf("TV_Sony.PDB");
    ASSERT_EQ(file.size(), 80u);
    EXPECT_EQ(Bytes(file.begin() + 60, file.begin() + 68),
              (Bytes{'A', 'I', 'r', 'C', 'A', 'R', 'e', 'm'}));
    EXPECT_EQ(At(file, 34, 2), 0x0102u);
    EXPECT_EQ(At(file, 40, 4), 0u);  // header fields are no change of the records
}

TEST_F(PdbFileTest, RenameUsesThe31FirstCharacters) {
    MakeThree();
    const Bytes before = FileOf("Three.PDB");
    ASSERT_EQ(pdb_.Open(Path("three.pdb"), CPdbFile::kModeReadWrite), kPdbOk);
    const QString name = QString(40, QLatin1Char('x')).replace(0, 4, QStringLiteral("TV_S"));
    ASSERT_EQ(pdb_.Rename(name), kPdbOk);
    const std::string newName = "TV_S" + std::string(27, 'x') + ".PDB";
    EXPECT_EQ(Files(), (std::vector<std::string>{newName}));
    EXPECT_EQ(pdb_.GetPath(), Path(newName));
    EXPECT_EQ(pdb_.GetName(), name.left(31));
    EXPECT_EQ(pdb_.GetMode(), CPdbFile::kModeReadWrite);
    const Bytes after = FileOf(newName);
    EXPECT_EQ(Bytes(after.begin() + 32, after.end()), Bytes(before.begin() + 32, before.end()));
    EXPECT_EQ(Append("still open"), 3);
}

TEST_F(PdbFileTest, RenameOntoATakenNameChangesNothing) {
    MakeThree();
    Put("Taken.PDB", {7});
    const Bytes before = FileOf("Three.PDB");
    ASSERT_EQ(pdb_.Open(Path("Three.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    EXPECT_EQ(pdb_.Rename("taken"), kPdbRenameMoveFailed);
    EXPECT_EQ(pdb_.Rename("a\\b"), kPdbRenameBadName);
    EXPECT_EQ(pdb_.Rename(".."), kPdbOk);  // "...PDB" is an ordinary name
    EXPECT_EQ(pdb_.Rename("Three"), kPdbOk);
    EXPECT_EQ(FileOf("Three.PDB"), before);
    EXPECT_EQ(FileOf("Taken.PDB"), (Bytes{7}));
}

TEST_F(PdbFileTest, KeyedRecords) {
    ASSERT_EQ(pdb_.Create(Path("Pref.PDB")), kPdbOk);
    EXPECT_EQ(pdb_.FindKeyedRecord(7, 0), -1);
    const uint8_t one[] = {'1'}, two[] = {'2', '2'};
    ASSERT_EQ(pdb_.AppendKeyedRecord(one, 1, 3), 0);
    ASSERT_EQ(pdb_.AppendKeyedRecord(two, 2, 7), 1);
    ASSERT_EQ(pdb_.AppendKeyedRecord(one, 1, 7), 2);
    ASSERT_EQ(pdb_.AppendKeyedRecord(one, 0, 9), 3);  // only the key
    EXPECT_EQ(pdb_.FindKeyedRecord(7, 0), 1);
    EXPECT_EQ(pdb_.FindKeyedRecord(7, 2), 2);
    EXPECT_EQ(pdb_.FindKeyedRecord(7, 3), -1);
    EXPECT_EQ(pdb_.FindKeyedRecord(7, -1), -1);
    EXPECT_EQ(pdb_.FindKeyedRecord(9, 0), 3);
    EXPECT_EQ(pdb_.ReadKeyedRecord(1), (Bytes{'2', '2'}));
    EXPECT_EQ(pdb_.ReadKeyedRecord(0), (Bytes{'1', 0}));  // padded to even length
    EXPECT_TRUE(pdb_.ReadKeyedRecord(3).empty());
    ASSERT_EQ(pdb_.ReplaceKeyedRecord(two, 2, 0, 0x1234), kPdbOk);
    EXPECT_EQ(pdb_.ReadRecord(0), (Bytes{0x12, 0x34, '2', '2'}));
    EXPECT_EQ(pdb_.FindKeyedRecord(0x1234, 0), 0);
}

// A count far beyond the record list: entries past the end of the file read as key 0, and
// finding a key stops where the file does.
TEST_F(PdbFileTest, KeyedSearchStopsAtTheEndOfADamagedList) {
    Put("Bad.PDB", Image(60000, {86}, {0x00, 0x05, 'x', 'y'}));
    ASSERT_EQ(pdb_.Open(Path("Bad.PDB"), CPdbFile::kModeRead), kPdbOk);
    EXPECT_EQ(pdb_.FindKeyedRecord(5, 0), 0);
    EXPECT_EQ(pdb_.FindKeyedRecord(6, 0), -1);
    EXPECT_EQ(pdb_.FindKeyedRecord(0, 0), 1);
    EXPECT_EQ(pdb_.FindKeyedRecord(0, 700), 700);
    EXPECT_EQ(pdb_.FindKeyedRecord(0, 60000), -1);
}

// Damaged files: what each record reads as, and whether a change can still load them.
struct DamagedFile {
    const char* name;
    Bytes image;
    std::vector<Bytes> records;  // what ReadRecord gives for each index up to the count
    bool loadable;
};

class PdbDamagedFile : public PdbFileTest, public ::testing::WithParamInterface<DamagedFile> {};

TEST_P(PdbDamagedFile, ReadsStayInsideAndChangesRefuseWhatCannotBeLoaded) {
    Put("Bad.PDB", GetParam().image);
    ASSERT_EQ(pdb_.Open(Path("Bad.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    const int count = pdb_.GetRecordCount();
    for (int index = 0; index <= count + 1; ++index) {
        const Bytes expected =
            index < int(GetParam().records.size()) ? GetParam().records[index] : Bytes{};
        EXPECT_EQ(pdb_.ReadRecord(index), expected) << "record " << index;
        pdb_.ReadKeyedRecord(index);
    }
    for (int key = 0; key < 3; ++key) {
        pdb_.FindKeyedRecord(static_cast<uint16_t>(key), 0);
    }
    pdb_.GetName();
    if (GetParam().loadable) {
        EXPECT_EQ(pdb_.AppendRecord(kData, 4), count);
        return;
    }
    EXPECT_EQ(pdb_.AppendRecord(kData, 4), -1);
    EXPECT_EQ(pdb_.DeleteRecord(0), kPdbNotLoaded);
    EXPECT_EQ(pdb_.ReplaceRecord(0, kData, 4), kPdbNotLoaded);
    EXPECT_EQ(FileOf("Bad.PDB"), GetParam().image);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PdbDamagedFile,
    ::testing::Values(
        // The list of a truncated file ends before its second entry.
        DamagedFile{"TruncatedList", Image(2, {86}, {}), {}, false},
        DamagedFile{"CountLargerThanTheList",
                    Image(3, {98, 100}, {1, 2, 3, 4, 5, 6, 7, 8}),
                    {{5, 6}, {7, 8}, {}},
                    true},
        DamagedFile{"OffsetBeyondTheEnd", Image(2, {94, 5000}, {1, 2, 3}), {{1, 2, 3}, {}}, true},
        DamagedFile{
            "OffsetsOutOfOrder", Image(2, {97, 94}, {1, 2, 3, 4, 5}), {{}, {1, 2, 3, 4, 5}}, true},
        DamagedFile{"OffsetIntoTheHeader", Image(1, {0}, {}), {Image(1, {0}, {})}, true},
        DamagedFile{"OddLengths", Image(2, {94, 97}, {1, 2, 3, 4, 5}), {{1, 2, 3}, {4, 5}}, true},
        // Overlapping records would make a change hold the file many times over.
        DamagedFile{"OverlappingRecords",
                    Image(8, {142, 341, 142, 341, 142, 341, 142, 341}, Bytes(200, 9)),
                    {Bytes(199, 9), {}, Bytes(199, 9), {}, Bytes(199, 9), {}, Bytes(199, 9), {9}},
                    false},
        DamagedFile{"TruncatedHeader", Bytes(50, 'n'), {}, true},
        DamagedFile{"Empty", Bytes{}, {}, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(PdbFileTest, OddRecordsOfAForeignFileArePaddedByAChange) {
    Put("Bad.PDB", Image(2, {94, 97}, {1, 2, 3, 4, 5}));
    ASSERT_EQ(pdb_.Open(Path("Bad.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    ASSERT_EQ(pdb_.DeleteRecord(1), kPdbOk);
    EXPECT_EQ(pdb_.ReadRecord(0), (Bytes{1, 2, 3, 0}));
}

// A change that fails at any step, of writing or of reading, leaves the file as it was
// before or as it is after, never a mixture, leaves no temporary file behind, and says
// that it failed exactly when the file stayed as it was.
struct Change {
    const char* name;
    // Whether the change says it succeeded; nothing for one that gives no result.
    std::function<std::optional<bool>(CPdbFile&)> run;
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.name;
}

const Change kChanges[] = {
    {"Append", [](CPdbFile& f) -> std::optional<bool> { return f.AppendRecord(kData, 3) == 3; }},
    {"Replace",
     [](CPdbFile& f) -> std::optional<bool> { return f.ReplaceRecord(1, kData, 4) == kPdbOk; }},
    {"Delete", [](CPdbFile& f) -> std::optional<bool> { return f.DeleteRecord(0) == kPdbOk; }},
    {"SetType",
     [](CPdbFile& f) -> std::optional<bool> {
         f.SetType(FourCharCode("ARpr"));
         return std::nullopt;
     }},
    {"Rename", [](CPdbFile& f) -> std::optional<bool> { return f.Rename("Renamed") == kPdbOk; }},
};

enum class Fault { Write, ReadError, ShortRead };

class PdbInterruptedChange : public PdbFileTest,
                             public ::testing::WithParamInterface<std::tuple<Change, Fault>> {
  protected:
    // Makes the n-th step of the kind under test fail (0: none) and starts counting.
    void FailAt(int n) {
        switch (std::get<1>(GetParam())) {
            case Fault::Write:
                device_.FailStep(n);
                break;
            case Fault::ReadError:
                fs_.FailRead(n, ReadFault::Error);
                break;
            case Fault::ShortRead:
                fs_.FailRead(n, ReadFault::Short);
                break;
        }
    }
    int Counted() const {
        return std::get<1>(GetParam()) == Fault::Write ? device_.Steps() : fs_.Reads();
    }
};

TEST_P(PdbInterruptedChange, LeavesTheOldOrTheNewFile) {
    const Change& change = std::get<0>(GetParam());
    MakeThree();
    const Bytes before = FileOf("Three.PDB");
    std::optional<bool> reported;
    auto runOnce = [&] {
        ASSERT_EQ(pdb_.Open(Path("Three.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
        reported = change.run(pdb_);
        pdb_.Close();
    };
    FailAt(0);
    runOnce();
    const std::vector<std::string> names = Files();
    ASSERT_EQ(names.size(), 1u);
    const Bytes after = FileOf(names[0]);
    ASSERT_NE(after, before);
    ASSERT_NE(reported, std::optional<bool>(false));
    const int steps = Counted();
    ASSERT_GT(steps, 0);

    for (int failing = 1; failing <= steps; ++failing) {
        SCOPED_TRACE("step " + std::to_string(failing));
        std::filesystem::remove(Host(names[0]));
        Put("Three.PDB", before);
        FailAt(failing);
        runOnce();
        const std::vector<std::string> left = Files();
        ASSERT_EQ(left.size(), 1u) << left.back();
        const Bytes now = FileOf(left[0]);
        const bool unchanged = left[0] == "Three.PDB" && now == before;
        const bool changed = left[0] == names[0] && now == after;
        EXPECT_TRUE(unchanged || changed);
        if (reported) {
            EXPECT_EQ(*reported, changed);
        }
    }
}

std::string ChangeAndFaultName(
    const ::testing::TestParamInfo<PdbInterruptedChange::ParamType>& info) {
    static constexpr const char* kFaults[] = {"Write", "ReadError", "ShortRead"};
    return std::string(std::get<0>(info.param).name) +
           kFaults[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Changes, PdbInterruptedChange,
                         ::testing::Combine(::testing::ValuesIn(kChanges),
                                            ::testing::Values(Fault::Write, Fault::ReadError,
                                                              Fault::ShortRead)),
                         ChangeAndFaultName);

// Another writer shortens the file in place after it was opened (the last record loses its
// bytes): no change may take the records it can no longer read for empty ones; each
// refuses and leaves the file as that writer left it.
class PdbChangeOfAShortenedFile : public PdbFileTest,
                                  public ::testing::WithParamInterface<Change> {};

TEST_P(PdbChangeOfAShortenedFile, RefusesAndLeavesTheFile) {
    MakeThree();
    ASSERT_EQ(pdb_.Open(Path("Three.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
    Bytes shortened = FileOf("Three.PDB");
    shortened.resize(shortened.size() - 2);
    std::filesystem::resize_file(Host("Three.PDB"), shortened.size());
    const std::optional<bool> reported = GetParam().run(pdb_);
    pdb_.Close();
    EXPECT_NE(reported, std::optional<bool>(true));
    EXPECT_EQ(Files(), (std::vector<std::string>{"Three.PDB"}));
    EXPECT_EQ(FileOf("Three.PDB"), shortened);
}

INSTANTIATE_TEST_SUITE_P(Changes, PdbChangeOfAShortenedFile, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return info.param.name; });

}  // namespace
