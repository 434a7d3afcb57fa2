#include "app/ctl/CodesCommands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "app/ctl/Commands.h"
#include "app/ctl/LircCommands.h"
#include "codes/CodeIndex.h"
#include "ir/protocols/IrProtocol.h"
#include "tests/codes/CodeFixtures.h"
#include "tests/support/FuseLircDevice.h"
#include "tests/support/TempFolder.h"

namespace {

struct CodesRun {
    int status;
    std::string out, err;
};

// The value after "key: " in a command's output.
std::string Field(const std::string& output, const std::string& key) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + ": ", 0) == 0) {
            return line.substr(key.size() + 2);
        }
    }
    return "<missing>";
}

std::vector<int32_t> ParseDurations(const std::string& text) {
    std::vector<int32_t> durations;
    std::istringstream in(text);
    for (std::string value; std::getline(in, value, ',');) {
        durations.push_back(std::stoi(value));
    }
    return durations;
}

// "PROTOCOL ADDRESS COMMAND" of a signal's first frame.
std::string Decoded(const std::vector<int32_t>& durations, uint32_t carrierUs) {
    const IrDecoded decoded = DecodeIrSignal(durations, carrierUs);
    if (!decoded.protocol) {
        return "none";
    }
    return std::string(decoded.protocol->name) + " " + IrHex(decoded.frame.code.address) + " " +
           IrHex(decoded.frame.code.command);
}

class CodesCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        CopyCodeFixtures(folder.Path());
        // The copied LIRC collection stands for the system's database.
        places = {{Collection("lirc")}, QString::fromStdString(folder / "cache/codes.index")};
    }

    QString Collection(const char* name) const { return QString::fromStdString(folder / name); }

    CodesRun Search(const CodesSearchOptions& options) {
        std::ostringstream out, err;
        const int status = RunCodesSearch(options, places, out, err);
        return {status, out.str(), err.str()};
    }

    // The id of the one remote that `text` finds in both collections.
    std::string IdOf(const std::string& text) {
        const CodesRun run = Search({text, "", {Collection("flipper").toStdString()}, false});
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
        return run.out.substr(0, run.out.find('\t'));
    }

    CodesRun Try(const CodesTryOptions& options, LircServices* lirc = nullptr) {
        std::ostringstream out, err;
        const int status = RunCodesTry(options, places, lirc, out, err);
        return {status, out.str(), err.str()};
    }

    TempFolder folder;
    CodesPlaces places;
};

TEST_F(CodesCommands, SearchPrintsOneLinePerRemoteOfEveryCollection) {
    const std::string flipper = Collection("flipper").toStdString();
    const CodesRun run = Search({"samsung", "TV", {flipper}, false});
    EXPECT_EQ(run.status, 0) << run.err;
    const QString lircFile = Collection("lirc") + "/samsung/lircd.conf.bn59";
    const QString flipperFile = Collection("flipper") + "/TVs/Samsung/Samsung_BN59-01315J.ir";
    EXPECT_EQ(run.out, CodeRemoteId(lircFile, "Samsung_BN59").toStdString() +
                           "\tSamsung\tbn59\tTV\t3\t" + lircFile.toStdString() + "\n" +
                           CodeRemoteId(flipperFile, "Samsung_BN59-01315J").toStdString() +
                           "\tSamsung\tBN59-01315J\tTV\t3\t" + flipperFile.toStdString() + "\n");
    EXPECT_EQ(run.err, "");
    // Without --dir only the system's collection; --verbose tells what was left out.
    const CodesRun lirc = Search({"", "audio", {}, true});
    EXPECT_EQ(lirc.out.substr(12), "\tYamaha\trav315\tAudio\t3\t" +
                                       Collection("lirc").toStdString() +
                                       "/yamaha/lircd.conf.rav315\n");
    EXPECT_EQ(Search({"", "", {flipper}, true}).err,
              "ardelctl codes search: left out " + flipper +
                  "/TVs/Broken/Broken_X1.ir: line 4: 'Power' has no command\n"
                  "ardelctl codes search: 7 files in " +
                  Collection("lirc").toStdString() + ", " + flipper + ", 0 of them read anew\n");
}

TEST_F(CodesCommands, SearchRefusesWhatDoesNotFit) {
    const CodesRun category = Search({"", "Fridge", {}, false});
    EXPECT_EQ(category.status, kCtlUsage);
    EXPECT_NE(category.err.find("unknown category 'Fridge'"), std::string::npos) << category.err;
    const CodesRun missing = Search({"", "", {folder / "nowhere"}, false});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ardelctl codes search: '" + folder / "nowhere" + "' is not a folder\n");
    places.systemCollections.clear();
    const CodesRun none = Search({});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no code collection"), std::string::npos) << none.err;
}

// The command line: TEXT, --category and --dir (given twice) in any order.
TEST_F(CodesCommands, CommandLineTakesRepeatedFolders) {
    const std::string cache = folder / "xdg";
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::istringstream in;
    std::ostringstream out, err;
    const int status = RunCtl({"codes", "search", "--dir", folder / "lirc", "lg", "--dir",
                               folder / "flipper", "--category", "TV"},
                              in, out, err);
    ::unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_NE(out.str().find("\tLG\tAKB75095307\tTV\t3\t"), std::string::npos) << out.str();
    EXPECT_TRUE(std::filesystem::exists(cache + "/ardelremote/codes.index"));
}

TEST_F(CodesCommands, ImportMakesTheSameCodebaseAsImportingTheFile) {
    const std::string id = IdOf("lg");
    std::filesystem::create_directories(folder / "a");
    std::filesystem::create_directories(folder / "b");
    std::ostringstream codesOut, codesErr, fileOut, fileErr;
    CodesImportOptions codes{id, {}};
    codes.import.root = folder / "a";
    ASSERT_EQ(RunCodesImport(codes, places, codesOut, codesErr), 0) << codesErr.str();
    ImportCommandOptions file;
    file.file = folder / "flipper/TVs/LG/LG_AKB75095307.ir";
    file.root = folder / "b";
    ASSERT_EQ(RunImportCommand(file, fileOut, fileErr), 0) << fileErr.str();
    EXPECT_EQ(codesOut.str(), fileOut.str());
    EXPECT_EQ(Field(codesOut.str(), "buttons"), "3");

    // The same buttons with the same signals.
    const std::string codebase = Field(codesOut.str(), "codebase");
    std::string relative = codebase;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    std::istringstream in;
    std::ostringstream showA, showB, err;
    ASSERT_EQ(RunCodebase({"show", folder / "a" + relative}, in, showA, err), 0) << err.str();
    ASSERT_EQ(RunCodebase({"show", folder / "b" + relative}, in, showB, err), 0) << err.str();
    EXPECT_EQ(showA.str(), showB.str());
    EXPECT_NE(showA.str().find("Power"), std::string::npos);

    // Category and name as import takes them; an existing codebase only with --replace.
    codes.import.category = "Audio";
    codes.import.name = "Den";
    std::ostringstream out, taken;
    ASSERT_EQ(RunCodesImport(codes, places, out, err), 0) << err.str();
    EXPECT_EQ(Field(out.str(), "codebase"), "\\Program Files\\ArdelRemote\\CodeBases\\AUD_Den.PDB");
    EXPECT_EQ(RunCodesImport(codes, places, out, taken), 1);
    EXPECT_NE(taken.str().find("ardelctl codes import: A codebase named 'AUD_Den' exists"),
              std::string::npos)
        << taken.str();
}

TEST_F(CodesCommands, ImportAndTryRefuseAnUnknownId) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCodesImport({"0123456789ab", {}}, places, out, err), 1);
    EXPECT_EQ(err.str(),
              "ardelctl codes import: no remote has the id '0123456789ab' ('ardelctl codes "
              "search' lists the ids)\n");
    EXPECT_EQ(Try({"0123456789ab", "", "pxa255", ""}).status, 1);
    EXPECT_EQ(Try({"0123456789ab", "", "", ""}).status, kCtlUsage);
    EXPECT_EQ(Try({"0123456789ab", "", "nochip", ""}).status, kCtlUsage);
}

// An id from an earlier search is found again from the cache, and a system remote without
// any search before from the system's collection.
TEST_F(CodesCommands, TrySendsPowerOnTheSimulatedHandheld) {
    const std::string samsung = IdOf("samsung 01315");
    const CodesRun power = Try({samsung, "", "pxa255", ""});
    ASSERT_EQ(power.status, 0) << power.err;
    EXPECT_EQ(Field(power.out, "button"), "Power");
    EXPECT_EQ(Field(power.out, "result"), "0");
    EXPECT_EQ(Decoded(ParseDurations(Field(power.out, "emitted")), 26), "Samsung32 0x7 0x2");

    const CodesRun volume = Try({samsung, "vol+", "s3c2440", ""});
    ASSERT_EQ(volume.status, 0) << volume.err;
    EXPECT_EQ(Field(volume.out, "button"), "Vol_up");
    EXPECT_EQ(Decoded(ParseDurations(Field(volume.out, "emitted")), 26), "Samsung32 0x7 0x7");

    const CodesRun none = Try({samsung, "Eject", "pxa255", ""});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "ardelctl codes try: the remote 'Samsung_BN59-01315J' has no button 'Eject' that "
              "can be sent\n");

    std::filesystem::remove_all(folder / "cache");
    const std::string sony =
        CodeRemoteId(Collection("lirc") + "/sony/lircd.conf.rm-ed047", "RM-ED047").toStdString();
    const CodesRun fromSystem = Try({sony, "", "pxa255", ""});
    ASSERT_EQ(fromSystem.status, 0) << fromSystem.err;
    EXPECT_EQ(Decoded(ParseDurations(Field(fromSystem.out, "emitted")), 26),
              "NECext 0x8080 0x57A8");
}

TEST_F(CodesCommands, TrySendsPowerThroughALircDevice) {
    ScaledLircClock clock{10};
    FuseLircDevice device{clock};
    if (!device.Mounted()) {
        GTEST_SKIP() << "FUSE cannot be mounted here: " << device.Error();
    }
    HostLircDevice transmitter, receiver, probe;
    LircServices lirc{transmitter, receiver, probe, clock, {}};
    const CodesRun run = Try({IdOf("lg"), "", "", device.Path()}, &lirc);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "button: Power\nresult: 0\n");
    const std::vector<FuseLircWrite> writes = device.Writes();
    ASSERT_FALSE(writes.empty());
    std::vector<int32_t> first;
    for (size_t k = 0; k < writes[0].values.size(); ++k) {
        first.push_back(k % 2 ? -int32_t(writes[0].values[k]) : int32_t(writes[0].values[k]));
    }
    first.push_back(-40000);  // the pause that follows the write
    EXPECT_EQ(Decoded(first, 26), "NEC 0x4 0x8");
}

}  // namespace
