#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "core/formats/LutCurve.h"

namespace {

LutTable rampOfEndPoints()
{
    EditPoints points;
    LutTable table{};
    RasterizeCurve(points.InUse(), kGraphSize, table);
    return table;
}

TEST(LutCurve, EndPointsGiveTheRamp)
{
    const LutTable table = rampOfEndPoints();
    const std::vector<std::pair<int, std::int32_t>> expected = {
        {0, 0}, {1, 16}, {2, 32}, {3, 49}, {4, 65}, {5, 81}, {128, 2048}, {254, 4063}, {255, 4095}};
    for (const auto &[index, value] : expected)
        EXPECT_EQ(table[static_cast<std::size_t>(index)], value) << "entry " << index;
}

TEST(LutCurve, ConvertEditableOnTheRampPlacesEvenPoints)
{
    EditPoints points;
    points.ConvertEditable(8, rampOfEndPoints());
    const std::vector<int> xs = {0, 36, 73, 109, 146, 182, 219, 256};
    ASSERT_EQ(points.Count(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(points.InUse()[static_cast<std::size_t>(i)].x, xs[static_cast<std::size_t>(i)]);
    EXPECT_EQ(points.InUse().back(), (EditPoint{256, 0}));
}

// A flat start followed by a steep rise: the spline swings below the bottom edge before the
// rise and above the top edge after it. Below the bottom the table holds 0, not full brightness.
TEST(LutCurve, DipBelowTheBottomGivesZeroAndOvershootGivesTop)
{
    const std::vector<EditPoint> curve = {{0, 256}, {40, 256}, {80, 0}, {120, 0}, {256, 0}};
    const CurveSamples samples = SampleCurve(curve);
    const auto deepest = std::max_element(samples.y.begin(), samples.y.end());
    ASSERT_GT(*deepest, 257.0) << "the curve must dip below the bottom edge";
    const double dipInput = 16.0 * samples.x[static_cast<std::size_t>(deepest - samples.y.begin())];
    const auto highest = std::min_element(samples.y.begin(), samples.y.end());
    ASSERT_LT(*highest, -1.0) << "the curve must rise above the top edge";
    const double peakInput = 16.0 * samples.x[static_cast<std::size_t>(highest - samples.y.begin())];

    LutTable table{};
    RasterizeCurve(curve, kGraphSize, table);
    EXPECT_EQ(table[static_cast<std::size_t>(dipInput / 16.0)], 0) << "at input " << dipInput;
    EXPECT_EQ(table[static_cast<std::size_t>(peakInput / 16.0)], kLutMaxValue) << "at input " << peakInput;
    for (int i = 0; i < 40; ++i)
        EXPECT_LT(table[static_cast<std::size_t>(i)], 1024) << "entry " << i << " of the flat start";
    for (std::int32_t value : table) {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, kLutMaxValue);
    }
}

TEST(LutCurve, FastRasterMatchesTheScan)
{
    const std::vector<std::vector<EditPoint>> curves = {
        {{0, 256}, {256, 0}},
        {{0, 256}, {40, 250}, {80, 30}, {81, 200}, {200, 5}, {256, 0}},
        {{0, 0}, {10, 256}, {20, 0}, {30, 256}, {40, 0}, {50, 256}, {60, 0}, {70, 256},
         {80, 0}, {90, 256}, {100, 0}, {110, 256}, {120, 0}, {130, 256}, {140, 0}, {256, 0}},
        {{0, 256}, {128, 128}, {128, 0}, {256, 0}},
    };
    for (const auto &curve : curves) {
        LutTable fast{}, scan{};
        RasterizeCurve(curve, kGraphSize, fast);
        RasterizeCurveByScan(curve, kGraphSize, scan);
        EXPECT_EQ(fast, scan) << "curve of " << curve.size() << " points";
    }
}

// Random curves of every size, with points bunched or stacked on one x so that the spline of x
// turns back and the samples run in both directions.
TEST(LutCurve, FastRasterMatchesTheScanOnRandomCurves)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, kGraphSize);
    for (int round = 0; round < 40; ++round) {
        const int count = 2 + round % (kMaxEditPoints - 1);
        std::vector<EditPoint> curve(static_cast<std::size_t>(count));
        for (EditPoint &point : curve)
            point = {round % 3 == 0 ? coordinate(random) / 32 * 32 : coordinate(random), coordinate(random)};
        std::sort(curve.begin(), curve.end(), [](const EditPoint &l, const EditPoint &r) { return l.x < r.x; });
        LutTable fast{}, scan{};
        RasterizeCurve(curve, kGraphSize, fast);
        RasterizeCurveByScan(curve, kGraphSize, scan);
        EXPECT_EQ(fast, scan) << "round " << round;
    }
}

TEST(LutCurve, SixteenPointsGiveEightThousandSamples)
{
    std::vector<EditPoint> curve;
    for (int i = 0; i < 16; ++i)
        curve.push_back({i * 16, 256 - i * 16});
    EXPECT_EQ(SampleCurve(curve).x.size(), 8000u);
}

// Points far enough apart that every left-button position adds one: neighbours differ by
// 100 pixels in y, points two apart by 34 in x.
EditPoint farPoint(int i)
{
    return {10 + 17 * i, i % 2 ? 80 : 180};
}

TEST(EditPointsGestures, MoveAddDeleteAndLimits)
{
    EditPoints points;
    points.LeftButtonAt(30, 230); // within 32 of (0, 256) in both directions: moves it
    EXPECT_EQ(points.Count(), 2);
    EXPECT_EQ(points.InUse()[0], (EditPoint{30, 230}));
    points.RightButtonAt(256, 0); // end points are never deleted
    points.RightButtonAt(30, 230);
    EXPECT_EQ(points.Count(), 2);
    for (int i = 0; i < 13; ++i)
        points.LeftButtonAt(farPoint(i).x, farPoint(i).y);
    EXPECT_EQ(points.Count(), kMaxAddedPoints);
    points.LeftButtonAt(128, 0); // a sixteenth is refused
    EXPECT_EQ(points.Count(), kMaxAddedPoints);
    for (std::size_t i = 1; i < points.InUse().size(); ++i)
        EXPECT_LE(points.InUse()[i - 1].x, points.InUse()[i].x);
    while (points.Count() > 2) {
        const EditPoint interior = points.InUse()[1];
        points.RightButtonAt(interior.x, interior.y);
    }
    // The leftmost point is now the first one, and stays.
    points.RightButtonAt(farPoint(0).x, farPoint(0).y);
    EXPECT_EQ(points.Count(), 2);
    EXPECT_EQ(points.InUse().front(), farPoint(0));
    EXPECT_EQ(points.InUse().back(), (EditPoint{256, 0}));
}

} // namespace
