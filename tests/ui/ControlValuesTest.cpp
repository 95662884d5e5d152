#include <limits>

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "PageTestRig.h"
#include "gui/main/ControlCategory.h"
#include "gui/main/ControlValues.h"
#include "gui/main/ListCodes.h"
#include "gui/main/SpinRanges.h"

namespace {

// A window of loose controls, each registered under an id.
struct LooseControls final : ControlFinder {
    template <typename W, typename... Args>
    W &add(int id, Args &&...args)
    {
        auto *widget = new W(std::forward<Args>(args)..., &window);
        registry.Register(id, *widget);
        return *widget;
    }
    QWidget *FindControl(int id) const override { return registry.Find(id); }

    QApplication &app = TestApplication();
    QWidget window;
    ControlRegistry registry;
};

TEST(ControlCategoryTest, ClassifiesByWidgetType)
{
    LooseControls c;
    struct Case {
        QWidget *widget;
        ControlCategory fine;
        ControlCategory coarse;
    };
    const Case cases[] = {
        {&c.add<QLineEdit>(1), ControlCategory::Edit, ControlCategory::Edit},
        {&c.add<SpinButton>(2, 2), ControlCategory::Spin, ControlCategory::Spin},
        {&c.add<QComboBox>(3), ControlCategory::List, ControlCategory::List},
        {&c.add<QToolButton>(4), ControlCategory::Button, ControlCategory::Button},
        {&c.add<QPushButton>(5), ControlCategory::PushButton, ControlCategory::Button},
        {&c.add<QCheckBox>(6), ControlCategory::CheckBox, ControlCategory::Button},
        {&c.add<QRadioButton>(7), ControlCategory::RadioButton, ControlCategory::Button},
        {&c.add<QLabel>(8), ControlCategory::None, ControlCategory::None},
        {nullptr, ControlCategory::None, ControlCategory::None},
    };
    for (const Case &test : cases) {
        EXPECT_EQ(ClassifyControl(test.widget, ClassifyDepth::Fine), test.fine);
        EXPECT_EQ(ClassifyControl(test.widget, ClassifyDepth::Coarse), test.coarse);
    }
}

TEST(ControlValuesTest, EditsAndSpins)
{
    LooseControls c;
    auto &edit = c.add<QLineEdit>(10);
    auto &spin = c.add<SpinButton>(11, 11);
    spin.setBuddy(&edit);
    spin.setRange(-100, 100);

    edit.setText("  -42 units");
    EXPECT_EQ(ReadControlValue(c, 10), -42);
    edit.setText("none");
    EXPECT_EQ(ReadControlValue(c, 10), 0);
    EXPECT_TRUE(WriteControlValue(c, 10, -7));
    EXPECT_EQ(edit.text(), "-7");

    // A spin shows what it can hold, in its buddy too.
    EXPECT_TRUE(WriteControlValue(c, 11, 250));
    EXPECT_EQ(ReadControlValue(c, 11), 100);
    EXPECT_EQ(edit.text(), "100");
}

TEST(ControlValuesTest, ListsReadCodesOrPositions)
{
    LooseControls c;
    auto &list = c.add<QComboBox>(20);
    list.addItems({"Off", "Low", "High"});
    list.setCurrentIndex(-1);
    EXPECT_EQ(ReadControlValue(c, 20), -1);
    list.setCurrentIndex(2);
    EXPECT_EQ(ReadControlValue(c, 20), 2);

    const std::int32_t codes[] = {0, 5, 9};
    AttachListCodes(list, codes);
    EXPECT_EQ(ReadControlValue(c, 20), 9);
    EXPECT_TRUE(WriteControlValue(c, 20, 5));
    EXPECT_EQ(list.currentIndex(), 1);
    // No entry has code 2, so position 2 is chosen; past the list nothing is.
    EXPECT_TRUE(WriteControlValue(c, 20, 2));
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_FALSE(WriteControlValue(c, 20, 3));
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_FALSE(WriteControlValue(c, 20, -1));
}

TEST(ControlValuesTest, CheckBoxesAndOtherControls)
{
    LooseControls c;
    auto &check = c.add<QCheckBox>(30);
    EXPECT_EQ(ReadControlValue(c, 30), 0);
    EXPECT_TRUE(WriteControlValue(c, 30, 7));
    EXPECT_TRUE(check.isChecked());
    EXPECT_EQ(ReadControlValue(c, 30), 1);
    EXPECT_TRUE(WriteControlValue(c, 30, 0));
    EXPECT_FALSE(check.isChecked());

    c.add<QLabel>(31);
    c.add<QPushButton>(32);
    for (int id : {31, 32, 999}) {
        EXPECT_EQ(ReadControlValue(c, id), -1) << id;
        EXPECT_FALSE(WriteControlValue(c, id, 1)) << id;
    }
}

TEST(ControlValuesTest, RadioGroupsOfSiblingsEndAtTheNextGroupStart)
{
    LooseControls c;
    auto &a0 = c.add<QRadioButton>(40);
    auto &a1 = c.add<QRadioButton>(41);
    auto &a2 = c.add<QRadioButton>(42);
    auto &b0 = c.add<QRadioButton>(43);
    b0.setProperty("groupStart", true);
    auto &b1 = c.add<QRadioButton>(44);
    for (QRadioButton *radio : {&a0, &a1, &a2, &b0, &b1})
        radio->setAutoExclusive(false);

    EXPECT_EQ(ReadControlValue(c, 40), -1);
    EXPECT_TRUE(WriteControlValue(c, 40, 2));
    EXPECT_TRUE(a2.isChecked());
    EXPECT_EQ(ReadControlValue(c, 40), 2);
    EXPECT_TRUE(WriteControlValue(c, 43, 1));
    EXPECT_TRUE(b1.isChecked());
    EXPECT_TRUE(a2.isChecked()) << "the second group leaves the first alone";
    EXPECT_EQ(ReadControlValue(c, 43), 1);
    EXPECT_TRUE(WriteControlValue(c, 40, 0));
    EXPECT_TRUE(a0.isChecked());
    EXPECT_FALSE(a2.isChecked());
    EXPECT_FALSE(WriteControlValue(c, 40, 3)) << "position past the group";
    EXPECT_TRUE(a0.isChecked());
}

TEST(ControlValuesTest, RadioButtonGroupsAndExclusiveUnchecking)
{
    LooseControls c;
    QButtonGroup group;
    auto &r0 = c.add<QRadioButton>(50);
    auto &r1 = c.add<QRadioButton>(51);
    c.add<QLineEdit>(52);
    auto &r2 = c.add<QRadioButton>(53); // same group although not adjacent
    for (QRadioButton *radio : {&r0, &r1, &r2})
        group.addButton(radio);
    r1.setChecked(true);
    EXPECT_EQ(ReadControlValue(c, 50), 1);
    EXPECT_TRUE(WriteControlValue(c, 50, 2));
    EXPECT_TRUE(r2.isChecked());
    EXPECT_FALSE(r1.isChecked());
    EXPECT_TRUE(group.exclusive());
    EXPECT_EQ(ReadControlValue(c, 51), 1) << "a group read from its second button starts there";
}

// The list codes that the camera expects, through the real pages.
TEST(ListCodesTest, PageListsRoundTripTheirCodes)
{
    PageRig rig;
    SetComboItemData(rig.finder);
    struct Case {
        int list;
        int entry;
        std::int32_t code;
    };
    const Case cases[] = {
        {1363, 4, 11}, {1363, 19, 30}, {1375, 4, 10}, {1375, 5, 12}, {1387, 6, 13}, {1399, 7, 14},
        {1098, 2, 10}, {1098, 17, 29}, {1101, 2, 7},  {1345, 20, 30}, {1362, 3, 4},  {1398, 4, 8},
        {1223, 3, 4},  {1439, 1, 1},   {1445, 1, 3},  {1451, 1, 2},   {1457, 1, 4},  {1100, 1, 1},
    };
    for (const Case &test : cases) {
        rig.List(test.list).setCurrentIndex(test.entry);
        EXPECT_EQ(ReadControlValue(rig.finder, test.list), test.code) << test.list << " entry " << test.entry;
        rig.List(test.list).setCurrentIndex(0);
        EXPECT_TRUE(WriteControlValue(rig.finder, test.list, test.code));
        EXPECT_EQ(rig.List(test.list).currentIndex(), test.entry) << test.list << " code " << test.code;
    }
    EXPECT_EQ(rig.List(1223).itemText(3), "Eighty");
    // Every table's lists exist and have as many entries as the table has codes.
    for (const ListCodeTable &table : ListCodeTables()) {
        for (int id : table.controlIds)
            EXPECT_EQ(rig.List(id).count(), static_cast<int>(table.codes.size())) << id;
    }
}

TEST(SpinRangesTest, RangesFollowTheTableAndWidenWithoutWrapping)
{
    PageRig rig;
    SetSpinRanges(rig.table, rig.finder);
    EXPECT_EQ(rig.Spin(1226).lower(), 8);
    EXPECT_EQ(rig.Spin(1226).upper(), 4096);
    EXPECT_EQ(rig.Spin(1140).lower(), -133);
    EXPECT_EQ(rig.Spin(1670).upper(), 972);
    EXPECT_EQ(rig.Spin(1562).lower(), -1000);

    const int width = rig.table.CtrlId2TblIndex(1225);
    const int divider = rig.table.CtrlId2TblIndex(1551);
    rig.table.Row(width).rangeMode = 1;
    rig.table.Row(divider).rangeMode = 1;
    SetSpinRanges(rig.table, rig.finder);
    EXPECT_EQ(rig.Spin(1226).lower(), 7);
    EXPECT_EQ(rig.Spin(1226).upper(), 4097);
    EXPECT_EQ(rig.Spin(1552).lower(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(rig.Spin(1552).upper(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(rig.Spin(1228).upper(), 4080) << "rows in mode 0 stay as they are";
    EXPECT_TRUE(rig.dialogs.Messages().empty());
}

TEST(SpinRangesTest, LinkedSpinIsFoundThroughTheBuddy)
{
    PageRig rig;
    EXPECT_EQ(FindLinkedSpin(rig.finder, 1041), &rig.Spin(1045));
    EXPECT_EQ(FindLinkedSpin(rig.finder, 1215), nullptr) << "a readout has no spin";
    EXPECT_EQ(FindLinkedSpin(rig.finder, 1178), nullptr);
    EXPECT_EQ(FindLinkedSpin(rig.finder, 4242), nullptr);
}

} // namespace
