#include <gtest/gtest.h>

#include <QFont>
#include <QTextLayout>
#include <map>
#include <set>
#include <string>

#include "resources/StringText.h"
#include "resources/Strings.h"

namespace {

// Each message lives in one entry: every number has a text of its own, within the
// table's range.
TEST(StringTable, EveryNumberHasItsOwnText) {
    int count = 0;
    const StringEntry* table = StringTable(count);
    ASSERT_GT(count, 0);
    std::set<int> numbers;
    std::map<std::string, int> texts;
    for (int i = 0; i < count; ++i) {
        const StringEntry& entry = table[i];
        EXPECT_GE(entry.id, 65000);
        EXPECT_LE(entry.id, 65199);
        EXPECT_TRUE(numbers.insert(entry.id).second) << entry.id << " is numbered twice";
        ASSERT_NE(entry.text, nullptr) << entry.id;
        EXPECT_STRNE(entry.text, "") << entry.id;
        const auto [known, fresh] = texts.emplace(entry.text, entry.id);
        EXPECT_TRUE(fresh) << entry.id << " repeats the text of " << known->second;
        EXPECT_EQ(LoadString(entry.id), entry.text);
    }
    EXPECT_STREQ(LoadString(65000), "");
}

struct FillCase {
    const char* label;
    int id;
    QStringList values;
    const char* text;
};

class StringFill : public testing::TestWithParam<FillCase> {};

TEST_P(StringFill, PlaceholdersTakeTheValuesInOrder) {
    EXPECT_EQ(StringText(GetParam().id, GetParam().values), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringFill,
    testing::Values(
        FillCase{"Plain", kStrSelectCategory, {}, "You must select a category."},
        FillCase{"Number",
                 kStrDriverError,
                 {"13"},
                 "Internal IR driver error 13. Please write to " ARDEL_SUPPORT_ADDRESS "."},
        FillCase{"ThreeInOrder",
                 kStrLeftOutButton,
                 {"Power", "7", "no carrier"},
                 "Power (line 7): no carrier"},
        // A value that itself holds a placeholder is not filled again.
        FillCase{"ValueWithPercent",
                 kStrCannotRemoveFile,
                 {"\\My Documents\\100%s.PDB"},
                 "File \\My Documents\\100%s.PDB cannot be removed"},
        FillCase{"MissingValueLeavesThePlaceholder",
                 kStrPortBusy,
                 {},
                 "%s port is busy. Please try another port using Preferences/IR Setup dialog."},
        FillCase{"Utf8", kStrLearntCarrier, {"26"}, "carrier 26 \xC2\xB5s."}),
    [](const testing::TestParamInfo<FillCase>& info) { return std::string(info.param.label); });

// Whether the web address in `text`, wrapped at `width` pixels as a message box wraps it,
// lies on one line.
bool AddressOnOneLine(const QString& text, int width) {
    QFont font("Arial");
    font.setPixelSize(13);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    bool whole = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString part = text.mid(line.textStart(), line.textLength());
        part.remove(QChar(0x2060));
        whole = whole || part.contains(ARDEL_WEB_ADDRESS);
    }
    layout.endLayout();
    return whole;
}

// The start-up warning of a handheld without IR driver never breaks its web address across
// lines, whatever the width of its box; wrapped as it stands, it would.
TEST(StringText, AddressesStayOnOneLine) {
    const QString text = StringText(kStrNoDriver);
    bool plainBreaks = false;
    for (int width = 140; width <= 600; width += 10) {
        EXPECT_TRUE(AddressOnOneLine(KeepAddressesWhole(text), width)) << width;
        plainBreaks = plainBreaks || !AddressOnOneLine(text, width);
    }
    EXPECT_TRUE(plainBreaks);
    QString shown = KeepAddressesWhole(text);
    EXPECT_EQ(shown.remove(QChar(0x2060)), text);
}

}  // namespace
