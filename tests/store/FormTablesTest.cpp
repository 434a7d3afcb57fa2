#include "store/FormTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

bool InsideScreen(const FormRect& r) {
    return r.left >= 0 && r.top >= 0 && !r.IsEmpty() && r.Right() <= kScreenWidth &&
           r.Bottom() <= kScreenHeight;
}

// The placeholder at the end of VCR2 is the only entry without a name.
bool IsPlaceholder(int form, size_t index) {
    return form == 7 && index == 18;
}

// Every button of a table becomes an element of its form, beside the panel's.
TEST(FormTablesTest, EveryFormFitsItsElements) {
    ASSERT_EQ(Forms().size(), size_t(kFormCount));
    for (int f = 0; f < kFormCount; ++f) {
        EXPECT_LE(Form(f).buttons.size() + kPanelElementCount, size_t(kMaxFormElements))
            << Form(f).name;
    }
}

TEST(FormTablesTest, EveryButtonLiesOnTheScreen) {
    for (int f = 0; f < kFormCount; ++f) {
        const auto buttons = Form(f).buttons;
        for (size_t i = 0; i < buttons.size(); ++i) {
            if (IsPlaceholder(f, i)) {
                continue;
            }
            EXPECT_TRUE(InsideScreen(buttons[i].rect)) << Form(f).name << " #" << i;
        }
    }
}

TEST(FormTablesTest, TheVcr2PlaceholderCanNeverBeHitOrFound) {
    const ButtonDef& last = Form(7).buttons.back();
    EXPECT_STREQ(last.name, "");
    EXPECT_EQ(last.rect, FormRect{});
    EXPECT_FALSE(last.rect.Contains(0, 0));
}

// Both forms of a category read one codebase, where buttons are found by name.
TEST(FormTablesTest, ButtonNamesAreUniqueWithinACategory) {
    for (int c = 1; c < kCategoryCount; ++c) {
        std::set<std::string> seen;
        for (int f : {FirstFormOf(c), SecondFormOf(c)}) {
            const auto buttons = Form(f).buttons;
            for (size_t i = 0; i < buttons.size(); ++i) {
                if (IsPlaceholder(f, i)) {
                    continue;
                }
                EXPECT_NE(std::string(buttons[i].name), "") << Form(f).name << " #" << i;
                EXPECT_TRUE(seen.insert(buttons[i].name).second)
                    << CategoryName(c) << ": " << buttons[i].name;
            }
        }
    }
}

TEST(FormTablesTest, FormsPairUpIntoCategories) {
    for (int f = 0; f < kFormCount; ++f) {
        const int c = FormCategory(f);
        EXPECT_TRUE(IsDeviceCategory(c));
        EXPECT_EQ(f % 2 == 0 ? FirstFormOf(c) : SecondFormOf(c), f);
        EXPECT_EQ(FormSlotId(f), f * 10);
    }
    EXPECT_EQ(FormCategory(11), kCategoryTiVo);
    EXPECT_EQ(FormSlotId(11), 110);
    EXPECT_FALSE(IsValidForm(-1));
    EXPECT_FALSE(IsValidForm(kFormCount));
}

TEST(FormTablesTest, CategoryNamesAndAbbreviations) {
    const char* names[] = {"Unknown", "TV", "Cab/Sat", "DVD/CD", "VCR", "Audio", "TiVo"};
    const char* abbreviations[] = {"Unk", "TV", "CAB", "DVD", "VCR", "AUD", "TIV"};
    for (int c = 0; c < kCategoryCount; ++c) {
        EXPECT_STREQ(CategoryName(c), names[c]);
        EXPECT_STREQ(CategoryAbbreviation(c), abbreviations[c]);
    }
    EXPECT_EQ(CategoryName(-1), nullptr);
    EXPECT_EQ(CategoryAbbreviation(kCategoryCount), nullptr);
}

TEST(FormTablesTest, FormNamesAreUniqueImagePrefixes) {
    std::set<std::string> names;
    for (const FormDef& form : Forms()) {
        EXPECT_TRUE(names.insert(form.name).second) << form.name;
    }
    EXPECT_EQ(std::string(Form(0).name) + FormImageSuffix(kImageActive), "TV1_Activ.gif");
    EXPECT_EQ(std::string(Form(11).name) + FormImageSuffix(kImageDisabled), "Tivo2_Disabled.gif");
    EXPECT_EQ(FormImageSuffix(kFormImageCount), nullptr);
}

TEST(FormTablesTest, PanelElements) {
    const auto panel = PanelElements();
    ASSERT_EQ(panel.size(), size_t(kPanelElementCount));
    std::set<int32_t> ids;
    for (const PanelElementDef& element : panel) {
        EXPECT_TRUE(ids.insert(element.id).second) << element.name;
        EXPECT_TRUE(InsideScreen(element.rect)) << element.name;
        EXPECT_EQ(element.activeImage == nullptr, element.pressedImage == nullptr);
    }
    // The tabs follow the category order, named like the categories.
    for (int c = 1; c < kCategoryCount; ++c) {
        EXPECT_EQ(panel[c + 1].id, CategoryTabId(c));
        EXPECT_STREQ(panel[c + 1].name, CategoryName(c));
    }
    EXPECT_EQ(panel[0].id, kPanelNextForm);
    EXPECT_EQ(panel[11].id, kPanelSelectCodebase);
    EXPECT_STREQ(panel[11].activeImage, "SelCB_Activ.bmp");
    EXPECT_FALSE(panel[9].visible);                        // StopLearn
    EXPECT_FALSE(panel[10].visible || panel[10].enabled);  // blip
}

TEST(FormTablesTest, CodebaseNameAreaEndsAtTheSelectorButton) {
    for (int f = 0; f < kFormCount; ++f) {
        const FormRect area = CodebaseNameArea(f);
        EXPECT_EQ(area, (FormRect{57, 9, 97, 12})) << Form(f).name;
        EXPECT_EQ(area.Right(), PanelElements()[11].rect.left);
    }
}

}  // namespace
