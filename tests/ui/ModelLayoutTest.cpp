#include <gtest/gtest.h>

#include "PageTestRig.h"
#include "gui/main/ControlValues.h"
#include "gui/main/ListCodes.h"
#include "gui/main/ModelLayout.h"

namespace {

// Shown on its page: not hidden itself, nor any group box around it.
bool shown(const PageRig &rig, int id)
{
    QWidget *control = rig.Find(id);
    return control && control->isVisibleTo(control->window());
}

struct ModelCase {
    std::initializer_list<int> shownWithModel0;
    std::initializer_list<int> shownWithModel1;
};
const ModelCase kGroups = {
    {1319, 1217, 1639, 1628, 1544, 1542, 1592, 1597, 1579, 1577, 1576, 1326, 1250, 1251, 1616, 1330, 1243, 1676},
    {1323, 1296, 1299, 1316, 1233, 1320, 1293, 1688, 1690, 1694, 1317, 1195, 1318, 1290, 1300, 1266, 1624,
     1615, 1312, 1629, 1638, 1687, 1678, 1683, 1676, 1674},
};

TEST(ModelLayoutTest, SecondModelLayout)
{
    PageRig rig;
    SetComboItemData(rig.finder);
    ApplyModelLayout(rig.finder, 0);
    EXPECT_EQ(rig.List(1142).currentIndex(), 0);
    for (int id : kGroups.shownWithModel0)
        EXPECT_TRUE(shown(rig, id)) << id;
    for (int id : kGroups.shownWithModel1)
        EXPECT_EQ(shown(rig, id), id == 1676 || id == 1674) << id;

    EXPECT_EQ(ListEntries(rig.List(1224)), QStringList({"Common"}));
    EXPECT_EQ(ListEntries(rig.List(1174)), QStringList({"85MHz", "63.75MHz", "42.5MHz", "31.875MHz"}));
    EXPECT_EQ(ListEntries(rig.List(1408)),
              QStringList({"Off", "Once", "Preset 5000K", "Preset 6500K", "Preset 7500K"}));
    const std::int32_t codes[] = {0, 2, 5, 6, 7};
    for (int entry = 0; entry < 5; ++entry) {
        rig.List(1408).setCurrentIndex(entry);
        EXPECT_EQ(ReadControlValue(rig.finder, 1408), codes[entry]) << entry;
    }
    EXPECT_TRUE(WriteControlValue(rig.finder, 1408, 5));
    EXPECT_EQ(rig.List(1408).currentText(), "Preset 5000K");
}

TEST(ModelLayoutTest, FirstModelLayout)
{
    PageRig rig;
    ApplyModelLayout(rig.finder, 0);
    ApplyModelLayout(rig.finder, 1);
    EXPECT_EQ(rig.List(1142).currentIndex(), 1);
    for (int id : kGroups.shownWithModel1)
        EXPECT_TRUE(shown(rig, id)) << id;
    for (int id : kGroups.shownWithModel0)
        EXPECT_EQ(shown(rig, id), id == 1676) << id;

    EXPECT_EQ(ListEntries(rig.List(1224)), QStringList({"Common", "Indivisual"}));
    EXPECT_EQ(ListEntries(rig.List(1174)), QStringList({"85MHz", "63.75MHz", "42.5MHz"}));
    EXPECT_EQ(rig.List(1408).itemText(2), "Exposure Once");
    EXPECT_EQ(rig.List(1408).count(), 6);
    rig.List(1408).setCurrentIndex(2);
    EXPECT_EQ(ReadControlValue(rig.finder, 1408), 4);
    rig.List(1408).setCurrentIndex(5);
    EXPECT_EQ(ReadControlValue(rig.finder, 1408), 7);

    // Applying the same model again changes nothing.
    ApplyModelLayout(rig.finder, 1);
    EXPECT_EQ(ListEntries(rig.List(1224)), QStringList({"Common", "Indivisual"}));
    EXPECT_EQ(rig.List(1408).count(), 6);
    EXPECT_EQ(rig.List(1174).count(), 3);
}

TEST(ModelLayoutTest, OtherModelsOnlyClearTheModelList)
{
    PageRig rig;
    ApplyModelLayout(rig.finder, 1);
    for (int code : {6, 2, -1}) {
        ApplyModelLayout(rig.finder, code);
        EXPECT_EQ(rig.List(1142).currentIndex(), -1) << code;
        EXPECT_TRUE(shown(rig, 1688)) << code;
        EXPECT_FALSE(shown(rig, 1639)) << code;
        EXPECT_EQ(rig.List(1408).count(), 6) << code;
    }
}

TEST(ModelLayoutTest, EntriesMatchByPrefixIgnoringCase)
{
    PageRig rig;
    const QComboBox &list = rig.List(1408);
    EXPECT_EQ(FindEntryByPrefix(list, "exposure"), 2);
    EXPECT_EQ(FindEntryByPrefix(list, "PRESET 6"), 4);
    EXPECT_EQ(FindEntryByPrefix(list, "Once"), 1);
    EXPECT_EQ(FindEntryByPrefix(list, "Twice"), -1);
    // An entry that only begins like the one to remove is removed as well: the lists are
    // built so that this never takes a wrong one.
    rig.List(1224).setItemText(1, "INDIVISUAL (per colour)");
    ApplyModelLayout(rig.finder, 0);
    EXPECT_EQ(ListEntries(rig.List(1224)), QStringList({"Common"}));
}

} // namespace
