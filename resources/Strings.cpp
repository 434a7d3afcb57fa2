#include "Strings.h"

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {65022, "Cannot find skin-file "},
    {65033,
     "You've successfully read the first infrared\nsignal of the button.\nBe sure that you've "
     "released\nthe button on the\nremote\nand press Continue."},
    {65039,
     "No codebase has been assigned to this category. Select a codebase by pressing the "
     "small triangle at the top of the screen, or press the Select button and create a new "
     "codebase by using the Add button in the Home Devices form."},
    {65046,
     "You've not learned any button on the lower form. Press Continue if you want to learn "
     "additional buttons."},
    {65053, "Com port is not selected!"},
    {65054, "%s port is busy. Please try another port using Preferences/IR Setup dialog."},
    {65056,
     "ArdelRemote cannot use the infrared port of your device. Check compatibility "
     "at " ARDEL_WEB_ADDRESS "."},
    {65057, "Internal IR driver error %d. Please write to " ARDEL_SUPPORT_ADDRESS "."},
    {65058, "ArdelRemote faced a problem while receiving signal, please try again (%d)"},
};

}  // namespace

const char* LoadString(int id) {
    for (const Entry& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return "";
}
