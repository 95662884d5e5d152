#include <gtest/gtest.h>

#include "PageTestRig.h"
#include "gui/main/DependentControls.h"

namespace {

struct DependentRig : PageRig {
    DependentRig()
    {
        hooks.hideLutWindows = [this] { ++lutHides; };
        hooks.applyGainAutoPercentage = [this] { ++percentageRuns; };
    }
    bool enabled(int id) const { return Find(id)->isEnabled(); }
    bool shown(int id) const { return Find(id)->isVisibleTo(Find(id)->window()); }
    void select(int list, int position) const { List(list).setCurrentIndex(position); }

    DependentControlHooks hooks;
    int lutHides = 0;
    int percentageRuns = 0;
};

TEST(DependentControlsTest, GainModeSetsEnablingAndRedBlueRanges)
{
    DependentRig rig;
    rig.select(1259, 0);
    UpdateDependentControls(rig.finder, rig.hooks);
    for (int id : {1041, 1045})
        EXPECT_TRUE(rig.enabled(id)) << id;
    for (int id : {1244, 1245, 1173, 1667})
        EXPECT_FALSE(rig.enabled(id)) << id;
    for (int spin : {1247, 1249}) {
        EXPECT_EQ(rig.Spin(spin).lower(), 40);
        EXPECT_EQ(rig.Spin(spin).upper(), 400);
    }

    rig.select(1259, 1);
    UpdateDependentControls(rig.finder, rig.hooks);
    for (int id : {1041, 1045})
        EXPECT_FALSE(rig.enabled(id)) << id;
    for (int id : {1244, 1245, 1173, 1667})
        EXPECT_TRUE(rig.enabled(id)) << id;
    for (int spin : {1247, 1249}) {
        EXPECT_EQ(rig.Spin(spin).lower(), 100);
        EXPECT_EQ(rig.Spin(spin).upper(), 6400);
    }
    EXPECT_EQ(rig.percentageRuns, 2);

    // Any other position leaves gain controls as they are but still runs the percentage rule.
    rig.select(1259, -1);
    EXPECT_FALSE(ApplyGainModeLayout(rig.finder, -1));
    EXPECT_FALSE(ApplyGainModeLayout(rig.finder, 2));
    UpdateDependentControls(rig.finder, rig.hooks);
    EXPECT_TRUE(rig.enabled(1244));
    EXPECT_EQ(rig.Spin(1247).upper(), 6400);
    EXPECT_EQ(rig.percentageRuns, 3);
}

TEST(DependentControlsTest, LutSelectionDrivesGammaAndLutControls)
{
    DependentRig rig;
    rig.select(1116, 1); // Gamma
    UpdateDependentControls(rig.finder, rig.hooks);
    EXPECT_EQ(rig.lutHides, 1);
    EXPECT_FALSE(rig.enabled(1132));
    for (int id : {1141, 1117, 1118})
        EXPECT_TRUE(rig.shown(id)) << id;

    rig.select(1116, 2); // LUT: the editor windows stay as they are
    ApplyLutRule(rig.finder, rig.hooks);
    EXPECT_EQ(rig.lutHides, 1);
    EXPECT_TRUE(rig.enabled(1132));
    for (int id : {1141, 1117, 1118})
        EXPECT_FALSE(rig.shown(id)) << id;

    rig.select(1116, 0);
    ApplyLutRule(rig.finder, rig.hooks);
    EXPECT_EQ(rig.lutHides, 2);
    EXPECT_FALSE(rig.enabled(1132));
    EXPECT_FALSE(rig.shown(1117));

    // Without hooks the rules still run.
    rig.select(1116, 1);
    UpdateDependentControls(rig.finder, DependentControlHooks{});
    EXPECT_TRUE(rig.shown(1117));
}

TEST(DependentControlsTest, RecalibrationOnlyForUserSets)
{
    DependentRig rig;
    const std::pair<int, bool> positions[] = {{-1, false}, {0, false}, {1, false}, {2, true}, {4, true}};
    for (const auto &[position, enabled] : positions) {
        rig.select(1192, position);
        rig.select(1184, position);
        ApplyCorrectionRule(rig.finder);
        EXPECT_EQ(rig.enabled(1193), enabled) << position;
        EXPECT_EQ(rig.enabled(1183), enabled) << position;
    }
    rig.select(1192, 3);
    rig.select(1184, 1);
    ApplyCorrectionRule(rig.finder);
    EXPECT_TRUE(rig.enabled(1193));
    EXPECT_FALSE(rig.enabled(1183));
}

TEST(DependentControlsTest, TriggerModeOnEnablesAutoReset)
{
    DependentRig rig;
    rig.select(1096, 1);
    UpdateDependentControls(rig.finder, rig.hooks);
    EXPECT_TRUE(rig.enabled(1186));
    rig.select(1096, 0);
    ApplyTriggerRule(rig.finder);
    EXPECT_FALSE(rig.enabled(1186));
    rig.select(1096, -1);
    ApplyTriggerRule(rig.finder);
    EXPECT_FALSE(rig.enabled(1186));
}

TEST(DependentControlsTest, ExposureModeAndTimeMode)
{
    DependentRig rig;
    struct Case {
        int mode;
        int timeMode;
        bool common;
        bool colours;
    };
    const Case cases[] = {
        {1, 0, true, false}, {1, 1, false, true}, {0, 0, false, false}, {2, 1, false, false}, {1, -1, false, true},
    };
    for (const Case &test : cases) {
        rig.select(1092, test.mode);
        rig.select(1224, test.timeMode);
        UpdateDependentControls(rig.finder, rig.hooks);
        EXPECT_EQ(rig.enabled(1093), test.common) << test.mode << "/" << test.timeMode;
        for (int id : {1294, 1296, 1298})
            EXPECT_EQ(rig.enabled(id), test.colours) << id;
        // The whole group is enabled first; the spins keep that.
        for (int id : {1092, 1094, 1295, 1297, 1299})
            EXPECT_TRUE(rig.enabled(id)) << id;
    }
}

} // namespace
