#include "codes/CodeIndex.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <fstream>
#include <map>

#include "store/Catalogue.h"
#include "tests/codes/CodeFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

// "Brand | Model" of each remote found, in the order found.
std::vector<std::string> Names(const std::vector<CodeRemote>& remotes) {
    std::vector<std::string> names;
    for (const CodeRemote& remote : remotes) {
        names.push_back((remote.brand + " | " + remote.model).toStdString());
    }
    return names;
}

// Every file below a folder with its size, time and content, to see that nothing changed.
std::map<QString, QString> Snapshot(const QString& folder) {
    std::map<QString, QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[path] = QString::number(it.fileInfo().size()) + " " +
                      QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch()) + " " +
                      QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
    }
    return files;
}

class CodeIndexTest : public ::testing::Test {
  protected:
    void SetUp() override { CopyCodeFixtures(folder.Path()); }

    QString Collection(const char* name) const { return QString::fromStdString(folder / name); }
    QStringList Both() const { return {Collection("lirc"), Collection("flipper")}; }
    QString Cache() const { return QString::fromStdString(folder / "cache/codes.index"); }

    TempFolder folder;
};

TEST_F(CodeIndexTest, FindsRemotesByBrandAndModelWordsAndByCategory) {
    CCodeIndex index(Cache());
    index.Refresh(Both());
    struct Case {
        const char* text;
        int category;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {"samsung", kCategoryTv, {"Samsung | bn59", "Samsung | BN59-01315J"}},
        {"samsung", kCategoryAudio, {"Samsung | HW-Q60"}},
        // Any letter case, the beginning of a word, any category.
        {"SAMS", kCategoryUnknown, {"Samsung | bn59", "Samsung | BN59-01315J", "Samsung | HW-Q60"}},
        {"", kCategoryAudio, {"Samsung | HW-Q60", "Yamaha | rav315"}},
        // Every word must match, each in brand or model.
        {"lg akb", kCategoryUnknown, {"LG | AKB75095307"}},
        {"samsung 1315", kCategoryUnknown, {}},
        {"samsung 0131", kCategoryUnknown, {"Samsung | BN59-01315J"}},
        // Words inside a word, and the comments, do not match.
        {"sung", kCategoryUnknown, {}},
        {"bravia", kCategoryUnknown, {}},
        {"sony", kCategoryTv, {"Sony | rm-ed047"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(index.Search({c.text, c.category, {}})), c.found)
            << c.text << " in category " << c.category;
    }
    // Only the collections asked for.
    EXPECT_EQ(Names(index.Search({"samsung", kCategoryTv, {Collection("flipper")}})),
              std::vector<std::string>{"Samsung | BN59-01315J"});
}

TEST_F(CodeIndexTest, ListsRemoteFilesOnlyWithTheirButtonsAndFiles) {
    CCodeIndex index(Cache());
    const CodeRefreshStats stats = index.Refresh(Both());
    // Neither the README nor LIRC's mouse file is taken for a remote file.
    EXPECT_EQ(stats.files, 7);
    const std::vector<CodeRemote> all = index.Search({});
    ASSERT_EQ(all.size(), 6u);
    const CodeRemote& yamaha = all.back();
    EXPECT_EQ(yamaha.remoteName, "RAV-315");
    EXPECT_EQ(yamaha.buttons, 3);
    EXPECT_EQ(yamaha.file, Collection("lirc") + "/yamaha/lircd.conf.rav315");
}

TEST_F(CodeIndexTest, IdsStayTheSameAcrossRunsAndCaches) {
    std::map<QString, QString> first;
    {
        CCodeIndex index(Cache());
        index.Refresh(Both());
        for (const CodeRemote& remote : index.Search({})) {
            first[remote.file + "|" + remote.remoteName] = remote.id;
            EXPECT_EQ(remote.id, CodeRemoteId(remote.file, remote.remoteName));
        }
    }
    // A run with the cache reads nothing again; a run without one reads everything; both
    // give the same ids.
    CCodeIndex cached(Cache());
    EXPECT_EQ(cached.Refresh(Both()).read, 0);
    CCodeIndex fresh;
    EXPECT_EQ(fresh.Refresh(Both()).read, 7);
    for (const CCodeIndex* index : {&cached, &fresh}) {
        std::map<QString, QString> again;
        for (const CodeRemote& remote : index->Search({})) {
            again[remote.file + "|" + remote.remoteName] = remote.id;
        }
        EXPECT_EQ(again, first);
    }
    std::set<QString> ids;
    for (const auto& [key, id] : first) {
        ids.insert(id);
        EXPECT_NE(cached.Find(id.toUpper()), nullptr) << id.toStdString();
    }
    EXPECT_EQ(ids.size(), first.size());
    EXPECT_EQ(cached.Find("000000000000"), nullptr);
}

TEST_F(CodeIndexTest, ReadsAgainOnlyWhatChangedAndForgetsWhatWent) {
    CCodeIndex index(Cache());
    ASSERT_EQ(index.Refresh(Both()).read, 7);
    EXPECT_EQ(index.Refresh(Both()).read, 0);

    // A button more: the file is longer, and read again.
    const std::string lg = folder / "flipper/TVs/LG/LG_AKB75095307.ir";
    std::ofstream(lg, std::ios::app)
        << "# \nname: Ch_next\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
           "command: 00 00 00 00\n";
    // Same size, other time.
    const std::string sony = folder / "lirc/sony/lircd.conf.rm-ed047";
    std::filesystem::last_write_time(
        sony, std::filesystem::last_write_time(sony) - std::chrono::hours(1));
    std::filesystem::remove(folder / "lirc/yamaha/lircd.conf.rav315");

    CCodeIndex next(Cache());  // another run, from the cache
    EXPECT_EQ(next.Refresh(Both()).read, 2);
    const std::vector<CodeRemote> lgFound = next.Search({"lg"});
    ASSERT_EQ(lgFound.size(), 1u);
    EXPECT_EQ(lgFound[0].buttons, 4);
    EXPECT_TRUE(next.Search({"yamaha"}).empty());
    EXPECT_EQ(next.Search({}).size(), 5u);
}

TEST_F(CodeIndexTest, LeavesOutAFileThatCannotBeReadWithItsReason) {
    // A file that cannot be opened at all (where permissions hold: not for root).
    const std::string locked = folder / "flipper/TVs/LG/LG_Locked.ir";
    std::ofstream(locked) << "Filetype: IR signals file\n";
    std::filesystem::permissions(locked, std::filesystem::perms::none);

    CCodeIndex index(Cache());
    index.Refresh(Both());
    const std::vector<CodeProblem> problems = index.Problems({Collection("flipper")});
    ASSERT_GE(problems.size(), 1u);
    EXPECT_EQ(problems[0].file, Collection("flipper") + "/TVs/Broken/Broken_X1.ir");
    EXPECT_EQ(problems[0].reason, "line 4: 'Power' has no command");
    EXPECT_TRUE(index.Search({"broken"}).empty());
    EXPECT_TRUE(index.Problems({Collection("lirc")}).empty());
    // The problem is kept in the cache as well.
    CCodeIndex cached(Cache());
    cached.Refresh(Both());
    EXPECT_EQ(cached.Problems().size(), problems.size());
}

TEST_F(CodeIndexTest, ChangesNothingInTheCollections) {
    const std::map<QString, QString> before = Snapshot(QString::fromStdString(folder.Path()));
    CCodeIndex index(Cache());
    index.Refresh(Both());
    for (const CodeRemote& remote : index.Search({})) {
        EXPECT_TRUE(ReadCodeRemote(remote).error.isEmpty());
    }
    std::map<QString, QString> after = Snapshot(QString::fromStdString(folder.Path()));
    after.erase(Cache());
    EXPECT_EQ(after, before);
}

TEST_F(CodeIndexTest, ADamagedCacheIsMadeAnew) {
    CCodeIndex index(Cache());
    index.Refresh(Both());
    QFile cache(Cache());
    ASSERT_TRUE(cache.open(QIODevice::ReadWrite));
    cache.resize(cache.size() / 2);
    cache.close();
    CCodeIndex again(Cache());
    EXPECT_EQ(again.Refresh(Both()).read, 7);
    EXPECT_EQ(again.Search({}).size(), 6u);
}

TEST_F(CodeIndexTest, GivesARemoteAndItsButtonsBack) {
    CCodeIndex index;
    index.Refresh(Both());
    const std::vector<CodeRemote> found = index.Search({"samsung 01315"});
    ASSERT_EQ(found.size(), 1u);
    const ImportResult read = ReadCodeRemote(found[0]);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    ASSERT_EQ(read.remotes.size(), 1u);
    const ImportedRemote& remote = read.remotes[0];
    struct Case {
        const char* asked;
        const char* found;  // null: none
    };
    const Case cases[] = {{"", "Power"},
                          {"power", "Power"},
                          {"Vol+", "Vol_up"},
                          {"ch_next", "Ch_next"},
                          {"Mute", nullptr}};
    for (const Case& c : cases) {
        const ImportedButton* button = FindCodeButton(remote, kCategoryTv, c.asked);
        if (!c.found) {
            EXPECT_EQ(button, nullptr) << c.asked;
        } else {
            ASSERT_NE(button, nullptr) << c.asked;
            EXPECT_EQ(button->name, c.found);
        }
    }
    // A file that no longer holds the remote says so.
    CodeRemote moved = found[0];
    moved.id = "000000000000";
    EXPECT_TRUE(ReadCodeRemote(moved).error.contains("no longer holds"))
        << ReadCodeRemote(moved).error.toStdString();
}

TEST_F(CodeIndexTest, BrandsOfACategoryForSuggestions) {
    CCodeIndex index;
    index.Refresh(Both());
    EXPECT_EQ(index.Brands(kCategoryTv), (QStringList{"LG", "Samsung", "Sony"}));
    EXPECT_EQ(index.Brands(kCategoryAudio), (QStringList{"Samsung", "Yamaha"}));
}

}  // namespace
