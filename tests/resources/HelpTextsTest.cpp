#include "resources/HelpTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

class HelpTopicShape : public testing::TestWithParam<int> {};

// A heading, then lines of text that the dialog's list shows one by one: none empty, none
// holding a line break, none longer than a line of the list.
TEST_P(HelpTopicShape, AHeadingAndSingleLinesOfText) {
    const HelpTopic* topic = GetHelpTopic(GetParam());
    ASSERT_NE(topic, nullptr);
    ASSERT_GE(topic->count, 2);
    EXPECT_NE(std::string(topic->lines[0]).find_first_not_of(' '), std::string::npos);
    for (int i = 1; i < topic->count; ++i) {
        const std::string line = topic->lines[i];
        EXPECT_LE(line.size(), size_t{kMaxHelpLineLength}) << line;
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    }
}

// The words of a paragraph are spread over its lines, so that no paragraph ends in a line of a
// word or two under full ones ("point the handheld at the device and tap a / virtual
// button."): its last line is at least half as long as its longest.
TEST_P(HelpTopicShape, ParagraphsEndWithoutLoneWords) {
    const HelpTopic* topic = GetHelpTopic(GetParam());
    ASSERT_NE(topic, nullptr);
    std::vector<std::string> paragraph;
    auto check = [&paragraph] {
        size_t longest = 0;
        for (const std::string& line : paragraph) {
            longest = std::max(longest, line.size());
        }
        if (paragraph.size() > 1) {
            EXPECT_GE(2 * paragraph.back().size(), longest) << paragraph.back();
        }
        paragraph.clear();
    };
    for (int i = 1; i < topic->count; ++i) {
        const std::string line = topic->lines[i];
        if (line.starts_with(' ')) {
            check();
        }
        paragraph.push_back(line.substr(line.find_first_not_of(' ')));
    }
    check();
}

INSTANTIATE_TEST_SUITE_P(Topics, HelpTopicShape, testing::Range(0, kHelpTopicCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Topic" + std::to_string(info.param);
                         });

TEST(HelpTexts, TopicsOutsideTheTableDoNotExist) {
    EXPECT_EQ(GetHelpTopic(-1), nullptr);
    EXPECT_EQ(GetHelpTopic(kHelpTopicCount), nullptr);
}

}  // namespace
