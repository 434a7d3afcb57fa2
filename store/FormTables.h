// The fixed layout of the remote screen: the device categories, the twelve forms with their
// skin images and buttons, the panel of navigation elements that sits on every form, the area
// that shows the hot codebase's name, and the slot ids under which the forms keep their hot
// codebase in the preference file. Everything here is constant; the remote window builds its
// forms from it, and the catalogue and the preference files use the categories and slot ids.
#pragma once

#include <cstdint>
#include <span>

// Device categories. Unknown has no forms; categories 1 to 6 own two forms each.
enum Category : int {
    kCategoryUnknown = 0,
    kCategoryTv = 1,
    kCategoryCabSat = 2,
    kCategoryDvdCd = 3,
    kCategoryVcr = 4,
    kCategoryAudio = 5,
    kCategoryTiVo = 6,
};
constexpr int kCategoryCount = 7;  // including Unknown

// The category's full name ("Cab/Sat") and its abbreviation in codebase names ("CAB");
// null for a number outside 0..6.
const char* CategoryName(int category);
const char* CategoryAbbreviation(int category);

// The remote screen in handheld pixels.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 268;

constexpr int kFormCount = 12;
constexpr int kPanelElementCount = 12;
constexpr int kMaxFormElements = 99;  // buttons plus panel elements of one form
constexpr uint32_t kTransparentColour = 0xFF00FF;
constexpr int32_t kButtonElementId = -1;  // the id of every button element

// Form n belongs to category n / 2 + 1; category c owns forms 2c - 2 (its first form) and
// 2c - 1 (its second, "lower" form).
constexpr int FormCategory(int form) {
    return form / 2 + 1;
}
constexpr int FirstFormOf(int category) {
    return 2 * category - 2;
}
constexpr int SecondFormOf(int category) {
    return 2 * category - 1;
}
constexpr bool IsValidForm(int form) {
    return form >= 0 && form < kFormCount;
}
constexpr bool IsDeviceCategory(int category) {
    return category >= 1 && category <= 6;
}
// The form's codebase slot id, which is also the key of its hot-codebase record.
constexpr int FormSlotId(int form) {
    return form * 10;
}

// A rectangle in window pixels; right and bottom are exclusive.
struct FormRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    constexpr int32_t Right() const { return left + width; }
    constexpr int32_t Bottom() const { return top + height; }
    constexpr bool IsEmpty() const { return width <= 0 || height <= 0; }
    constexpr bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < Right() && y >= top && y < Bottom();
    }
    friend constexpr bool operator==(const FormRect&, const FormRect&) = default;
};

// A button of a form: the name under which its signals are stored in the category's
// codebase, and where it lies. The index of a button is its position in its form's table.
struct ButtonDef {
    const char* name;
    FormRect rect;
};

// The four skin images of a form: the background, and the pictures that elements copy their
// rectangle from in each state (Disabled serves Dimmed too).
enum FormImage : int {
    kImageBackground = 0,
    kImageActive = 1,
    kImagePressed = 2,
    kImageDisabled = 3,
};
constexpr int kFormImageCount = 4;

struct FormDef {
    const char* name;  // also the prefix of its image files: "TV1"
    std::span<const ButtonDef> buttons;
};

// Form n, 0..11; the forms in order.
const FormDef& Form(int form);
std::span<const FormDef> Forms();

// The file name of one of the form's images in the skin folder: "TV1_Activ.gif".
const char* FormImageSuffix(int image);  // "_Back.gif", ...; null outside 0..3

// Panel elements, the same twelve on every form, appended after the form's buttons.
enum PanelId : int32_t {
    kPanelNextForm = 1,
    kPanelSelect = 2,
    // 3..8: the category tabs, category number + 2.
    kPanelInfo = 98,
    kPanelStopLearn = 99,
    kPanelBlip = 100,
    kPanelSelectCodebase = 101,
};
constexpr int32_t CategoryTabId(int category) {
    return category + 2;
}

struct PanelElementDef {
    int32_t id;
    const char* name;
    FormRect rect;
    bool visible;  // at start
    bool enabled;  // at start
    // Images of its own for the states Active and Pressed, in the skin folder; null when the
    // element draws from the form's state images. An element with its own images draws
    // nothing in the states Disabled and Dimmed.
    const char* activeImage;
    const char* pressedImage;
};

std::span<const PanelElementDef> PanelElements();

// Where a form writes the display name of its hot codebase; tapping it opens the codebase
// selector. The same on every form.
FormRect CodebaseNameArea(int form);
