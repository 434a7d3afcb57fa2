#include "shell/CHardButtonsDlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QTreeWidget>

#include "platform/HardKeys.h"
#include "platform/Modal.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/CHelpDlg.h"
#include "store/FormTables.h"
#include "tests/remote/RemoteWindowFixture.h"
#include "tests/support/RecordingServices.h"

namespace {

// The built-in assignments as the rows show them, in slot order.
const char* const kBuiltInTexts[kHardKeyCount] = {
    "TV (Mute)", "TV (Power)", "Cab/Sat (Ch+)", "Cab/Sat (Ch-)",
    "TV (Vol-)", "TV (Vol+)",  "Cab/Sat (OK)",
};

constexpr int kUpRow = 2;

// The names of a form's buttons, as the form tables give them.
QStringList TableNames(int form) {
    QStringList names;
    for (const ButtonDef& button : Form(form).buttons) {
        names.push_back(QString::fromLatin1(button.name));
    }
    return names;
}

QStringList ItemsOf(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items.push_back(list.itemText(i));
    }
    return items;
}

}  // namespace

class HardButtonsTest : public RemoteWindowTest {
  protected:
    // Runs the dialog for the window; `act` works it and closes it.
    void Run(const std::function<void(CHardButtonsDlg&)>& act) {
        modal.onDialog = [this, &act](QDialog& dialog) -> int {
            if (auto* help = qobject_cast<CHelpDlg*>(&dialog)) {
                helpTopics.push_back(help->Topic());
                return kIdOk;
            }
            auto* hard = qobject_cast<CHardButtonsDlg*>(&dialog);
            if (!hard) {
                ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
                return kIdCancel;
            }
            act(*hard);
            return dialog.result();
        };
        RunHardButtons(*window, modal);
        modal.onDialog = nullptr;  // `act` ends here
    }

    static void TapRow(CHardButtonsDlg& dialog, int row) {
        QTreeWidget& list = *dialog.List();
        list.scrollToItem(list.topLevelItem(row));
        const QRect rect = list.visualItemRect(list.topLevelItem(row));
        ASSERT_FALSE(rect.isEmpty()) << "row " << row << " is not shown";
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    }
    // A choice in a drop-down, as the user makes it.
    static void Choose(QComboBox& list, int index) {
        list.setCurrentIndex(index);
        emit list.activated(index);
    }
    static int PositionOf(CHardButtonsDlg& dialog, int category, const QString& name) {
        const auto& entries = dialog.CategoryButtons(category);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].name == name) {
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << "no button " << name.toStdString() << " in category " << category;
        return -1;
    }
    static std::vector<QString> RowTexts(CHardButtonsDlg& dialog) {
        std::vector<QString> texts;
        for (int row = 0; row < kHardKeyCount; ++row) {
            texts.push_back(dialog.AssignmentText(row));
        }
        return texts;
    }
    static std::vector<HardKeyAssignment> BuiltInKeys() {
        const auto keys = DefaultHardKeys();
        return std::vector<HardKeyAssignment>(keys.begin(), keys.end());
    }
    static std::vector<QString> BuiltInTexts() {
        return std::vector<QString>(std::begin(kBuiltInTexts), std::end(kBuiltInTexts));
    }
    std::vector<HardKeyAssignment> WindowKeys() {
        std::vector<HardKeyAssignment> result(kHardKeyCount);
        for (int slot = 0; slot < kHardKeyCount; ++slot) {
            model->GetKeyAssignment(slot, result[static_cast<size_t>(slot)]);
        }
        return result;
    }
    static void ExpectSameKeys(const std::vector<HardKeyAssignment>& actual,
                               const std::vector<HardKeyAssignment>& expected) {
        for (int slot = 0; slot < kHardKeyCount; ++slot) {
            const HardKeyAssignment& a = actual[static_cast<size_t>(slot)];
            const HardKeyAssignment& e = expected[static_cast<size_t>(slot)];
            EXPECT_EQ(a.used, e.used) << "slot " << slot;
            EXPECT_EQ(a.form, e.form) << "slot " << slot;
            EXPECT_EQ(a.button, e.button) << "slot " << slot;
        }
    }

    std::vector<int> helpTopics;
};

TEST_F(HardButtonsTest, OpensWithTheBuiltInAssignments) {
    Run([](CHardButtonsDlg& dialog) {
        QTreeWidget& list = *dialog.List();
        ASSERT_EQ(list.topLevelItemCount(), kHardKeyCount);
        const char* const names[] = {"Button 1", "Button 2", "Up",   "Down",
                                     "Left",     "Right",    "Start"};
        for (int row = 0; row < kHardKeyCount; ++row) {
            EXPECT_EQ(list.topLevelItem(row)->text(0), names[row]);
            EXPECT_FALSE(list.topLevelItem(row)->icon(0).isNull()) << "row " << row;
        }
        EXPECT_EQ(RowTexts(dialog), BuiltInTexts());
        EXPECT_EQ(list.headerItem()->text(0), "Button");
        EXPECT_EQ(list.headerItem()->text(1), "Assignment");
        EXPECT_TRUE(dialog.Active());
        EXPECT_EQ(dialog.CurrentRow(), -1);
        EXPECT_TRUE(list.selectedItems().isEmpty());
        EXPECT_FALSE(dialog.ButtonList()->isEnabled());
        EXPECT_EQ(ItemsOf(*dialog.CategoryList()),
                  QStringList({"TV", "Cab/Sat", "DVD/CD", "VCR", "Audio", "TiVo"}));
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), -1);
        EXPECT_EQ(dialog.HelpBar()->HelpTopic(), 9);
        // Choosing a category before a row does nothing.
        Choose(*dialog.CategoryList(), 1);
        EXPECT_FALSE(dialog.ButtonList()->isEnabled());
        EXPECT_EQ(dialog.ButtonList()->count(), 0);
        dialog.CancelButton()->click();
    });
    EXPECT_TRUE(modal.messages.empty());
}

// Drawn smaller on a small screen, where its rows no longer fit the list, the list scrolls to
// every row (the last key, Start, was cut off and out of reach), and only up and down.
TEST_F(HardButtonsTest, ListZoomedDownReachesEveryRow) {
    Run([](CHardButtonsDlg& dialog) {
        ZoomDialog(dialog, 0.5);
        dialog.show();
        QCoreApplication::processEvents();
        QTreeWidget& list = *dialog.List();
        const QRect last = list.visualItemRect(list.topLevelItem(kHardKeyCount - 1));
        EXPECT_TRUE(
            list.viewport()->rect().contains(last) ||
            (list.verticalScrollBar()->isVisible() && list.verticalScrollBar()->maximum() > 0))
            << "last row at " << last.y() << ", " << last.height() << " high, in "
            << list.viewport()->height() << "; dialog " << dialog.width() << "x" << dialog.height();
        // Up and down only: the columns never scroll sideways.
        EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
        dialog.CancelButton()->click();
    });
}

// Every row of the list is in sight without scrolling, and nothing below the list covers it.
TEST_F(HardButtonsTest, ListShowsAllItsRowsWithoutScrolling) {
    Run([](CHardButtonsDlg& dialog) {
        QTreeWidget& list = *dialog.List();
        const QRect viewport = list.viewport()->rect();
        for (int row = 0; row < kHardKeyCount; ++row) {
            const QRect shown = list.visualItemRect(list.topLevelItem(row));
            EXPECT_TRUE(viewport.contains(shown)) << "row " << row;
        }
        EXPECT_EQ(list.verticalScrollBar()->maximum(), 0);
        for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != &list && child->isVisible()) {
                EXPECT_FALSE(child->geometry().intersects(list.geometry()))
                    << child->objectName().toStdString();
                EXPECT_TRUE(dialog.rect().contains(child->geometry()))
                    << child->objectName().toStdString();
            }
        }
        dialog.CancelButton()->click();
    });
}

TEST_F(HardButtonsTest, OpensWithTheSwitchOffShowingTheSystemDefault) {
    window->SetKeyCapture(false);
    Run([](CHardButtonsDlg& dialog) {
        EXPECT_FALSE(dialog.Active());
        EXPECT_EQ(RowTexts(dialog), std::vector<QString>(kHardKeyCount, "Win CE default"));
        // The assignments are kept underneath, for OK to hand back unchanged.
        EXPECT_TRUE(dialog.Slot(0).used);
        EXPECT_EQ(dialog.Slot(0).form, 0);
        EXPECT_EQ(dialog.Slot(0).button, 13);
        dialog.CancelButton()->click();
    });
}

// Assignments that name no button of the forms, as a damaged preference file may hold them.
TEST_F(HardButtonsTest, AssignmentOutsideTheFormsShowsNothingAndIsKept) {
    model->SetKeyAssignment(1, true, 40, 2);   // no such form
    model->SetKeyAssignment(2, true, 0, 200);  // no such button
    // A panel element of TV1, not a button.
    model->SetKeyAssignment(3, true, 0, static_cast<int>(Form(0).buttons.size()) + 1);
    model->SetKeyAssignment(4, false, 0, 13);  // not used: no assignment at all
    model->SetKeyAssignment(5, true, -1, -1);  // used, but names nothing
    Run([](CHardButtonsDlg& dialog) {
        for (int row = 1; row <= 5; ++row) {
            EXPECT_EQ(dialog.AssignmentText(row), "") << "row " << row;
            EXPECT_EQ(dialog.Slot(row).position, -1) << "row " << row;
        }
        EXPECT_EQ(dialog.Slot(1).form, 40);
        EXPECT_EQ(dialog.Slot(4).form, -1);
        EXPECT_EQ(dialog.Slot(4).button, -1);
        for (const int row : {1, 5}) {
            TapRow(dialog, row);
            EXPECT_EQ(dialog.CurrentRow(), row);
            EXPECT_EQ(dialog.CategoryList()->currentIndex(), -1) << "row " << row;
            EXPECT_FALSE(dialog.ButtonList()->isEnabled()) << "row " << row;
        }
        TapRow(dialog, 2);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 0);
        EXPECT_EQ(dialog.ButtonList()->currentIndex(), -1);
        dialog.OkButton()->click();
    });
    HardKeyAssignment kept;
    model->GetKeyAssignment(1, kept);
    EXPECT_TRUE(kept.used);
    EXPECT_EQ(kept.form, 40);
    EXPECT_EQ(kept.button, 2);
}

TEST_F(HardButtonsTest, RestoreWinCeDefaultsThenOkGivesEveryKeyBack) {
    window->SetKeyCapture(true);
    ASSERT_TRUE(keys.open);
    const int closesBefore = keys.closes;
    Run([](CHardButtonsDlg& dialog) {
        TapRow(dialog, kUpRow);
        dialog.RestoreSystemButton()->click();
        EXPECT_FALSE(dialog.Active());
        EXPECT_EQ(RowTexts(dialog), std::vector<QString>(kHardKeyCount, "Win CE default"));
        EXPECT_EQ(dialog.CurrentRow(), -1);
        EXPECT_TRUE(dialog.List()->selectedItems().isEmpty());
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), -1);
        EXPECT_EQ(dialog.ButtonList()->currentIndex(), -1);
        EXPECT_FALSE(dialog.ButtonList()->isEnabled());
        dialog.OkButton()->click();
    });
    EXPECT_FALSE(model->KeyCapture());
    EXPECT_GT(keys.closes, closesBefore);
    EXPECT_FALSE(keys.open);
    ExpectSameKeys(WindowKeys(), std::vector<HardKeyAssignment>(kHardKeyCount, {false, -1, -1}));
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        std::vector<uint8_t> payload;
        ASSERT_TRUE(ReadPrefRecord(*fs, model->PrefFile(), uint16_t(350 + slot), payload));
        ASSERT_GE(payload.size(), 3u);
        EXPECT_EQ(std::vector<uint8_t>(payload.begin(), payload.begin() + 3),
                  (std::vector<uint8_t>{0, 0xFF, 0xFF}))
            << "slot " << slot;
    }
    std::vector<uint8_t> screen;
    ASSERT_TRUE(ReadPrefRecord(*fs, model->PrefFile(), 330, screen));
    ASSERT_GE(screen.size(), 2u);
    EXPECT_EQ(screen[1], 0);
    EXPECT_TRUE(modal.messages.empty());
}

TEST_F(HardButtonsTest, ChoosingAButtonWithTheSwitchOffStartsFromTheBuiltInSet) {
    window->SetKeyCapture(false);
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        model->SetKeyAssignment(slot, false, -1, -1);
    }
    Run([](CHardButtonsDlg& dialog) {
        TapRow(dialog, kUpRow);
        Choose(*dialog.CategoryList(), 0);
        EXPECT_TRUE(dialog.ButtonList()->isEnabled());
        Choose(*dialog.ButtonList(), PositionOf(dialog, 0, "Ch+"));
        EXPECT_TRUE(dialog.Active());
        std::vector<QString> expected = BuiltInTexts();
        expected[kUpRow] = "TV (Ch+)";
        EXPECT_EQ(RowTexts(dialog), expected);
        EXPECT_TRUE(dialog.Slot(kUpRow).used);
        EXPECT_EQ(dialog.Slot(kUpRow).form, 0);
        EXPECT_EQ(dialog.Slot(kUpRow).button, 14);
        // The row shows its new assignment when tapped again.
        TapRow(dialog, kUpRow);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 0);
        EXPECT_EQ(dialog.ButtonList()->currentText(), "Ch+");
        dialog.OkButton()->click();
    });
    EXPECT_TRUE(model->KeyCapture());
    EXPECT_TRUE(keys.open);
    std::vector<HardKeyAssignment> expected = BuiltInKeys();
    expected[kUpRow] = {true, 0, 14};
    ExpectSameKeys(WindowKeys(), expected);
}

TEST_F(HardButtonsTest, ChoosingAButtonWithTheSwitchOnChangesOnlyThatRow) {
    Run([](CHardButtonsDlg& dialog) {
        TapRow(dialog, 6);  // "Start": Cab/Sat (OK)
        Choose(*dialog.CategoryList(), 4);
        EXPECT_EQ(dialog.ButtonList()->currentIndex(), -1);
        const int position = PositionOf(dialog, 4, "Power");
        Choose(*dialog.ButtonList(), position);
        std::vector<QString> expected = BuiltInTexts();
        expected[6] = "Audio (Power)";
        EXPECT_EQ(RowTexts(dialog), expected);
        EXPECT_EQ(dialog.Slot(6).form, dialog.CategoryButtons(4)[size_t(position)].form);
        EXPECT_EQ(dialog.Slot(6).button, dialog.CategoryButtons(4)[size_t(position)].button);
        EXPECT_EQ(dialog.CurrentRow(), 6);
        dialog.OkButton()->click();
    });
    HardKeyAssignment start;
    model->GetKeyAssignment(6, start);
    EXPECT_EQ(start.form, 8);  // Audio1
    EXPECT_EQ(window->ButtonName(start.form, start.button), "Power");
}

TEST_F(HardButtonsTest, TappingTheCurrentRowAgainChangesNothing) {
    Run([](CHardButtonsDlg& dialog) {
        TapRow(dialog, kUpRow);
        EXPECT_EQ(dialog.CurrentRow(), kUpRow);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 1);
        EXPECT_EQ(dialog.ButtonList()->currentText(), "Ch+");
        EXPECT_TRUE(dialog.ButtonList()->isEnabled());
        Choose(*dialog.CategoryList(), 0);  // TV, no button chosen yet
        TapRow(dialog, kUpRow);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 0);
        EXPECT_EQ(dialog.ButtonList()->currentIndex(), -1);
        EXPECT_EQ(dialog.ButtonList()->count(), static_cast<int>(dialog.CategoryButtons(0).size()));
        EXPECT_EQ(dialog.AssignmentText(kUpRow), "Cab/Sat (Ch+)");
        // Another row shows its own assignment.
        TapRow(dialog, 0);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 0);
        EXPECT_EQ(dialog.ButtonList()->currentText(), "Mute");
        dialog.CancelButton()->click();
    });
}

TEST_F(HardButtonsTest, RestoreArdelRemoteDefaultsBringsBackTheBuiltInSet) {
    model->SetKeyAssignment(0, false, -1, -1);
    model->SetKeyAssignment(4, true, 10, 1);
    Run([](CHardButtonsDlg& dialog) {
        TapRow(dialog, kUpRow);
        Choose(*dialog.CategoryList(), 2);
        Choose(*dialog.ButtonList(), 0);
        dialog.RestoreDefaultsButton()->click();
        EXPECT_TRUE(dialog.Active());
        EXPECT_EQ(RowTexts(dialog), BuiltInTexts());
        EXPECT_EQ(dialog.CurrentRow(), -1);
        EXPECT_TRUE(dialog.List()->selectedItems().isEmpty());
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), -1);
        EXPECT_FALSE(dialog.ButtonList()->isEnabled());
        // The row that was current before shows its restored assignment when tapped.
        TapRow(dialog, kUpRow);
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), 1);
        EXPECT_EQ(dialog.ButtonList()->currentText(), "Ch+");
        dialog.OkButton()->click();
    });
    EXPECT_TRUE(model->KeyCapture());
    ExpectSameKeys(WindowKeys(), BuiltInKeys());
}

TEST_F(HardButtonsTest, CancelLeavesTheWindowAsItWas) {
    model->SetKeyAssignment(1, false, -1, -1);
    model->SetKeyAssignment(3, true, 5, 2);
    const std::vector<HardKeyAssignment> before = WindowKeys();
    const int opens = keys.opens;
    const int closes = keys.closes;
    Run([](CHardButtonsDlg& dialog) {
        dialog.RestoreSystemButton()->click();
        TapRow(dialog, 4);
        Choose(*dialog.CategoryList(), 3);
        Choose(*dialog.ButtonList(), 1);
        dialog.RestoreDefaultsButton()->click();
        TapRow(dialog, 0);
        Choose(*dialog.CategoryList(), 5);
        Choose(*dialog.ButtonList(), 2);
        dialog.CancelButton()->click();
    });
    EXPECT_TRUE(model->KeyCapture());
    ExpectSameKeys(WindowKeys(), before);
    EXPECT_EQ(keys.opens, opens);
    EXPECT_EQ(keys.closes, closes);
    std::vector<uint8_t> payload;
    EXPECT_FALSE(ReadPrefRecord(*fs, model->PrefFile(), 350, payload)) << "nothing is saved";
}

TEST_F(HardButtonsTest, EachCategoryListsItsFormsButtonsAndNoPanelElement) {
    Run([](CHardButtonsDlg& dialog) {
        for (int position = 0; position < CHardButtonsDlg::kCategories; ++position) {
            const int first = 2 * position;
            QStringList expected = TableNames(first) + TableNames(first + 1);
            QStringList names;
            const auto& entries = dialog.CategoryButtons(position);
            for (size_t i = 0; i < entries.size(); ++i) {
                names.push_back(entries[i].name);
                const int form = i < Form(first).buttons.size() ? first : first + 1;
                const int index =
                    static_cast<int>(form == first ? i : i - Form(first).buttons.size());
                EXPECT_EQ(entries[i].form, form) << "category " << position << " entry " << i;
                EXPECT_EQ(entries[i].button, index) << "category " << position << " entry " << i;
            }
            EXPECT_EQ(names, expected) << "category " << position;
        }
        // What the drop-down shows for TV.
        TapRow(dialog, 0);
        EXPECT_EQ(ItemsOf(*dialog.ButtonList()), TableNames(0) + TableNames(1));
        dialog.CancelButton()->click();
    });
}

TEST_F(HardButtonsTest, FailedSaveIsReportedWithThePreferenceFile) {
    Run([this](CHardButtonsDlg& dialog) {
        fs->FailStep(1);  // the first write of the save
        dialog.OkButton()->click();
    });
    fs->FailStep(0);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text,
              "Cannot save current preferences in the file "
              "'\\Program Files\\ArdelRemote\\ArdelRemoteDefPref.PDB'.");
}

TEST_F(HardButtonsTest, HelpBarOpensTheHardButtonsTopic) {
    Run([](CHardButtonsDlg& dialog) {
        dialog.HelpBar()->HelpAction()->trigger();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(helpTopics, std::vector<int>{9});
}

// The four triangles point the way of their keys: most of the ink lies at the far side
// from the tip.
TEST(HardButtonsIcons, TrianglesPointTheirWay) {
    struct Way {
        int row;
        int dx;
        int dy;
    };
    for (const Way way : {Way{2, 0, -1}, Way{3, 0, 1}, Way{4, -1, 0}, Way{5, 1, 0}}) {
        const QImage icon = CHardButtonsDlg::RowIcon(way.row).toImage();
        ASSERT_EQ(icon.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "white is transparent";
        // The ink's centre of mass lies behind the centre of its bounds, against the
        // direction.
        double sumX = 0, sumY = 0, count = 0;
        int left = 16, right = -1, top = 16, bottom = -1;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (qAlpha(icon.pixel(x, y)) != 0) {
                    sumX += x;
                    sumY += y;
                    ++count;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        ASSERT_GT(count, 0) << "row " << way.row;
        const double cx = sumX / count - (left + right) / 2.0;
        const double cy = sumY / count - (top + bottom) / 2.0;
        EXPECT_LT(cx * way.dx + cy * way.dy, -0.5) << "row " << way.row;
    }
}
