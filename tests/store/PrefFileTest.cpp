#include "store/PrefFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <string>

#include "tests/store/DeviceRoot.h"

namespace {

const QString kBase = QStringLiteral("\\Program Files\\ArdelRemote\\");
const QString kDefPref = kBase + DefaultPrefFileName(QStringLiteral("ArdelRemote"));
const QString kUsed = kBase + UsedListFileName();

Bytes Payload(DeviceRoot& root, const QString& path, uint16_t key) {
    Bytes payload;
    ReadPrefRecord(root.fs, path, key, payload);
    return payload;
}

Bytes Keyed(uint16_t key, Bytes payload) {
    payload.insert(payload.begin(), {uint8_t(key >> 8), uint8_t(key)});
    return payload;
}

Bytes Fixture(const char* name) {
    QFile file(QStringLiteral(ARDEL_TEST_DATA "/data/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << name;
        return {};
    }
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}

TEST(PrefFileTest, FilesAfterAFirstRun) {
    DeviceRoot root;
    RemoteState state;
    state.irPort = QStringLiteral("COM3:");
    // Start-up on a new handheld: nothing to load, then both files are made.
    LoadState(root.fs, kDefPref, state);
    EXPECT_EQ(state.currentForm, 0);
    EXPECT_TRUE(LoadUsedList(root.fs, kUsed).empty());
    EnsurePrefFiles(root.fs, kBase, QStringLiteral("ArdelRemote"));

    RawDatabase empty;
    empty.name = "UsedPref";
    empty.type = "ARpr";
    EXPECT_EQ(root.Read(kUsed), empty.Image());
    CPrefFile file(&root.fs);
    ASSERT_EQ(file.Open(kDefPref, CPdbFile::kModeRead), kPdbOk);
    EXPECT_TRUE(file.IsPrefFile());
    EXPECT_EQ(file.GetRecordCount(), 0);
    file.Close();

    // The greeting was shown; the program exits.
    state.greetingShown = true;
    EXPECT_TRUE(SaveState(root.fs, kDefPref, state));
    EXPECT_TRUE(SaveUsedList(root.fs, kUsed, {}));
    EXPECT_EQ(root.Read(kDefPref), Fixture("first-run-DefPref.PDB"));
    EXPECT_EQ(root.Read(kUsed), empty.Image());
}

TEST(PrefFileTest, EnsureKeepsExistingFiles) {
    DeviceRoot root;
    RemoteState state;
    state.irPort = QStringLiteral("COM2:");
    ASSERT_TRUE(SaveState(root.fs, kDefPref, state));
    const Bytes saved = root.Read(kDefPref);
    EnsurePrefFiles(root.fs, kBase, QStringLiteral("ArdelRemote"));
    EXPECT_EQ(root.Read(kDefPref), saved);
}

// What each record holds after saving a state that differs from a first start.
TEST(PrefFileTest, RecordBytes) {
    DeviceRoot root;
    RemoteState state;
    state.hotCodebases[0] = state.hotCodebases[1] = QStringLiteral("\\TV_\u00c9.PDB");
    state.currentForm = 5;
    state.keyCapture = true;
    state.soundsOn = false;
    state.greetingShown = true;
    state.hardKeys[2].used = false;
    state.lastForms = {1, 0, 0, 0, 0, 1};
    state.irPort = QString();
    ASSERT_TRUE(SaveState(root.fs, kDefPref, state));
    EXPECT_EQ(state.hardKeys[2].form, -1);
    EXPECT_EQ(state.hardKeys[2].button, -1);

    const Bytes path = {'\\', 0, 'T', 0, 'V', 0, '_', 0, 0xC9, 0,
                        '.',  0, 'P', 0, 'D', 0, 'B', 0, 0,    0};
    const struct {
        uint16_t key;
        Bytes payload;  // empty: no record
    } expected[] = {
        {0, path},
        {10, path},
        {20, {}},
        {110, {}},
        // The block, the further byte, and the pad to even length.
        {330, {5, 1, 0, 1, 0, 0}},
        {350, {1, 0, 13, 0}},
        {352, {0, 0xFF, 0xFF, 0}},
        {356, {1, 3, 4, 0}},
        {370, {1, 0, 0, 0, 0, 1, 0, 0}},
        // The port name keeps its terminator even when empty.
        {380, {0, 0}},
        // No receiver bias estimate yet: no record.
        {381, {}},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(Payload(root, kDefPref, e.key), e.payload) << "key " << e.key;
    }
}

TEST(PrefFileTest, LoadRestoresWhatWasSaved) {
    DeviceRoot root;
    RemoteState saved;
    saved.hotCodebases[6] = saved.hotCodebases[7] = QStringLiteral("\\My Documents\\VCR_A.PDB");
    saved.currentForm = 11;
    saved.keyCapture = false;
    saved.soundsOn = false;
    saved.greetingShown = true;
    saved.hardKeys[0] = {true, 9, 24};
    saved.hardKeys[3].used = false;
    saved.lastForms = {0, 1, 1, 0, 0, 1};
    saved.irPort = QStringLiteral("COM4:");
    ASSERT_TRUE(SaveState(root.fs, kDefPref, saved));

    RemoteState loaded;
    loaded.hotCodebases[0] = QStringLiteral("\\stale.PDB");
    LoadState(root.fs, kDefPref, loaded);
    EXPECT_EQ(loaded.hotCodebases, saved.hotCodebases);
    EXPECT_EQ(loaded.currentForm, 11);
    EXPECT_FALSE(loaded.keyCapture);
    EXPECT_FALSE(loaded.soundsOn);
    EXPECT_TRUE(loaded.greetingShown);
    EXPECT_EQ(loaded.hardKeys[0].form, 9);
    EXPECT_EQ(loaded.hardKeys[0].button, 24);
    // An unused slot keeps the form and button it had.
    EXPECT_FALSE(loaded.hardKeys[3].used);
    EXPECT_EQ(loaded.hardKeys[3].form, DefaultHardKeys()[3].form);
    EXPECT_EQ(loaded.hardKeys[3].button, DefaultHardKeys()[3].button);
    EXPECT_EQ(loaded.lastForms, saved.lastForms);
    EXPECT_EQ(loaded.irPort, QStringLiteral("COM4:"));

    // No estimate of a receiver's bias before one was saved.
    EXPECT_EQ(loaded.receiverBias.captures, 0);
    saved.receiverBias = {QStringLiteral("/dev/lirc1"), 95, 6};
    ASSERT_TRUE(SaveState(root.fs, kDefPref, saved));
    EXPECT_EQ(Payload(root, kDefPref, kPrefKeyReceiverBias),
              (Bytes{0, 95,  0, 6,   '/', 0,   'd', 0,   'e', 0,   'v', 0, '/',
                     0, 'l', 0, 'i', 0,   'r', 0,   'c', 0,   '1', 0,   0, 0}));
    LoadState(root.fs, kDefPref, loaded);
    EXPECT_EQ(loaded.receiverBias.receiver, QStringLiteral("/dev/lirc1"));
    EXPECT_EQ(loaded.receiverBias.biasUs, 95);
    EXPECT_EQ(loaded.receiverBias.captures, 6);

    // An empty port name is stored and loads as empty.
    saved.irPort.clear();
    ASSERT_TRUE(SaveState(root.fs, kDefPref, saved));
    LoadState(root.fs, kDefPref, loaded);
    EXPECT_EQ(loaded.irPort, QString());
}

TEST(PrefFileTest, EmptyingASlotRemovesItsRecord) {
    DeviceRoot root;
    RemoteState state;
    state.hotCodebases[2] = state.hotCodebases[3] = QStringLiteral("\\CAB_Sky.PDB");
    ASSERT_TRUE(SaveState(root.fs, kDefPref, state));
    EXPECT_FALSE(Payload(root, kDefPref, 20).empty());
    ASSERT_TRUE(StoreHotCodebase(root.fs, kDefPref, 2, QString()));
    EXPECT_TRUE(Payload(root, kDefPref, 20).empty());
    EXPECT_FALSE(Payload(root, kDefPref, 30).empty());
    // Removing what is not there succeeds and changes nothing.
    const Bytes before = root.Read(kDefPref);
    EXPECT_TRUE(StoreHotCodebase(root.fs, kDefPref, 2, QString()));
    EXPECT_EQ(root.Read(kDefPref), before);
}

TEST(PrefFileTest, UsedListShrinks) {
    DeviceRoot root;
    ASSERT_TRUE(SaveUsedList(root.fs, kUsed, {"a.PDB", "b.PDB", "c.PDB", "d.PDB", "e.PDB"}));
    ASSERT_TRUE(SaveUsedList(root.fs, kUsed, {"new.PDB", "a.PDB"}));
    EXPECT_FALSE(Payload(root, kUsed, 10).empty());
    EXPECT_FALSE(Payload(root, kUsed, 11).empty());
    for (uint16_t key = 12; key <= 14; ++key) {
        EXPECT_TRUE(Payload(root, kUsed, key).empty()) << key;
    }
    EXPECT_EQ(LoadUsedList(root.fs, kUsed), (std::vector<QString>{"new.PDB", "a.PDB"}));
}

// A name missing from the middle of the list, or an empty one, leaves no hole in the menu.
TEST(PrefFileTest, UsedListClosesGaps) {
    DeviceRoot root;
    RawDatabase db;
    db.type = "ARpr";
    db.records = {Keyed(12, {'c', 0, 0, 0}), Keyed(11, {0, 0}), Keyed(10, {'a', 0, 0, 0})};
    root.Write(kUsed, db.Image());
    EXPECT_EQ(LoadUsedList(root.fs, kUsed), (std::vector<QString>{"a", "c"}));
}

// Saving the state writes the file once, and leaves the same bytes as writing its records
// one by one would: records of other keys keep their place, an emptied slot goes, new
// records come at the end in order.
TEST(PrefFileTest, SaveStateIsOneWriteWithTheBytesOfSingleWrites) {
    RawDatabase db;
    db.name = "ArdelRemoteDefPref";
    db.type = "ARpr";
    db.records = {Keyed(999, {'x', 0, 0, 0}), Keyed(380, {'A', 0, 0, 0}),
                  Keyed(20, {'\\', 0, 'C', 0, 0, 0}), Keyed(330, {3, 1, 1, 0, 0, 0})};
    RemoteState state;
    state.hotCodebases[0] = state.hotCodebases[1] = QStringLiteral("\\TV_A.PDB");
    state.currentForm = 1;
    state.hardKeys[4].used = false;
    state.irPort = QStringLiteral("COM3:");

    DeviceRoot single;
    single.Write(kDefPref, db.Image());
    RemoteState copy = state;
    for (int form = 0; form < kFormCount; ++form) {
        ASSERT_TRUE(StoreHotCodebase(single.fs, kDefPref, form, copy.hotCodebases[size_t(form)]));
    }
    ASSERT_TRUE(WritePrefRecord(single.fs, kDefPref, kPrefKeyScreen, PrefBlock({1, 1, 1, 0})));
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        const HardKeyAssignment key =
            slot == 4 ? HardKeyAssignment{false, -1, -1} : copy.hardKeys[size_t(slot)];
        ASSERT_TRUE(WritePrefRecord(
            single.fs, kDefPref, PrefKeyHardKey(slot),
            PrefBlock({uint8_t(key.used), uint8_t(key.form), uint8_t(key.button)})));
    }
    ASSERT_TRUE(
        WritePrefRecord(single.fs, kDefPref, kPrefKeyLastForms, PrefBlock({0, 0, 0, 0, 0, 0})));
    ASSERT_TRUE(WritePrefRecord(single.fs, kDefPref, kPrefKeyIrPort,
                                PrefStringWithTerminator(QStringLiteral("COM3:"))));

    DeviceRoot batch;
    batch.Write(kDefPref, db.Image());
    batch.fs.FailStep(0);
    ASSERT_TRUE(SaveState(batch.fs, kDefPref, state));
    const int saveSteps = batch.fs.Steps();
    EXPECT_EQ(batch.Read(kDefPref), single.Read(kDefPref));

    // As many changes to the medium as the write of one record.
    batch.fs.FailStep(0);
    ASSERT_TRUE(WritePrefRecord(batch.fs, kDefPref, kPrefKeyIrPort,
                                PrefStringWithTerminator(QStringLiteral("COM3:"))));
    EXPECT_EQ(saveSteps, batch.fs.Steps());
}

// A write that fails part way leaves the file as it was: the state is saved whole or not.
TEST(PrefFileTest, AFailedSaveLeavesTheFileAsItWas) {
    DeviceRoot root;
    RemoteState state;
    state.irPort = QStringLiteral("COM1:");
    ASSERT_TRUE(SaveState(root.fs, kDefPref, state));
    const Bytes before = root.Read(kDefPref);
    state.irPort = QStringLiteral("COM2:");
    state.currentForm = 7;
    root.fs.FailStep(2);
    EXPECT_FALSE(SaveState(root.fs, kDefPref, state));
    EXPECT_EQ(root.Read(kDefPref), before);
}

TEST(PrefFileTest, AFileThatCannotBeCreatedIsReportedForEveryWrite) {
    DeviceRoot root;
    const QString path = QStringLiteral("\\Missing folder\\DefPref.PDB");
    std::vector<QString> reported;
    RemoteState state;
    EXPECT_FALSE(SaveState(root.fs, path, state,
                           [&](const QString& failed) { reported.push_back(failed); }));
    EXPECT_EQ(reported.size(), size_t(kFormCount + 1 + kHardKeyCount + 1 + 1));
    EXPECT_EQ(reported.front(), path);
}

TEST(PrefFileTest, ADamagedFileIsNotRewritten) {
    DeviceRoot root;
    RawDatabase db;
    db.type = "ARpr";
    db.records = {Keyed(380, {'A', 0, 0, 0}), Keyed(330, {1, 1, 1, 1, 0, 0})};
    Bytes image = db.Image();
    image.resize(78 + 8);  // the second record's entry lies beyond the end
    root.Write(kDefPref, image);
    EXPECT_FALSE(WritePrefRecord(root.fs, kDefPref, 380, PrefStringWithTerminator("B")));
    EXPECT_EQ(root.Read(kDefPref), image);
}

// ---- Damaged and hostile files: never a crash, never a read outside the file ----

struct HostileCase {
    const char* name;
    std::function<Bytes()> image;
    std::function<void(const RemoteState&)> check;
};

Bytes PrefImage(std::vector<Bytes> records) {
    RawDatabase db;
    db.name = "ArdelRemoteDefPref";
    db.type = "ARpr";
    db.records = std::move(records);
    return db.Image();
}

class HostilePrefFileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePrefFileTest, LoadsWhatItCan) {
    DeviceRoot root;
    root.Write(kDefPref, GetParam().image());
    root.Write(kUsed, GetParam().image());
    RemoteState state;
    state.irPort = QStringLiteral("COM3:");
    LoadState(root.fs, kDefPref, state);
    GetParam().check(state);
    for (const QString& name : LoadUsedList(root.fs, kUsed)) {
        EXPECT_FALSE(name.isEmpty());
    }
}

const RemoteState kFresh = [] {
    RemoteState state;
    state.irPort = QStringLiteral("COM3:");
    return state;
}();

void ExpectFresh(const RemoteState& s) {
    EXPECT_EQ(s.hotCodebases, kFresh.hotCodebases);
    EXPECT_EQ(s.currentForm, 0);
    EXPECT_TRUE(s.keyCapture && s.soundsOn && !s.greetingShown);
    EXPECT_EQ(s.lastForms, kFresh.lastForms);
    EXPECT_EQ(s.irPort, kFresh.irPort);
    for (int k = 0; k < kHardKeyCount; ++k) {
        EXPECT_TRUE(s.hardKeys[k].used);
        EXPECT_EQ(s.hardKeys[k].form, kFresh.hardKeys[k].form);
        EXPECT_EQ(s.hardKeys[k].button, kFresh.hardKeys[k].button);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pref, HostilePrefFileTest,
    ::testing::Values(
        // The last record runs to the end of the file, so it may have any length.
        HostileCase{"StringWithoutTerminator",
                    [] {
                        return PrefImage({Keyed(10, {'\\', 0, 'X'}), Keyed(380, {'C', 0, 'O'})});
                    },
                    [](const RemoteState& s) {
                        EXPECT_EQ(s.hotCodebases[1],
                                  QStringLiteral("\\"));  // the odd byte is no unit
                        EXPECT_EQ(s.irPort, QStringLiteral("C"));
                    }},
        HostileCase{"StringOfOneByte", [] { return PrefImage({Keyed(380, {'C'})}); },
                    [](const RemoteState& s) { EXPECT_EQ(s.irPort, QString()); }},
        HostileCase{"KeyWithoutPayload", [] { return PrefImage({Keyed(380, {})}); }, ExpectFresh},
        HostileCase{"ShortBlocks",
                    [] {
                        return PrefImage({Keyed(330, {7}), Keyed(351, {1}), Keyed(352, {1, 4}),
                                          Keyed(370, {1, 1})});
                    },
                    [](const RemoteState& s) {
                        EXPECT_EQ(s.currentForm, 7);
                        EXPECT_TRUE(s.keyCapture && s.soundsOn && !s.greetingShown);
                        EXPECT_EQ(s.hardKeys[1].form, kFresh.hardKeys[1].form);
                        EXPECT_EQ(s.hardKeys[2].form, 4);
                        EXPECT_EQ(s.hardKeys[2].button, kFresh.hardKeys[2].button);
                        EXPECT_EQ(s.lastForms, (std::array<int, 6>{1, 1, 0, 0, 0, 0}));
                    }},
        HostileCase{"FormBeyondTheForms",
                    [] {
                        return PrefImage({Keyed(330, {99, 0, 0, 0, 0, 0})});
                    },
                    [](const RemoteState& s) {
                        EXPECT_EQ(s.currentForm, 0);
                        EXPECT_FALSE(s.keyCapture);
                    }},
        HostileCase{"NoForm",
                    [] {
                        return PrefImage({Keyed(330, {0xFF, 1, 1, 1, 0, 0})});
                    },
                    [](const RemoteState& s) {
                        EXPECT_EQ(s.currentForm, 0);
                        EXPECT_TRUE(s.greetingShown);
                    }},
        HostileCase{"TruncatedInTheRecordList",
                    [] {
                        Bytes image =
                            PrefImage({Keyed(330, {5, 0, 0, 0, 0, 0}), Keyed(380, {'A', 0, 0, 0})});
                        image.resize(78 + 12);
                        return image;
                    },
                    ExpectFresh},
        HostileCase{"CountBeyondTheList",
                    [] {
                        Bytes image = PrefImage({Keyed(380, {'A', 0, 0, 0})});
                        image[76] = 0xFF;
                        return image;
                    },
                    [](const RemoteState& s) { EXPECT_EQ(s.currentForm, 0); }},
        HostileCase{"OffsetsOutOfOrder",
                    [] {
                        Bytes image =
                            PrefImage({Keyed(330, {5, 0, 0, 0, 0, 0}), Keyed(380, {'A', 0, 0, 0})});
                        std::swap(image[78 + 3], image[78 + 8 + 3]);
                        return image;
                    },
                    [](const RemoteState&) {}},
        HostileCase{"HeaderOnly", [] { return Bytes(40, 0xFF); }, ExpectFresh},
        HostileCase{"EmptyFile", [] { return Bytes(); }, ExpectFresh}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
