#include "resources/HelpTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TopicShape {
    const char* heading;
    int bodyLines;
};

constexpr TopicShape kShapes[kHelpTopicCount] = {
    {"GETTING STARTED ", 36},
    {"CONTROLLING YOUR DEVICES ", 28},
    {"LEARNING BUTTONS ", 14},
    {"HOME DEVICES ", 23},
    {"NEW CODEBASE ", 17},
    {"LEARNING EXISTING CODEBASE ", 13},
    {"RENAME EXISTING CODEBASE ", 1},
    {"SAVE CURRENT PREFERENCES ", 5},
    {"LOAD OLD PREFERENCES ", 7},
    {"HARD BUTTONS ", 10},
};

class HelpTopicShape : public testing::TestWithParam<int> {};

// The dialog's list is sized for these texts: the exact number of lines per topic and
// no line wider than the list.
TEST_P(HelpTopicShape, HeadingLineCountAndWidth) {
    const HelpTopic* topic = GetHelpTopic(GetParam());
    ASSERT_NE(topic, nullptr);
    const TopicShape& shape = kShapes[GetParam()];
    EXPECT_STREQ(topic->lines[0], shape.heading);
    EXPECT_EQ(topic->count, shape.bodyLines + 1);
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
