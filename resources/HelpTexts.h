// The built-in help texts, one topic per dialog that offers help.
#pragma once

#include <cstddef>

// Line 0 is the heading; lines 1 to count - 1 are the body, each at most 43 characters of
// running text (a line that starts with a blank begins a paragraph).
struct HelpTopic {
    const char* const* lines;
    int count;
};

constexpr int kHelpTopicCount = 10;
constexpr int kMaxHelpLineLength = 43;

// Topics by the dialog that opens them.
enum HelpTopicId {
    kHelpGettingStarted = 0,
    kHelpControlling = 1,
    kHelpLearning = 2,
    kHelpHomeDevices = 3,
    kHelpNewCodebase = 4,
    kHelpRelearnCodebase = 5,
    kHelpRenameCodebase = 6,
    kHelpSavePreferences = 7,
    kHelpLoadPreferences = 8,
    kHelpHardButtons = 9,
};

// The topic, or nullptr for a number outside 0 to 9.
const HelpTopic* GetHelpTopic(int topic);
