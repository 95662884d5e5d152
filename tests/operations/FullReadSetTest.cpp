#include <algorithm>

#include <gtest/gtest.h>

#include "core/operations/FullReadSet.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "support/ScriptedDialogs.h"

namespace {

bool plans(const std::vector<int> &rows, const ControlTable &table, int controlId)
{
    return std::any_of(rows.begin(), rows.end(), [&](int i) { return table.Row(i).controlId == controlId; });
}

} // namespace

TEST(FullReadSet, LeavesOutComputedActionsLutAndAberrationGroup)
{
    for (int id : {1669, 1671, 1667, 1121, 1193, 1183, 1126, 1197, 1198, 1698, 1160, 1421, 1425, 1162, 1423, 1427,
                   1560, 1695, 1696, 1699, 1700, 1701, 1702, 1703, 1704})
        EXPECT_FALSE(IsInFullReadSet(id)) << id;
    EXPECT_TRUE(IsInFullReadSet(1225));
    EXPECT_TRUE(IsInFullReadSet(1124)) << "the camera rate row is read";
}

TEST(FullReadSet, PlanFollowsModelAndMode)
{
    ScriptedDialogs dialogs;
    const ControlTable table(dialogs);
    CameraModel model;
    EXPECT_TRUE(PlanFullRead(table, model, 1).empty()) << "nothing is read from an unknown model";

    model.Assign(QStringLiteral("QN-5200RL-BDXP"));
    const std::vector<int> standard = PlanFullRead(table, model, 0);
    const std::vector<int> extended = PlanFullRead(table, model, 1);
    EXPECT_TRUE(std::is_sorted(standard.begin(), standard.end())) << "table order";
    EXPECT_FALSE(plans(standard, table, 1195)) << "STP is lacking in code 0";
    EXPECT_TRUE(plans(standard, table, 1628)) << "LROP is there in code 0";
    EXPECT_FALSE(plans(standard, table, 1250)) << "extended rows only in extended mode";
    EXPECT_TRUE(plans(extended, table, 1250));
    for (int i : extended) {
        EXPECT_NE(table.Row(i).kind, ControlKind::Action);
        EXPECT_TRUE(model.IsSupportedCommand(table.Row(i).commandId));
    }
    EXPECT_GT(extended.size(), standard.size());

    model.Assign(QStringLiteral("QN-5200R-BDX"));
    const std::vector<int> first = PlanFullRead(table, model, 0);
    EXPECT_TRUE(plans(first, table, 1195));
    EXPECT_FALSE(plans(first, table, 1628)) << "LROP is lacking in code 1";
}
