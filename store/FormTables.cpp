#include "store/FormTables.h"

#include <array>

namespace {

constexpr const char* kCategoryNames[kCategoryCount] = {
    "Unknown", "TV", "Cab/Sat", "DVD/CD", "VCR", "Audio", "TiVo",
};
constexpr const char* kCategoryAbbreviations[kCategoryCount] = {
    "Unk", "TV", "CAB", "DVD", "VCR", "AUD", "TIV",
};

constexpr const char* kImageSuffixes[kFormImageCount] = {
    "_Back.gif",
    "_Activ.gif",
    "_Pressed.gif",
    "_Disabled.gif",
};

// Button tables: name, left, top, width, height.

constexpr ButtonDef kTv1[] = {
    {"Power", {2, 3, 42, 41}},   {"Last", {63, 23, 57, 28}},   {"Input", {118, 23, 57, 28}},
    {"1", {31, 51, 30, 30}},     {"2", {62, 51, 30, 30}},      {"3", {90, 51, 30, 30}},
    {"4", {121, 51, 30, 30}},    {"5", {152, 51, 30, 30}},     {"6", {31, 81, 30, 30}},
    {"7", {62, 81, 30, 30}},     {"8", {90, 81, 30, 30}},      {"9", {121, 81, 30, 30}},
    {"0", {152, 81, 30, 30}},    {"Mute", {2, 103, 34, 36}},   {"Ch+", {62, 111, 80, 40}},
    {"Vol-", {24, 132, 44, 92}}, {"Enter", {64, 157, 76, 41}}, {"Vol+", {140, 132, 40, 92}},
    {"Ch-", {61, 201, 83, 40}},  {"F1", {54, 242, 61, 24}},    {"F2", {118, 242, 61, 24}},
};

constexpr ButtonDef kTv2[] = {
    {"Guide", {15, 26, 56, 33}}, {"Up", {71, 34, 48, 43}},     {"Cancel", {121, 27, 56, 33}},
    {"Left", {30, 78, 42, 47}},  {"OK", {70, 76, 51, 51}},     {"Right", {120, 77, 42, 48}},
    {"Menu", {14, 137, 56, 36}}, {"Down", {71, 125, 49, 43}},  {"Exit", {123, 137, 56, 36}},
    {"PIP", {30, 193, 40, 40}},  {"Step-", {73, 203, 35, 26}}, {"Step+", {145, 203, 35, 26}},
    {"F3", {54, 242, 61, 24}},   {"F4", {118, 242, 61, 24}},
};

constexpr ButtonDef kCabSat1[] = {
    {"Power", {3, 3, 40, 40}},       {"TV/Sat", {43, 26, 51, 23}}, {"Last", {94, 26, 43, 23}},
    {"Favorite", {136, 26, 44, 23}}, {"1", {31, 51, 30, 30}},      {"2", {61, 51, 30, 30}},
    {"3", {91, 51, 30, 30}},         {"4", {121, 51, 30, 30}},     {"5", {151, 51, 30, 30}},
    {"6", {31, 80, 30, 30}},         {"7", {61, 80, 30, 30}},      {"8", {91, 80, 30, 30}},
    {"9", {121, 80, 30, 30}},        {"0", {151, 80, 30, 30}},     {"Mute", {2, 103, 33, 36}},
    {"Ch+", {61, 112, 83, 40}},      {"Vol-", {26, 132, 39, 92}},  {"Enter", {64, 157, 77, 42}},
    {"Vol+", {140, 133, 39, 93}},    {"Ch-", {61, 203, 83, 38}},   {"F1", {54, 243, 61, 24}},
    {"F2", {118, 243, 61, 24}},
};

constexpr ButtonDef kCabSat2[] = {
    {"Guide", {12, 25, 58, 35}},     {"Up", {71, 29, 49, 42}},     {"Info", {121, 25, 56, 35}},
    {"Left", {28, 70, 42, 52}},      {"OK", {69, 69, 53, 52}},     {"Right", {119, 71, 45, 49}},
    {"Menu", {13, 128, 57, 37}},     {"Down", {71, 119, 50, 44}},  {"Exit", {120, 131, 58, 35}},
    {"Prog", {15, 182, 69, 25}},     {"Day-", {84, 183, 34, 25}},  {"Day+", {145, 183, 34, 25}},
    {"Settings", {16, 212, 69, 27}}, {"Page-", {83, 213, 35, 25}}, {"Page+", {145, 213, 34, 24}},
    {"F3", {54, 242, 61, 24}},       {"F4", {118, 242, 61, 24}},
};

constexpr ButtonDef kDvdCd1[] = {
    {"Power", {2, 2, 41, 41}},
    {"Menu", {12, 43, 54, 32}},
    {"Up", {71, 33, 47, 41}},
    {"Title", {121, 42, 54, 34}},
    {"Left", {30, 76, 41, 46}},
    {"OK", {68, 72, 53, 53}},
    {"Right", {118, 76, 44, 46}},
    {"Display", {3, 139, 64, 33}},
    {"Down", {72, 123, 48, 42}},
    {"Exit", {123, 137, 53, 36}},
    {"Play", {21, 181, 76, 28}},
    {"Pause", {99, 181, 39, 30}},
    {"Stop", {137, 181, 40, 30}},
    {"Fast Rewind", {22, 208, 39, 30}},
    {"Fast Forward", {60, 208, 39, 30}},
    {"Rewind", {99, 208, 39, 30}},
    {"Forward", {136, 208, 39, 31}},
    {"F1", {54, 243, 61, 25}},
    {"F2", {118, 242, 61, 25}},
};

constexpr ButtonDef kDvdCd2[] = {
    {"1", {4, 28, 30, 30}},       {"2", {33, 28, 30, 30}},       {"3", {63, 28, 30, 30}},
    {"4", {91, 28, 30, 30}},      {"5", {120, 28, 30, 30}},      {"6", {150, 28, 30, 30}},
    {"7", {4, 59, 30, 30}},       {"8", {32, 59, 30, 30}},       {"9", {62, 59, 30, 30}},
    {"0", {91, 59, 30, 30}},      {"Enter", {119, 59, 60, 30}},  {"+10", {56, 92, 61, 33}},
    {"Clear", {119, 93, 60, 32}}, {"Mute", {4, 115, 43, 44}},    {"Subtitle", {10, 160, 70, 31}},
    {"Chap-", {80, 160, 35, 30}}, {"Chap+", {141, 160, 35, 30}}, {"Audio", {10, 203, 70, 31}},
    {"Vol-", {80, 203, 35, 30}},  {"Vol+", {141, 205, 36, 30}},  {"F3", {55, 243, 60, 24}},
    {"F4", {118, 243, 61, 25}},
};

constexpr ButtonDef kVcr1[] = {
    {"Power", {1, 2, 43, 42}},
    {"Input", {14, 44, 53, 33}},
    {"Up", {72, 33, 46, 41}},
    {"Menu", {123, 43, 52, 33}},
    {"Left", {30, 76, 40, 46}},
    {"OK", {69, 73, 52, 52}},
    {"Right", {119, 76, 43, 46}},
    {"Down", {72, 123, 46, 42}},
    {"Display", {4, 140, 62, 32}},
    {"Exit", {123, 139, 53, 35}},
    {"Play", {22, 182, 77, 28}},
    {"Pause", {100, 181, 37, 30}},
    {"Stop", {138, 181, 38, 30}},
    {"Fast Rewind", {21, 208, 38, 30}},
    {"Fast Forward", {61, 208, 37, 30}},
    {"Eject", {100, 208, 37, 30}},
    {"Record", {138, 209, 38, 31}},
    {"F1", {54, 243, 61, 24}},
    {"F2", {118, 242, 61, 26}},
};

// The last entry is a placeholder that the form counts as a button but that is never drawn,
// hit or found in a codebase; it keeps the indices of hardware-key assignments stable.
constexpr ButtonDef kVcr2[] = {
    {"1", {22, 32, 30, 31}},    {"2", {52, 32, 30, 31}},      {"3", {83, 32, 30, 31}},
    {"4", {112, 32, 30, 31}},   {"5", {141, 32, 30, 31}},     {"6", {21, 72, 30, 31}},
    {"7", {52, 72, 30, 31}},    {"8", {82, 72, 30, 31}},      {"9", {111, 72, 31, 31}},
    {"0", {141, 72, 31, 31}},   {"Ch+", {79, 111, 84, 42}},   {"Clear", {8, 130, 57, 24}},
    {"VCR+", {7, 163, 63, 31}}, {"Enter", {82, 156, 79, 44}}, {"OSD", {8, 200, 61, 32}},
    {"Ch-", {80, 202, 84, 40}}, {"F3", {54, 243, 61, 25}},    {"F4", {118, 242, 61, 25}},
    {"", {0, 0, 0, 0}},
};

constexpr ButtonDef kAudio1[] = {
    {"Power", {2, 3, 41, 40}},    {"TV", {3, 43, 58, 28}},        {"Input", {66, 30, 51, 22}},
    {"Aux", {64, 61, 58, 28}},    {"Cab/Sat", {121, 42, 58, 28}}, {"DVD", {3, 80, 58, 28}},
    {"Phono", {64, 99, 58, 28}},  {"VCR", {122, 80, 58, 28}},     {"CD", {4, 118, 58, 28}},
    {"Tape", {122, 118, 58, 28}}, {"Vol-", {34, 150, 40, 90}},    {"Mute", {73, 177, 38, 37}},
    {"Vol+", {111, 149, 41, 91}}, {"F1", {54, 242, 61, 24}},      {"F2", {118, 242, 61, 24}},
};

constexpr ButtonDef kAudio2[] = {
    {"Tuner", {2, 14, 52, 23}},   {"Surr", {38, 36, 50, 30}},   {"Up", {87, 37, 43, 39}},
    {"DSP", {129, 36, 50, 30}},   {"Preset+", {7, 49, 28, 35}}, {"Left", {49, 74, 39, 45}},
    {"OK", {87, 75, 44, 44}},     {"Right", {129, 74, 40, 45}}, {"Preset-", {8, 110, 26, 37}},
    {"Menu", {39, 128, 49, 31}},  {"Down", {87, 117, 43, 40}},  {"Mode", {130, 130, 49, 30}},
    {"Enter", {13, 179, 53, 30}}, {"1", {65, 179, 29, 30}},     {"2", {94, 179, 28, 30}},
    {"3", {122, 179, 28, 30}},    {"4", {150, 179, 28, 30}},    {"5", {10, 208, 28, 30}},
    {"6", {38, 208, 28, 30}},     {"7", {66, 208, 28, 30}},     {"8", {94, 208, 28, 30}},
    {"9", {122, 208, 28, 30}},    {"0", {150, 208, 28, 30}},    {"F3", {54, 242, 61, 24}},
    {"F4", {118, 242, 61, 24}},
};

constexpr ButtonDef kTivo1[] = {
    {"Power", {2, 3, 41, 40}},          {"Up", {97, 34, 44, 40}},
    {"Aux Bypass", {4, 45, 56, 29}},    {"Left", {60, 52, 39, 46}},
    {"Right", {139, 51, 39, 47}},       {"VCR Bypass", {4, 77, 57, 28}},
    {"Down", {97, 75, 44, 40}},         {"Select", {5, 108, 54, 26}},
    {"Thumbs Down", {62, 116, 44, 27}}, {"Thumbs Up", {134, 122, 44, 28}},
    {"TiVo Service", {3, 149, 89, 30}}, {"LiveTV/Guide", {92, 148, 87, 30}},
    {"Play", {23, 195, 77, 31}},        {"Pause", {101, 194, 38, 36}},
    {"Record", {140, 195, 35, 31}},     {"Back", {64, 230, 37, 32}},
    {"Forward", {102, 230, 38, 32}},    {"Slow", {141, 230, 36, 33}},
};

constexpr ButtonDef kTivo2[] = {
    {"Clear", {5, 16, 50, 23}},
    {"1", {27, 41, 31, 30}},
    {"2", {57, 41, 31, 30}},
    {"3", {87, 41, 31, 30}},
    {"4", {117, 41, 31, 30}},
    {"5", {147, 41, 31, 30}},
    {"6", {27, 70, 31, 30}},
    {"7", {57, 70, 31, 30}},
    {"8", {87, 70, 31, 30}},
    {"9", {117, 70, 31, 30}},
    {"0", {147, 70, 31, 30}},
    {"Mute", {1, 102, 34, 33}},
    {"Ch/P+", {60, 111, 84, 41}},
    {"Vol-", {26, 132, 39, 90}},
    {"Enter/Jump", {64, 158, 76, 41}},
    {"Vol+", {139, 134, 40, 89}},
    {"Ch/P-", {60, 203, 85, 37}},
    {"Advance", {51, 243, 64, 23}},
    {"Instant Replay", {118, 243, 60, 23}},
};

constexpr FormDef kForms[kFormCount] = {
    {"TV1", kTv1},       {"TV2", kTv2},       {"CabSat1", kCabSat1}, {"CabSat2", kCabSat2},
    {"DVDCD1", kDvdCd1}, {"DVDCD2", kDvdCd2}, {"VCR1", kVcr1},       {"VCR2", kVcr2},
    {"Audio1", kAudio1}, {"Audio2", kAudio2}, {"Tivo1", kTivo1},     {"Tivo2", kTivo2},
};

constexpr PanelElementDef kPanel[kPanelElementCount] = {
    {kPanelNextForm, "NextForm", {0, 241, 51, 26}, true, true, nullptr, nullptr},
    {kPanelSelect, "Select", {184, 32, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryTv), "TV", {184, 76, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryCabSat), "Cab/Sat", {184, 107, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryDvdCd), "DVD/CD", {184, 138, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryVcr), "VCR", {184, 169, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryAudio), "Audio", {184, 200, 54, 31}, true, true, nullptr, nullptr},
    {CategoryTabId(kCategoryTiVo), "TiVo", {184, 233, 54, 31}, true, true, nullptr, nullptr},
    {kPanelInfo, "i", {220, 5, 14, 14}, true, true, nullptr, nullptr},
    {kPanelStopLearn, "StopLearn", {52, 1, 116, 18}, false, true, nullptr, nullptr},
    {kPanelBlip, "blip", {204, 5, 14, 14}, false, false, nullptr, nullptr},
    {kPanelSelectCodebase,
     "Select Codebase",
     {154, 9, 16, 12},
     true,
     true,
     "SelCB_Activ.bmp",
     "SelCB_Pressed.bmp"},
};

// The codebase-name area: left and top per form, right and bottom shared.
constexpr int32_t kNameAreaLeft[kFormCount] = {57, 57, 57, 57, 57, 57, 57, 57, 57, 57, 57, 57};
constexpr int32_t kNameAreaTop[kFormCount] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
constexpr int32_t kNameAreaRight = 154;
constexpr int32_t kNameAreaBottom = 21;

}  // namespace

const char* CategoryName(int category) {
    return category >= 0 && category < kCategoryCount ? kCategoryNames[category] : nullptr;
}

const char* CategoryAbbreviation(int category) {
    return category >= 0 && category < kCategoryCount ? kCategoryAbbreviations[category] : nullptr;
}

const FormDef& Form(int form) {
    return kForms[form];
}

std::span<const FormDef> Forms() {
    return kForms;
}

const char* FormImageSuffix(int image) {
    return image >= 0 && image < kFormImageCount ? kImageSuffixes[image] : nullptr;
}

std::span<const PanelElementDef> PanelElements() {
    return kPanel;
}

FormRect CodebaseNameArea(int form) {
    const int32_t left = kNameAreaLeft[form];
    const int32_t top = kNameAreaTop[form];
    return {left, top, kNameAreaRight - left, kNameAreaBottom - top};
}
