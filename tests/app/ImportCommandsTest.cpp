#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ctl/Commands.h"
#include "tests/app/CtlRun.h"
#include "tests/support/TempFolder.h"

namespace {

CtlRun Ctl(const CtlArgs& args) {
    return RunCommand(RunCtl, args);
}

std::string Fixture(const std::string& name) {
    return std::string(ARDEL_TEST_DATA) + "/../store/formats/fixtures/" + name;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The files below a folder, by path relative to it.
std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(std::filesystem::relative(entry.path(), folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

constexpr const char* kTvPath = "\\Program Files\\ArdelRemote\\CodeBases\\TV_tv.PDB";

class ImportCommand : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& content) {
        std::ofstream(folder / name, std::ios::binary) << content;
        return folder / name;
    }
    std::string Root() const { return (folder.Path() / "root").string(); }
    std::string Codebase(const std::string& name) const {
        return Root() + "/Program Files/ArdelRemote/CodeBases/" + name;
    }
    void SetUp() override { std::filesystem::create_directory(Root()); }

    TempFolder folder;
};

TEST_F(ImportCommand, MakesACodebaseAndReportsWhatItLeftOut) {
    const CtlRun run = Ctl({"import", Fixture("tv.ir"), "--root", Root()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string("codebase: ") + kTvPath + "\nbuttons: 2\n");
    EXPECT_TRUE(Contains(run.err, "skipped 'Mystery' of 'tv' (line 17): unknown protocol 'Foo'"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "skipped 'Too far' of 'tv' (line 23): address 0x100")) << run.err;

    const CtlRun list = Ctl({"codebase", "list", "--root", Root()});
    EXPECT_EQ(list.out, std::string("TV\ttv\t") + kTvPath + "\n");

    // The power button decodes as what the file says it is, under its on-screen name as well.
    const CtlRun decode = Ctl({"decode", "--codebase", Codebase("TV_tv.PDB")});
    EXPECT_EQ(decode.out,
              "Power\t1\tNEC\t0x4\t0x8\nVol_up\t1\tunknown\t\t\nVol+\t1\tunknown\t\t\n");
}

// A LIRC file names what it cannot give: a remote of a receiver's code table has no timing to
// send, and an included file is not read.
TEST_F(ImportCommand, LircFileTellsWhatItLeftOut) {
    const std::string file = Write("two.lircd.conf",
                                   "include \"more.conf\"\n"
                                   "begin remote\n  name Table\n  bits 8\n  one 0 0\n  zero 0 0\n"
                                   "  begin codes\n    KEY_POWER 0x01\n  end codes\nend remote\n"
                                   "begin remote\n  name Living\n  flags RAW_CODES\n  gap 40000\n"
                                   "  begin raw_codes\n    name KEY_POWER\n      900 450 560\n"
                                   "  end raw_codes\nend remote\n");
    const CtlRun run = Ctl({"import", file, "--root", Root(), "--category", "TV"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "codebase: \\Program Files\\ArdelRemote\\CodeBases\\TV_Living.PDB\nbuttons: 1\n");
    EXPECT_TRUE(Contains(run.err, "two.lircd.conf, line 1: other files are included here"))
        << run.err;
    EXPECT_TRUE(Contains(run.err, "skipped 'KEY_POWER' of 'Table' (line 8)")) << run.err;
    EXPECT_TRUE(Contains(run.err, "skipped remote 'Table' (line 2)")) << run.err;
    const CtlRun decode = Ctl({"codebase", "show", Codebase("TV_Living.PDB")});
    EXPECT_TRUE(Contains(decode.out, "Power")) << decode.out;
}

TEST_F(ImportCommand, OptionsNameCategoryAndFormat) {
    const CtlRun run = Ctl({"import", Fixture("codes.pronto"), "--root", Root(), "--format",
                            "pronto", "--category", "dvd/cd", "--name", "Shelf"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "codebase: \\Program Files\\ArdelRemote\\CodeBases\\DVD_Shelf.PDB\nbuttons: 3\n");
    const CtlRun wrong = Ctl({"import", Fixture("tv.ir"), "--root", Root(), "--format", "pronto"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(Contains(wrong.err, "tv.ir: line 1:")) << wrong.err;
}

TEST_F(ImportCommand, ReplacesOnlyWithReplace) {
    ASSERT_EQ(Ctl({"import", Fixture("tv.ir"), "--root", Root()}).status, 0);
    const auto before = std::filesystem::last_write_time(Codebase("TV_tv.PDB"));
    const CtlRun again = Ctl({"import", Fixture("tv.ir"), "--root", Root()});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_TRUE(Contains(again.err, "'TV_tv' exists already")) << again.err;
    EXPECT_TRUE(Contains(again.err, "--replace")) << again.err;
    EXPECT_EQ(std::filesystem::last_write_time(Codebase("TV_tv.PDB")), before);
    const CtlRun replaced = Ctl({"import", Fixture("tv.ir"), "--root", Root(), "--replace"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(FilesBelow(Root()).size(), 1u);
}

struct BadFile {
    const char* name;
    std::string content;
    const char* message;  // after the file's name
    // A file of this many '0' bytes instead of `content`: made when the case runs, since the
    // cases are built whenever the test program starts.
    size_t zeros = 0;
};

class ImportRefuses : public ImportCommand, public ::testing::WithParamInterface<BadFile> {};

TEST_P(ImportRefuses, WithFileAndLineAndLeavesNothing) {
    const BadFile& bad = GetParam();
    const std::string file =
        Write("codes.txt", bad.zeros ? std::string(bad.zeros, '0') : bad.content);
    const CtlRun run = Ctl({"import", file, "--root", Root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, "ardelctl import: " + file + bad.message)) << run.err;
    EXPECT_EQ(FilesBelow(Root()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportRefuses,
    ::testing::Values(
        BadFile{"Empty", "", ": line 1: the file is empty"},
        BadFile{"Garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
                ": line 3: binary data, not a file of IR codes"},
        BadFile{"TruncatedPronto", "Power: 0000 006D 0002 0002 0156 00AB 0015",
                ": line 1: the code ends after 7 of the 12 words"},
        BadFile{"WrongPairCount",
                "# one pair too many\nA: 0000 006D 0000 0001 0010 0400 0010 0400\n",
                ": line 2: words left over"},
        BadFile{"TruncatedBroadlink", "Power: JgAKAAABEokRMxE=\n", ": line 1: truncated"},
        BadFile{"NothingStorable",
                "Filetype: IR signals file\nVersion: 1\nname: A\ntype: parsed\n"
                "protocol: Foo\naddress: 01\ncommand: 02\n",
                ": no button of the file can be stored"},
        BadFile{"FiftyMegabytes", "", ": 52428800 bytes, more than the 16 MB", 50 * 1024 * 1024}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportCommand, RefusesACommandLineThatDoesNotFit) {
    const std::string file = Fixture("tv.ir");
    CtlRun run = Ctl({"import", file, "--root", Root(), "--category", "Toaster"});
    EXPECT_EQ(run.status, kCtlUsage);
    EXPECT_TRUE(Contains(run.err, "unknown category 'Toaster'; categories: TV (TV), Cab/Sat (CAB)"))
        << run.err;
    run = Ctl({"import", file, "--root", Root(), "--format", "wav"});
    EXPECT_EQ(run.status, kCtlUsage);
    run = Ctl({"import", file, "--root", Root(), "--name", "a|b"});
    EXPECT_EQ(run.status, kCtlUsage);
    EXPECT_TRUE(Contains(run.err, "'|'")) << run.err;
    run = Ctl({"import", (folder / "missing.txt"), "--root", Root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "missing.txt: cannot be opened")) << run.err;
    run = Ctl({"import", file, "--root", (folder / "nowhere")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FilesBelow(Root()), std::vector<std::string>{});
}

class ExportCommand : public ImportCommand {
  protected:
    void SetUp() override {
        ImportCommand::SetUp();
        ASSERT_EQ(Ctl({"import", Fixture("codes.pronto"), "--root", Root(), "--name", "Box",
                       "--category", "TV"})
                      .status,
                  0);
    }
    std::string Box() const { return Codebase("TV_Box.PDB"); }
};

TEST_F(ExportCommand, OneLinePerButtonForProntoAndBroadlink) {
    CtlRun run = Ctl({"export", "--codebase", Box(), "--format", "pronto"});
    EXPECT_EQ(run.status, 0) << run.err;
    // "Power" is its own on-screen button: the file holds it once. The codebase keeps the
    // carrier in whole microseconds (26 for the file's word 0x6D), so the cycles are counted
    // again at the stored period (word 0x6C), and an intro alone became a frame that repeats.
    EXPECT_EQ(run.out,
              "Power: 0000 006C 0002 0002 0159 00AD 0015 0042 0159 0057 0015 0E71\n"
              "Mute: 0000 0074 0000 0003 0020 0020 003F 0020 0020 0BE6\n"
              "Intro only: 0000 006C 0000 0001 0159 0E71\n");
    run = Ctl({"export", "--codebase", Box(), "--format", "broadlink", "--button", "Mute"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("Mute: Jg")) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}

TEST_F(ExportCommand, ExportsImportAgain) {
    for (const char* format : {"pronto", "broadlink", "flipper", "lircd"}) {
        const CtlRun run = Ctl({"export", "--codebase", Box(), "--format", format});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string file = Write(std::string("export.") + format, run.out);
        const std::string other = (folder.Path() / format).string();
        std::filesystem::create_directory(other);
        const CtlRun back = Ctl({"import", file, "--root", other, "--name", "Box"});
        EXPECT_EQ(back.status, 0) << format << ": " << back.err;
        EXPECT_EQ(back.out,
                  "codebase: \\Program Files\\ArdelRemote\\CodeBases\\TV_Box.PDB\nbuttons: 3\n")
            << format;
        // Once rounded to the format's resolution, a signal goes through it unchanged: the
        // imported codebase exports to the same text.
        const CtlRun again =
            Ctl({"export", "--codebase", other + "/Program Files/ArdelRemote/CodeBases/TV_Box.PDB",
                 "--format", format});
        EXPECT_EQ(again.out, run.out) << format;
    }
    const CtlRun lircd = Ctl({"export", "--codebase", Box(), "--format", "lircd"});
    EXPECT_EQ(lircd.status, 0);
    EXPECT_TRUE(lircd.out.starts_with("begin remote\n\n  name  TV_Box\n  flags RAW_CODES\n"))
        << lircd.out;
    EXPECT_TRUE(Contains(lircd.out, "    name Intro_only\n")) << lircd.out;
}

TEST_F(ExportCommand, RefusesWhatItCannotExport) {
    CtlRun run = Ctl({"export", "--codebase", Box(), "--format", "pronto", "--button", "Nope"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "has no button 'Nope'")) << run.err;
    run = Ctl({"export", "--codebase", (folder / "none.PDB"), "--format", "pronto"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "cannot open")) << run.err;
    run = Ctl({"export", "--codebase", Box(), "--format", "wav"});
    EXPECT_EQ(run.status, kCtlUsage);
    run = Ctl({"export", "--codebase", Box()});
    EXPECT_EQ(run.status, kCtlUsage);
    run = Ctl({"export", "--codebase", Box(), "--format", "pronto", "--signal", "3"});
    EXPECT_EQ(run.status, kCtlUsage);
}

}  // namespace
