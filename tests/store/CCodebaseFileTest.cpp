#include "store/CCodebaseFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>

#include "tests/store/StoreFixture.h"

namespace {

using Values = std::vector<int16_t>;
using Durations = std::vector<int32_t>;

const Durations kPower = {9000, -4500, 560, -560, 560, -1690, 560, -560, 560, -40000};

class CodebaseTest : public StoreTest {
  protected:
    void SetUp() override { ASSERT_TRUE(codebase_.CreateCodebase(Path("TV_Sony.PDB"))); }

    bool Store(const Durations& durations, const char* name, int signal, uint16_t frameStart = 0,
               uint8_t carrier = 26) {
        return codebase_.StoreSignal(
            CCodebaseFile::DurationsToValues(durations.data(), durations.size()), frameStart,
            carrier, name, signal);
    }
    // The durations of a button's signal, with its frame start and carrier in front.
    Durations Read(const char* name, int signal) {
        Durations durations;
        uint16_t count = 0, frameStart = 0;
        uint8_t carrier = 0;
        codebase_.ReadSignal(codebase_.FindButton(name), signal, durations, count, frameStart,
                             carrier);
        EXPECT_EQ(count, durations.size());
        durations.insert(durations.begin(), {frameStart, carrier});
        return durations;
    }
    static Durations With(uint16_t frameStart, uint8_t carrier, Durations durations) {
        durations.insert(durations.begin(), {frameStart, carrier});
        return durations;
    }

    CCodebaseFile codebase_{&fs_};
};

TEST_F(CodebaseTest, OneButtonIsStoredByteForByte) {
    EXPECT_TRUE(codebase_.IsCodebase());
    EXPECT_EQ(codebase_.GetRecordCount(), 1);
    EXPECT_EQ(codebase_.ReadRecord(0),
              (std::vector<uint8_t>{'2', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(codebase_.FindButton("Power"), -1);
    ASSERT_TRUE(Store(kPower, "Power", 1, 2));
    EXPECT_EQ(FileOf("TV_Sony.PDB"), Fixture("OneButtonCodebase.PDB"));
    EXPECT_EQ(codebase_.FindButton("Power"), 1);
    EXPECT_EQ(Read("Power", 1), With(2, 26, kPower));
}

TEST_F(CodebaseTest, ARecordOfTenShortDurations) {
    const Durations ten = {900, -900, 900, -900, 900, -900, 900, -900, 900, -900};
    ASSERT_TRUE(Store(ten, "Power", 1));
    const std::vector<uint8_t> record = codebase_.ReadRecord(1);
    ASSERT_EQ(record.size(), 34u);  // "Power\0", carrier, 1 + 1 + 20 bytes, 4 zero bytes
    EXPECT_EQ(std::vector<uint8_t>(record.end() - 4, record.end()),
              (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST_F(CodebaseTest, SignalTwoOfANewButtonBecomesSignalOne) {
    ASSERT_TRUE(Store({500, -500}, "Mute", 2, 1));
    ButtonRecord record;
    ASSERT_TRUE(codebase_.ParseButtonRecord(codebase_.FindButton("Mute"), record));
    EXPECT_EQ(record.signal1.values, (Values{500, -500}));
    EXPECT_TRUE(record.signal2.values.empty());
    // A button learnt in single mode answers signal 2 with signal 1.
    EXPECT_EQ(Read("Mute", 2), With(1, 26, {500, -500}));
}

TEST_F(CodebaseTest, EachSignalIsReplacedOnItsOwn) {
    ASSERT_TRUE(Store({100, -100}, "Vol+", 1, 0, 30));
    ASSERT_TRUE(Store({200, -200, 200}, "Vol+", 2, 2, 31));
    ASSERT_TRUE(Store({300, -300}, "Vol+", 1, 1, 32));
    EXPECT_EQ(Read("Vol+", 1), With(1, 32, {300, -300}));
    EXPECT_EQ(Read("Vol+", 2), With(2, 32, {200, -200, 200}));
    EXPECT_EQ(codebase_.GetRecordCount(), 2);
    // Signal numbers outside 1 and 2 count as the nearer one.
    ASSERT_TRUE(Store({400, -400}, "Vol+", 7, 0, 33));
    EXPECT_EQ(Read("Vol+", 2), With(0, 33, {400, -400}));
    EXPECT_EQ(Read("Vol+", 0), With(1, 33, {300, -300}));
}

TEST_F(CodebaseTest, ButtonNamesAreCaseSensitive) {
    ASSERT_TRUE(Store({100, -100}, "VOL+", 1));
    EXPECT_EQ(codebase_.FindButton("Vol+"), -1);
    EXPECT_EQ(codebase_.FindButton("VOL+"), 1);
    ASSERT_TRUE(Store({100, -100}, "Vol+", 1));
    EXPECT_EQ(codebase_.FindButton("Vol+"), 2);
}

TEST_F(CodebaseTest, NoValuesDeleteTheButtonAndKeepTheOthersInOrder) {
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_TRUE(Store({100, -100}, name, 1));
    }
    EXPECT_TRUE(codebase_.StoreSignal({}, 0, 26, "B", 1));
    EXPECT_EQ(codebase_.GetRecordCount(), 3);
    EXPECT_EQ(codebase_.FindButton("A"), 1);
    EXPECT_EQ(codebase_.FindButton("B"), -1);
    EXPECT_EQ(codebase_.FindButton("C"), 2);
    // A button without a record and no values: nothing to do.
    EXPECT_TRUE(codebase_.StoreSignal({}, 0, 26, "D", 1));
    EXPECT_EQ(codebase_.GetRecordCount(), 3);
}

TEST_F(CodebaseTest, StoringIntoAFileThatCannotChangeFails) {
    EXPECT_FALSE(Store({100, -100}, "", 1));
    ASSERT_TRUE(Store({100, -100}, "A", 1));
    codebase_.Close();
    const std::vector<uint8_t> before = FileOf("TV_Sony.PDB");
    ASSERT_EQ(codebase_.Open(Path("TV_Sony.PDB"), CPdbFile::kModeRead), kPdbOk);
    EXPECT_FALSE(Store({200, -200}, "A", 1));
    EXPECT_FALSE(Store({200, -200}, "B", 1));
    EXPECT_FALSE(codebase_.StoreSignal({}, 0, 26, "A", 1));
    EXPECT_EQ(FileOf("TV_Sony.PDB"), before);
}

// Storing signal 2 of a button learnt in double mode while one read fails, for every read
// in turn: the codebase is as before or as after, the result says which, and the button
// never loses its signal 1 or gets a second record.
class CodebaseReadFault : public CodebaseTest, public ::testing::WithParamInterface<ReadFault> {};

TEST_P(CodebaseReadFault, StoringKeepsTheOldOrTheNewCodebase) {
    ASSERT_TRUE(Store({100, -100}, "Power", 1));
    ASSERT_TRUE(Store({300, -300}, "Vol+", 1));
    ASSERT_TRUE(Store({400, -400}, "Vol+", 2));
    ASSERT_TRUE(Store({500, -500}, "Mute", 1));
    codebase_.Close();
    const std::vector<uint8_t> before = FileOf("TV_Sony.PDB");
    auto storeOnce = [&] {
        EXPECT_EQ(codebase_.Open(Path("TV_Sony.PDB"), CPdbFile::kModeReadWrite), kPdbOk);
        const bool stored = Store({600, -600, 600}, "Vol+", 2);
        codebase_.Close();
        return stored;
    };
    fs_.FailRead(0, GetParam());
    ASSERT_TRUE(storeOnce());
    const std::vector<uint8_t> after = FileOf("TV_Sony.PDB");
    const int reads = fs_.Reads();
    for (int failing = 1; failing <= reads; ++failing) {
        SCOPED_TRACE("read " + std::to_string(failing));
        Put("TV_Sony.PDB", before);
        fs_.FailRead(failing, GetParam());
        const bool stored = storeOnce();
        const std::vector<uint8_t> now = FileOf("TV_Sony.PDB");
        EXPECT_TRUE(now == before || now == after);
        EXPECT_EQ(stored, now == after);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CodebaseReadFault,
                         ::testing::Values(ReadFault::Error, ReadFault::Short),
                         [](const auto& info) {
                             return info.param == ReadFault::Error ? "Error" : "Short";
                         });

// The short form of a button record as a build that knows no other form reads it: frame
// start and count in one byte each; an absent or unreadable signal 1 is skipped as two
// bytes. Nothing more is read from the record.
ButtonRecord ReadAsShortForm(const std::vector<uint8_t>& data) {
    ButtonRecord record;
    const auto zero = std::find(data.begin(), data.end(), uint8_t(0));
    if (zero == data.end()) {
        return record;
    }
    record.name = QByteArray(reinterpret_cast<const char*>(data.data()), zero - data.begin());
    size_t pos = static_cast<size_t>(zero - data.begin()) + 1;
    pos = std::min(data.size(), pos + pos % 2);
    if (data.size() - pos < 2) {
        return record;
    }
    record.carrierPeriod = data[pos + 1];
    pos += 2;
    for (ButtonSignal* signal : {&record.signal1, &record.signal2}) {
        if (data.size() - pos < 2) {
            break;
        }
        const size_t count = data[pos + 1];
        const uint8_t frameStart = data[pos];
        pos += 2;
        if (count == 0 || data.size() - pos < 2 * count) {
            pos = std::min(data.size(), pos + 2);
            continue;
        }
        signal->frameStart = frameStart;
        for (size_t k = 0; k < count; ++k, pos += 2) {
            signal->values.push_back(static_cast<int16_t>((data[pos] << 8) | data[pos + 1]));
        }
    }
    return record;
}

// An air conditioner's frame: 600 durations, and a pause too long for one value.
Durations AirConditionerFrame() {
    Durations frame = {3500, -1750};
    for (int k = 0; frame.size() < 598; ++k) {
        frame.insert(frame.end(), {430, k % 3 ? -1290 : -430});
    }
    frame.insert(frame.end(), {430, -70000});
    return frame;
}

TEST_F(CodebaseTest, ALongSignalIsStoredWholeInTheLongForm) {
    const Durations frame = AirConditionerFrame();
    ASSERT_EQ(frame.size(), 600u);
    ASSERT_TRUE(Store({100, -100}, "Power", 1));
    ASSERT_TRUE(Store(frame, "Cool", 1, 44, 26));
    EXPECT_EQ(Read("Cool", 1), With(44, 26, frame));
    const std::vector<uint8_t> record = codebase_.ReadRecord(codebase_.FindButton("Cool"));
    // "Cool", zero, pad, carrier; the two signals as the short form reads them (absent), the
    // tag between them; then frame start, count and the 602 values (70000 takes three).
    ASSERT_EQ(record.size(), 6u + 2 + 6 + 4 + 2 * 602 + 4);
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 8, record.begin() + 18),
              (std::vector<uint8_t>{0, 0, 'L', '1', 0, 0, 0, 44, 602 >> 8, 602 & 0xFF}));

    // A build that knows only the short form finds the button and reads no signal from it,
    // and reads the other buttons as before.
    const ButtonRecord old = ReadAsShortForm(record);
    EXPECT_EQ(old.name, "Cool");
    EXPECT_EQ(old.carrierPeriod, 26);
    EXPECT_TRUE(old.signal1.values.empty());
    EXPECT_TRUE(old.signal2.values.empty());
    EXPECT_EQ(ReadAsShortForm(codebase_.ReadRecord(1)).signal1.values, (Values{100, -100}));

    // Signal 2 beside a long signal 1, then relearnt short: the short form again, as a
    // button that was never long.
    ASSERT_TRUE(Store({300, -300}, "Cool", 2, 0, 26));
    EXPECT_EQ(Read("Cool", 1), With(44, 26, frame));
    EXPECT_EQ(Read("Cool", 2), With(0, 26, {300, -300}));
    ASSERT_TRUE(Store({200, -200}, "Cool", 1, 0, 26));
    ASSERT_TRUE(Store({200, -200}, "Twin", 1, 0, 26));
    ASSERT_TRUE(Store({300, -300}, "Twin", 2, 0, 26));
    std::vector<uint8_t> cool = codebase_.ReadRecord(codebase_.FindButton("Cool"));
    std::vector<uint8_t> twin = codebase_.ReadRecord(codebase_.FindButton("Twin"));
    EXPECT_EQ(std::vector<uint8_t>(cool.begin() + 6, cool.end()),
              std::vector<uint8_t>(twin.begin() + 6, twin.end()));
}

TEST_F(CodebaseTest, ALongSignalTwoAloneMovesUpInTheLongForm) {
    const Durations frame = AirConditionerFrame();
    ButtonRecord record;
    record.name = "Heat";
    record.carrierPeriod = 26;
    record.signal2 = {300, CCodebaseFile::DurationsToValues(frame.data(), frame.size())};
    ButtonRecord parsed;
    const std::vector<uint8_t> bytes = CCodebaseFile::BuildButtonRecord(record);
    ASSERT_TRUE(CCodebaseFile::ParseButtonBytes(bytes.data(), bytes.size(), parsed));
    EXPECT_EQ(parsed.signal1.frameStart, 300);
    EXPECT_EQ(CCodebaseFile::ValuesToDurations(parsed.signal1.values), frame);
    EXPECT_TRUE(parsed.signal2.values.empty());
    // A frame start beyond one byte needs the long form even for a few values.
    record.signal2 = {};
    record.signal1 = {300, {5, -5}};
    const std::vector<uint8_t> few = CCodebaseFile::BuildButtonRecord(record);
    ASSERT_TRUE(CCodebaseFile::ParseButtonBytes(few.data(), few.size(), parsed));
    EXPECT_EQ(parsed.signal1.frameStart, 300);
    EXPECT_TRUE(ReadAsShortForm(few).signal1.values.empty());
}

// A codebase written by a build before the long form: every button reads as it read there,
// and a file holding the same buttons is written byte for byte as that build wrote it.
TEST_F(CodebaseTest, AnOlderBuildsCodebaseReadsAndIsWrittenAsBefore) {
    codebase_.Close();
    const std::vector<uint8_t> older = Fixture("OldBuildCodebase.PDB");
    Put("Before.PDB", older);
    CCodebaseFile file(&fs_);
    ASSERT_EQ(file.Open(Path("Before.PDB"), CPdbFile::kModeRead), kPdbOk);
    ASSERT_TRUE(file.IsCodebase());
    std::ifstream expected(std::string(ARDEL_TEST_DATA) + "/data/OldBuildCodebase.txt");
    ASSERT_TRUE(expected.good());
    std::string button;
    int number = 0, frameStart = 0, carrier = 0;
    std::string durationsText;
    int lines = 0;
    while (expected >> button >> number >> frameStart >> carrier >> durationsText) {
        SCOPED_TRACE(button + " " + std::to_string(number));
        ++lines;
        Durations durations;
        uint16_t count = 0, start = 0;
        uint8_t period = 0;
        ASSERT_TRUE(file.ReadSignal(file.FindButton(QString::fromStdString(button)), number,
                                    durations, count, start, period));
        std::string text;
        for (int32_t d : durations) {
            text += (text.empty() ? "" : ",") + std::to_string(d);
        }
        EXPECT_EQ(text, durationsText);
        EXPECT_EQ(start, frameStart);
        EXPECT_EQ(period, carrier);
    }
    EXPECT_EQ(lines, 6);

    // The same buttons stored anew, in the older file's order.
    ASSERT_TRUE(codebase_.CreateCodebase(Path("AIR_Old.PDB")));
    for (int index = 1; index < file.GetRecordCount(); ++index) {
        ButtonRecord record;
        ASSERT_TRUE(file.ParseButtonRecord(index, record));
        for (int number = 1; number <= 2; ++number) {
            const ButtonSignal& signal = number == 1 ? record.signal1 : record.signal2;
            if (!signal.values.empty()) {
                ASSERT_TRUE(codebase_.StoreSignal(signal.values, signal.frameStart,
                                                  static_cast<uint8_t>(record.carrierPeriod),
                                                  record.name, number));
            }
        }
    }
    codebase_.Close();
    std::vector<uint8_t> written = FileOf("AIR_Old.PDB");
    ASSERT_EQ(written.size(), older.size());
    std::copy_n(older.begin() + 40, 4, written.begin() + 40);  // the modification date
    EXPECT_EQ(written, older);
}

TEST_F(CodebaseTest, OtherFileKindsAreNoCodebases) {
    EXPECT_TRUE(codebase_.IsCodebase());
    codebase_.SetVersion(0);
    EXPECT_FALSE(codebase_.IsCodebase());
    codebase_.SetVersion(1);
    codebase_.SetType(FourCharCode("ARpr"));
    EXPECT_FALSE(codebase_.IsCodebase());
    codebase_.Close();
    EXPECT_FALSE(codebase_.IsCodebase());
}

TEST_F(CodebaseTest, AnInterruptedCreationLeavesACodebaseOrNothing) {
    codebase_.Close();
    std::filesystem::remove(Host("TV_Sony.PDB"));
    for (int failing = 1;; ++failing) {
        SCOPED_TRACE("step " + std::to_string(failing));
        device_.FailStep(failing);
        const bool created = codebase_.CreateCodebase(Path("New.PDB"));
        codebase_.Close();
        if (created) {
            EXPECT_EQ(Files(), (std::vector<std::string>{"New.PDB"}));
            ASSERT_EQ(codebase_.Open(Path("New.PDB"), CPdbFile::kModeRead), kPdbOk);
            EXPECT_TRUE(codebase_.IsCodebase());
            EXPECT_LT(device_.Steps(), failing);  // only the run without a failure succeeds
            break;
        }
        EXPECT_TRUE(Files().empty());
    }
}

struct ValuesCase {
    const char* name;
    Durations durations;
    Values values;
};

class DurationsToValues : public ::testing::TestWithParam<ValuesCase> {};

TEST_P(DurationsToValues, Splits) {
    const Durations& durations = GetParam().durations;
    EXPECT_EQ(CCodebaseFile::DurationsToValues(durations.data(), durations.size()),
              GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DurationsToValues,
    ::testing::Values(ValuesCase{"Empty", {}, {}},
                      ValuesCase{"Limit", {32767, -32767}, {32767, -32767}},
                      ValuesCase{"JustOver", {32768, -32768}, {32767, 1, -32767, -1}},
                      ValuesCase{"Long", {70000, -40000}, {32767, 32767, 4466, -32767, -7233}},
                      ValuesCase{"Smallest",
                                 {std::numeric_limits<int32_t>::min()},
                                 Values(CCodebaseFile::kMaxValues, -32767)},
                      ValuesCase{"StopsAtTheMostValues",
                                 Durations(CCodebaseFile::kMaxValues + 45, 100),
                                 Values(CCodebaseFile::kMaxValues, 100)}),
    [](const auto& info) { return info.param.name; });

TEST(CodebaseValues, NoDurationsGiveNoValues) {
    EXPECT_TRUE(CCodebaseFile::DurationsToValues(nullptr, 5).empty());
}

// Button records as a damaged or foreign file may hold them.
struct RecordCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool parses;
    uint8_t carrier;
    Values signal1, signal2;
};

class ParseButtonBytes : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ParseButtonBytes, StaysInsideTheRecord) {
    // A copy of exactly the record's size, so that the sanitizer sees any read past it.
    const auto data = std::make_unique<uint8_t[]>(GetParam().bytes.size());
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), data.get());
    ButtonRecord record;
    ASSERT_EQ(CCodebaseFile::ParseButtonBytes(data.get(), GetParam().bytes.size(), record),
              GetParam().parses);
    EXPECT_EQ(record.carrierPeriod, GetParam().carrier);
    EXPECT_EQ(record.signal1.values, GetParam().signal1);
    EXPECT_EQ(record.signal2.values, GetParam().signal2);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ParseButtonBytes,
    ::testing::Values(
        RecordCase{"Empty", {}, false, 0, {}, {}},
        RecordCase{"NameWithoutTerminator", {'P', 'o', 'w', 'e', 'r'}, false, 0, {}, {}},
        RecordCase{"NameOnly", {'O', 'K', 0}, true, 0, {}, {}},
        RecordCase{"CarrierCutShort", {'O', 'K', 0, 0, 0}, true, 0, {}, {}},
        RecordCase{"OddNameIsPadded",
                   {'V', 'o', 'l', '+', 0, 0, 0, 26, 0, 1, 0, 7, 0, 0, 0, 0},
                   true,
                   26,
                   {7},
                   {}},
        RecordCase{
            "CarrierHighByteIgnored", {'A', 0, 1, 26, 0, 1, 0, 7, 0, 0, 0, 0}, true, 26, {7}, {}},
        RecordCase{"Signal1RunsPastTheEnd", {'A', 0, 0, 26, 0, 9, 0, 7, 0, 0}, true, 26, {}, {}},
        // An empty signal 1 is skipped like an absent signal: two bytes.
        RecordCase{
            "Signal1EmptyThenSignal2", {'A', 0, 0, 26, 0, 0, 0, 0, 0, 1, 0, 5}, true, 26, {}, {5}},
        RecordCase{
            "Signal2RunsPastTheEnd", {'A', 0, 0, 26, 0, 1, 0, 7, 0, 3, 0, 1}, true, 26, {7}, {}},
        RecordCase{"Signal2HeaderCutShort", {'A', 0, 0, 26, 0, 1, 0, 7, 0}, true, 26, {7}, {}},
        RecordCase{"TwoSignals",
                   {'A', 0, 0, 26, 1, 2, 0x80, 0x01, 0x7F, 0xFF, 2, 1, 0xFF, 0xFF},
                   true,
                   26,
                   {-32767, 32767},
                   {-1}}),
    [](const auto& info) { return info.param.name; });

TEST(ButtonRecords, BuildAndParseAgree) {
    ButtonRecord record;
    record.name = "Vol+";
    record.carrierPeriod = 0x1A;
    record.signal1 = {3, {1, -2, 3}};
    record.signal2 = {1, {-4, 5}};
    const std::vector<uint8_t> bytes = CCodebaseFile::BuildButtonRecord(record);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'V', 'o',  'l',  '+', 0, 0, 0, 0x1A, 3,    3, 0,
                                           1,   0xFF, 0xFE, 0,   3, 1, 2, 0xFF, 0xFC, 0, 5}));
    ButtonRecord parsed;
    ASSERT_TRUE(CCodebaseFile::ParseButtonBytes(bytes.data(), bytes.size(), parsed));
    EXPECT_EQ(parsed.name, record.name);
    EXPECT_EQ(parsed.signal1.frameStart, 3);
    EXPECT_EQ(parsed.signal2.values, record.signal2.values);
}

TEST(ButtonRecords, ASignal2AloneMovesUpAndANameEndsAtItsFirstZero) {
    ButtonRecord record;
    record.name = QByteArray("Up\0Down", 7);
    record.carrierPeriod = 26;
    record.signal2 = {2, {9, -9}};
    EXPECT_EQ(CCodebaseFile::BuildButtonRecord(record),
              (std::vector<uint8_t>{'U', 'p', 0, 0, 0, 26, 2, 2, 0, 9, 0xFF, 0xF7, 0, 0, 0, 0}));
}

}  // namespace
