#include "resources/HelpTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

INSTANTIATE_TEST_SUITE_P(Topics, HelpTopicShape, testing::Range(0, kHelpTopicCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Topic" + std::to_string(info.param);
                         });

TEST(HelpTexts, TopicsOutsideTheTableDoNotExist) {
    EXPECT_EQ(GetHelpTopic(-1), nullptr);
    EXPECT_EQ(GetHelpTopic(kHelpTopicCount), nullptr);
}

}  // namespace
