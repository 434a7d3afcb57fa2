#include "platform/host/HostHandheldFs.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <algorithm>
#include <filesystem>

#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// A device root inside a folder that also holds a file outside the device.
class HostHandheldFsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_ / "root");
        WriteHostFile(folder_ / "outside.PDB", {'o', 'u', 't'});
        WriteHostFile(folder_ / "root/My Documents/TV_Sony.PDB", {1, 2, 3, 4});
    }

    std::vector<uint8_t> ReadAll(const std::string& path) {
        FsError error = FsError::None;
        auto file = device_.Open(path, FsOpen::Read, error);
        if (!file) {
            return {};
        }
        std::vector<uint8_t> bytes(file->Length());
        EXPECT_TRUE(file->Read(0, bytes.data(), bytes.size()));
        return bytes;
    }

    TempFolder folder_;
    HostHandheldFs device_{folder_ / "root"};
};

TEST_F(HostHandheldFsTest, LookupIgnoresLetterCase) {
    EXPECT_EQ(ReadAll("\\MY DOCUMENTS\\tv_sony.pdb"), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(device_.FileExists("\\my documents\\TV_SONY.PDB"));
    EXPECT_FALSE(device_.FileExists("\\My Documents"));  // a folder is not a file
}

TEST_F(HostHandheldFsTest, CreateKeepsTheNameOfAFileThatIsThere) {
    FsError error = FsError::None;
    ASSERT_TRUE(device_.Open("\\my documents\\tv_sony.pdb", FsOpen::Create, error));
    ASSERT_TRUE(device_.Open("\\my documents\\New.PDB", FsOpen::Create, error));
    EXPECT_EQ(device_.ListFiles("\\My Documents\\", "*"),
              (std::vector<std::string>{"New.PDB", "TV_Sony.PDB"}));
    EXPECT_TRUE(ReadHostFile(folder_ / "root/My Documents/TV_Sony.PDB").empty());
}

struct RefusedPath {
    const char* name;
    const char* path;
    FsError error;
};

class HostHandheldFsRefuses : public HostHandheldFsTest,
                              public ::testing::WithParamInterface<RefusedPath> {};

TEST_P(HostHandheldFsRefuses, PathsThatLeaveTheDevice) {
    fs::create_symlink(folder_.Path(), folder_.Path() / "root/link");
    const std::string path = GetParam().path;
    FsError error = FsError::None;
    EXPECT_EQ(device_.Open(path, FsOpen::Read, error), nullptr);
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(device_.Open(path, FsOpen::Create, error), nullptr);
    EXPECT_EQ(error, GetParam().error);
    EXPECT_FALSE(device_.FileExists(path));
    EXPECT_NE(device_.Rename("\\My Documents\\TV_Sony.PDB", path, true), FsError::None);
    EXPECT_TRUE(device_.FileExists("\\My Documents\\TV_Sony.PDB"));
    EXPECT_EQ(ReadHostFile(folder_ / "outside.PDB"), (std::vector<uint8_t>{'o', 'u', 't'}));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, HostHandheldFsRefuses,
    ::testing::Values(
        RefusedPath{"DotDot", "\\..\\outside.PDB", FsError::NotFound},
        RefusedPath{"DotDotDeeper", "\\My Documents\\..\\..\\outside.PDB", FsError::NotFound},
        RefusedPath{"HostSeparator", "\\My Documents/../../outside.PDB", FsError::NotFound},
        RefusedPath{"HostPath", "/outside.PDB", FsError::NotFound},
        RefusedPath{"Dot", "\\.\\My Documents\\TV_Sony.PDB", FsError::NotFound},
        RefusedPath{"SymbolicLink", "\\link\\outside.PDB", FsError::NotFound},
        RefusedPath{"Wildcard", "\\My Documents\\*.PDB", FsError::InvalidPath},
        RefusedPath{"ControlCharacter", "\\My Documents\\a\nb.PDB", FsError::InvalidPath},
        RefusedPath{"TheRootItself", "\\", FsError::NotFound}),
    [](const auto& info) { return info.param.name; });

TEST_F(HostHandheldFsTest, ListsMatchingFilesIgnoringCase) {
    for (const char* name : {"a.PDB", "b.pdb", "c.txt", "d.PDB.new"}) {
        WriteHostFile(folder_ / (std::string("root/My Documents/") + name), {0});
    }
    fs::create_directories(folder_ / "root/My Documents/Folder.PDB");
    EXPECT_EQ(device_.ListFiles("\\my documents\\", "*.PDB"),
              (std::vector<std::string>{"TV_Sony.PDB", "a.PDB", "b.pdb"}));
    EXPECT_TRUE(device_.ListFiles("\\Missing\\", "*.PDB").empty());
    EXPECT_TRUE(device_.ListFiles("\\..\\", "*.PDB").empty());
}

// The heads of a folder's files, read beside the folder, are what opening each listed file
// by its path gives; links, pipes and folders are left out, as opening them by path does.
TEST_F(HostHandheldFsTest, FileHeadsAreTheListedFilesFirstBytes) {
    WriteHostFile(folder_ / "root/My Documents/long.PDB", std::vector<uint8_t>(100, 7));
    WriteHostFile(folder_ / "root/My Documents/empty.pdb", {});
    WriteHostFile(folder_ / "root/My Documents/other.txt", {9});
    fs::create_directories(folder_ / "root/My Documents/Folder.PDB");
    fs::create_symlink(folder_ / "outside.PDB", folder_ / "root/My Documents/link.PDB");
    ASSERT_EQ(::mkfifo((folder_ / "root/My Documents/pipe.PDB").c_str(), 0600), 0);

    const auto heads = device_.ReadFileHeads("\\my documents", "*.PDB", 8);
    std::vector<std::string> names;
    for (const auto& head : heads) {
        names.push_back(head.name);
        EXPECT_TRUE(head.readable) << head.name;
        const std::vector<uint8_t> all = ReadAll("\\My Documents\\" + head.name);
        EXPECT_EQ(head.length, all.size()) << head.name;
        EXPECT_EQ(head.bytes,
                  std::vector<uint8_t>(all.begin(), all.begin() + std::min<size_t>(8, all.size())))
            << head.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"TV_Sony.PDB", "empty.pdb", "long.PDB"}));
    EXPECT_TRUE(device_.ReadFileHeads("\\Missing", "*.PDB", 8).empty());
    EXPECT_TRUE(device_.ReadFileHeads("\\..", "*.PDB", 8).empty());
}

struct PatternCase {
    const char* name;
    const char* pattern;
    bool matches;
};

class FilePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FilePattern, Matches) {
    EXPECT_EQ(MatchesFilePattern(GetParam().name, GetParam().pattern), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePattern,
    ::testing::Values(PatternCase{"TV_Sony.PDB", "*.PDB", true},
                      PatternCase{"tv_sony.pdb", "*.PDB", true},
                      PatternCase{"TV_Sony.PDB.new", "*.PDB", false},
                      PatternCase{".PDB", "*.PDB", true}, PatternCase{"a.PDB.PDB", "*.PDB", true},
                      PatternCase{"PDB", "*.PDB", false}, PatternCase{"ab", "a?", true},
                      PatternCase{"a", "a?", false}, PatternCase{"", "*", true}));

TEST_F(HostHandheldFsTest, RenameReplacesOnlyWhenAsked) {
    WriteHostFile(folder_ / "root/My Documents/Other.PDB", {9});
    EXPECT_EQ(device_.Rename("\\My Documents\\Other.PDB", "\\My Documents\\tv_sony.pdb", false),
              FsError::Exists);
    EXPECT_EQ(device_.Rename("\\My Documents\\Other.PDB", "\\My Documents\\tv_sony.pdb", true),
              FsError::None);
    EXPECT_EQ(device_.ListFiles("\\My Documents", "*"), (std::vector<std::string>{"TV_Sony.PDB"}));
    EXPECT_EQ(ReadAll("\\My Documents\\TV_Sony.PDB"), (std::vector<uint8_t>{9}));
}

TEST_F(HostHandheldFsTest, RenameMayChangeOnlyTheLetterCase) {
    EXPECT_EQ(device_.Rename("\\My Documents\\TV_Sony.PDB", "\\My Documents\\TV_SONY.PDB", false),
              FsError::None);
    EXPECT_EQ(device_.ListFiles("\\My Documents", "*"), (std::vector<std::string>{"TV_SONY.PDB"}));
}

// The process's file size limit, which the kernel enforces on every write as a full medium
// would: a write goes in up to the limit and fails beyond it.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // the failing call says so itself
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldSignal_)(int) = SIG_DFL;
};

// A write that the medium takes only in part fails, and what went in stays; a length the
// medium cannot hold fails too.
TEST_F(HostHandheldFsTest, AWriteTheMediumRefusesFailsAndKeepsWhatWentIn) {
    FsError error = FsError::None;
    auto file = device_.Open("\\My Documents\\New.PDB", FsOpen::Create, error);
    ASSERT_TRUE(file);
    const FileSizeLimit limit(4);
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(file->Write(0, bytes, 2));
    EXPECT_FALSE(file->Write(2, bytes + 2, 4));
    EXPECT_FALSE(file->SetLength(8));
    EXPECT_TRUE(file->Flush());
    EXPECT_EQ(file->Length(), 4u);
    EXPECT_EQ(ReadAll("\\My Documents\\New.PDB"), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST_F(HostHandheldFsTest, ReadOnlyFilesRefuseWrites) {
    FsError error = FsError::None;
    auto file = device_.Open("\\My Documents\\TV_Sony.PDB", FsOpen::Read, error);
    ASSERT_TRUE(file);
    const uint8_t byte = 7;
    EXPECT_FALSE(file->Write(0, &byte, 1));
    EXPECT_FALSE(file->SetLength(0));
    EXPECT_EQ(ReadAll("\\My Documents\\TV_Sony.PDB"), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST_F(HostHandheldFsTest, ClockAndProgramPath) {
    EXPECT_EQ(device_.ProgramPath(), "\\Program Files\\ArdelRemote\\ArdelRemote.exe");
    // 2020-01-01 in 100-ns steps since 1601: the host clock is later than that.
    EXPECT_GT(device_.SystemTime(), 132223104000000000ULL);
    device_.SetFixedTime(42);
    EXPECT_EQ(device_.SystemTime(), 42u);
}

}  // namespace
