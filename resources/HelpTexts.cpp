// The built-in help: ten topics, a heading and lines of running text each.
#include "resources/HelpTexts.h"

namespace {

constexpr const char* kTopic0[] = {
    "GETTING STARTED ",
    " ArdelRemote makes this handheld a ",
    "learning remote control for your TV, VCR, ",
    "DVD or CD player, satellite or cable box, ",
    "audio set and digital video recorder. ",
    " It does not come with a list of codes for ",
    "devices. Instead it learns the infrared ",
    "signals from the own remote control of ",
    "each device and keeps them in a codebase, ",
    "one codebase for every device you control. ",
    " To start, open the Home Devices form ",
    "with the Select button on the right of ",
    "the remote screen. Tap Add, choose a ",
    "category, type a name for the device and ",
    "learn its buttons one after the other. ",
    " Every category (TV, Cab/Sat, DVD/CD, VCR, ",
    "Audio and TiVo) has two pages of buttons ",
    "and one hot codebase: the codebase whose ",
    "signals those buttons send. ",
    " To control a device, choose its ",
    "category with the buttons on the right, ",
    "check that its hot codebase is shown at ",
    "the top, point the handheld at the ",
    "device and tap a virtual button. ",
    " In the Hard Buttons form you can give the ",
    "keys of the handheld (on a computer, keys ",
    "of the keyboard) tasks of your own, for ",
    "example channel up and down or the volume, ",
    "so you can zap without the stylus. ",
    " Saved preferences keep your hot ",
    "codebases and key assignments for later. ",
    "Use Save and Load in the Preferences ",
    "menu to switch between sets, for example ",
    "for the living room and the bedroom. ",
    " Tap the small i at the top of ",
    "the remote screen whenever you ",
    "need help on what you see. ",
};

constexpr const char* kTopic1[] = {
    "CONTROLLING YOUR DEVICES ",
    " The six buttons on the right of the ",
    "screen choose the category: TV, Cab/Sat, ",
    "DVD/CD, VCR, Audio and TiVo. Each ",
    "category remembers its own hot codebase. ",
    " The name at the top of the screen ",
    "is the hot codebase of the category. ",
    "To use another one, tap the small ",
    "triangle beside the name and pick a ",
    "codebase from the pull-down list. ",
    " Tap a button to send its signal to the ",
    "device. Hold it down to repeat the signal, ",
    "as on the remote control of the device. ",
    "Buttons that have not been learnt yet are ",
    "shown dimmed and do nothing when tapped. ",
    " Tips: ",
    " 1. The arrow button in the lower ",
    "left corner of the remote shows ",
    "more buttons of the same category. ",
    " 2. If a device does not react, ",
    "check that the right hot codebase ",
    "is chosen and that the handheld ",
    "points straight at the device. ",
    " 3. To make a new codebase, press ",
    "the Select button on the right and ",
    "then Add in the Home Devices form. ",
    " Keys of the handheld that you assigned ",
    "in the Hard Buttons form send their ",
    "buttons from any page of the remote. ",
};

constexpr const char* kTopic2[] = {
    "LEARNING BUTTONS ",
    " Place the remote control of your ",
    "device and the handheld in line, 5 ",
    "to 10 inches apart, with their ",
    "infrared windows facing each other. ",
    " Tap the virtual button you want to learn. ",
    "Then press and hold the button of the ",
    "remote control until the handheld beeps. ",
    " In double mode repeat both steps ",
    "once more for the same button. ",
    " Keep both still while the ",
    "handheld is listening. ",
    " Tap Stop Learning at the top of the ",
    "screen when you are done. Buttons you ",
    "have learnt are then no longer dimmed. ",
};

constexpr const char* kTopic3[] = {
    "HOME DEVICES ",
    " This form lists your codebases. ",
    "The filter buttons All, TV, Cab ",
    "and the others show all codebases ",
    "or only those of one category. ",
    " Add creates a new codebase and ",
    "starts to learn its buttons. ",
    " ReLearn learns some buttons ",
    "of the chosen codebase again. ",
    " Hot makes the chosen codebase ",
    "the one that the buttons of ",
    "its category send from. ",
    " Delete removes the chosen ",
    "codebase from the handheld for ",
    "good, after you have confirmed it. ",
    " Rename gives the chosen ",
    "codebase a new name. ",
    " Select makes the chosen codebase hot ",
    "and takes you back to the remote. ",
    " Done closes the form and takes ",
    "you back to the remote screen, ",
    "where the hot codebases are shown. ",
    " Tap the i at the bottom ",
    "of a form for help on it. ",
};

constexpr const char* kTopic4[] = {
    "NEW CODEBASE ",
    " Choose the category of the device ",
    "and type a name for it. The name is ",
    "shown at the top of the remote when ",
    "the codebase is hot. Then tap Ok ",
    "and learn its buttons one by one. ",
    " Try single mode first: each button is ",
    "learnt with one press of the remote ",
    "control. Most devices need nothing more. ",
    " If some buttons do not work afterwards, ",
    "for example channels 11, 22 or 33 or Mute, ",
    "learn them again in double mode, which ",
    "takes each signal twice: some remotes send ",
    "a button in two forms that alternate. ",
    " Tap Stop Learning at the top of ",
    "the screen when all buttons are ",
    "learnt. You can add more buttons ",
    "later with ReLearn in Home Devices. ",
};

constexpr const char* kTopic5[] = {
    "LEARNING EXISTING CODEBASE ",
    " Here you learn some of the buttons of a ",
    "codebase again, or buttons that it does ",
    "not have yet. Tap Ok, then each button ",
    "to be learnt, and hold the button of the ",
    "remote control until the beep. ",
    " Use single mode first. Use double mode ",
    "for buttons such as channels 11, 22, 33 or ",
    "Mute that still do not work after that. ",
    " Signals learnt before are replaced ",
    "by the new ones; buttons you do not ",
    "tap keep their old signals. ",
    " Tap Stop Learning at the top of ",
    "the screen when you are done. ",
};

constexpr const char* kTopic6[] = {
    "RENAME EXISTING CODEBASE ",
    "none ",
};

constexpr const char* kTopic7[] = {
    "SAVE CURRENT PREFERENCES ",          " A saved preference set keeps the ",
    "names of up to six hot codebases, ", "one for each category, and your ",
    "own hard button assignments. Type ", "a name and tap Save to keep it. ",
};

constexpr const char* kTopic8[] = {
    "LOAD OLD PREFERENCES ",
    " Choose a saved preference set in ",
    "the list and tap Load to use its hot ",
    "codebases and hard buttons again. ",
    " Delete removes the sets that you ",
    "no longer need from the list and ",
    "from the handheld. The settings ",
    "in use stay as they are. ",
};

constexpr const char* kTopic9[] = {
    "HARD BUTTONS ",
    " Choose a hard button in the list, ",
    "then choose a category and an action ",
    "for it in the Use Button list. The ",
    "key then sends that button on every ",
    "page of the remote screen. ",
    " On this computer the keyboard plays the ",
    "handheld's keys: F5 is Button 1, F6 is ",
    "Button 2, the arrow keys are Up, Down, ",
    "Left and Right, and Return is Start. With ",
    "Win CE default they keep their usual use. ",
};

template <size_t N>
constexpr HelpTopic Topic(const char* const (&lines)[N]) {
    return {lines, static_cast<int>(N)};
}

constexpr HelpTopic kTopics[kHelpTopicCount] = {
    Topic(kTopic0), Topic(kTopic1), Topic(kTopic2), Topic(kTopic3), Topic(kTopic4),
    Topic(kTopic5), Topic(kTopic6), Topic(kTopic7), Topic(kTopic8), Topic(kTopic9),
};

}  // namespace

const HelpTopic* GetHelpTopic(int topic) {
    return topic >= 0 && topic < kHelpTopicCount ? &kTopics[topic] : nullptr;
}
