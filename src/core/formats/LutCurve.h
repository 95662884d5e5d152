#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The curve behind a LUT editor window: a handful of edit points in graph pixels, a natural
// cubic spline through them, and the 256-entry output table sampled from that spline. Graph
// coordinates: x = input level / 16, y = 256 - output / 16, so (0, 256) is the bottom left.

inline constexpr int kLutEntries = 256;
inline constexpr std::int32_t kLutMaxValue = 4095;
inline constexpr int kGraphSize = 256;
inline constexpr int kMaxEditPoints = 16;
// A click adds a point only while fewer than this many are in use.
inline constexpr int kMaxAddedPoints = 15;
inline constexpr int kMinEditPoints = 2;
inline constexpr int kMaxCurveSamples = 8000;
inline constexpr double kSampleStep = 0.002;

using LutTable = std::array<std::int32_t, kLutEntries>;

struct EditPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const EditPoint &, const EditPoint &) = default;
};

// The input level of table index i: 16 i, except the last entry, which is the top level.
std::int32_t InputLevel(int index);

// A natural cubic spline over the knots t = 0, 1, ..., n (n = values - 1 segments); beyond
// the last knot the last segment goes on. Fewer than two values give a constant.
class NaturalSpline {
public:
    explicit NaturalSpline(std::span<const double> values);
    double operator()(double t) const;

private:
    int segments_ = 0;
    std::vector<double> a_, b_, c_, d_;
};

// The spline samples of a curve: t = 0, 0.002, 0.004, ... (accumulated by addition) while
// t <= point count, at most kMaxCurveSamples of them.
struct CurveSamples {
    std::vector<double> x;
    std::vector<double> y;
};
CurveSamples SampleCurve(std::span<const EditPoint> points);

// The table from the curve: for each index, the first sample whose x distance (rounded down)
// to the index's input level is least gives the output (bottom - y) * 16, held within
// 0..4095. Fewer than two points leave the table as it is.
void RasterizeCurve(std::span<const EditPoint> points, int bottom, LutTable &table);
// The same by scanning every sample for every index; the reference RasterizeCurve matches.
void RasterizeCurveByScan(std::span<const EditPoint> points, int bottom, LutTable &table);

// A graph row for a table value: value / 16 rounded half up, the value taken as unsigned.
std::int64_t GraphRowsOf(std::int32_t value);

// The edit points of one window: up to 16 in use, kept sorted by x while editing.
class EditPoints {
public:
    EditPoints();

    // The two end points (bottom left, top right) and nothing else.
    void Reset();
    // A left-button position: moves the first point within 32 pixels in both directions,
    // or adds one while fewer than 15 are in use. Sorts afterwards.
    void LeftButtonAt(std::int32_t gx, std::int32_t gy);
    // A right-button position: deletes the first interior point within 16 pixels in both
    // directions while more than two are in use. Sorts afterwards.
    void RightButtonAt(std::int32_t gx, std::int32_t gy);
    // count points placed evenly across the inputs on the given table, the last at the top right.
    void ConvertEditable(int count, const LutTable &table);

    int Count() const { return count_; }
    std::span<const EditPoint> InUse() const { return {points_.data(), static_cast<std::size_t>(count_)}; }

private:
    void sort();
    void compact();

    std::array<EditPoint, kMaxEditPoints> points_{};
    std::array<int, kMaxEditPoints> active_{};
    int count_ = 0;
};
