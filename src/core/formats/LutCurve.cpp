#include "core/formats/LutCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

constexpr double kNoDistance = 999999.0;
constexpr std::int32_t kMoveReach = 32;
constexpr std::int32_t kDeleteReach = 16;

bool within(const EditPoint &point, std::int32_t gx, std::int32_t gy, std::int32_t reach)
{
    return std::abs(point.x - gx) <= reach && std::abs(point.y - gy) <= reach;
}

// The table value for a sample's y: truncated towards zero, then held within the table's
// range. A spline that dips below the bottom edge gives 0 there, not full brightness.
std::int32_t outputOf(double y, int bottom)
{
    const double value = std::trunc((bottom - y) * 16.0);
    if (!(value >= 0.0))
        return 0;
    if (value > kLutMaxValue)
        return kLutMaxValue;
    return static_cast<std::int32_t>(value);
}

double distanceOf(double level, double sampleX16)
{
    return std::fabs(level - sampleX16);
}

} // namespace

std::int32_t InputLevel(int index)
{
    return index == kLutEntries - 1 ? kLutMaxValue : 16 * index;
}

NaturalSpline::NaturalSpline(std::span<const double> values)
{
    const int n = static_cast<int>(values.size()) - 1;
    segments_ = std::max(n, 0);
    const auto size = static_cast<std::size_t>(segments_ + 1);
    a_.assign(values.begin(), values.end());
    if (a_.empty())
        a_.push_back(0.0);
    b_.assign(size, 0.0);
    c_.assign(size, 0.0);
    d_.assign(size, 0.0);
    if (n < 1)
        return;

    std::vector<double> w(size, 0.0);
    for (int i = 1; i < n; ++i)
        c_[i] = 3.0 * (a_[i - 1] - 2.0 * a_[i] + a_[i + 1]);
    for (int i = 1; i < n; ++i) {
        const double den = 4.0 - w[i - 1];
        c_[i] = (c_[i] - c_[i - 1]) / den;
        w[i] = 1.0 / den;
    }
    for (int i = n - 1; i >= 1; --i)
        c_[i] = c_[i] - w[i] * c_[i + 1];
    for (int i = 0; i < n; ++i) {
        d_[i] = (c_[i + 1] - c_[i]) / 3.0;
        b_[i] = a_[i + 1] - a_[i] - c_[i] - d_[i];
    }
}

double NaturalSpline::operator()(double t) const
{
    if (segments_ < 1)
        return a_[0];
    const int k = std::clamp(static_cast<int>(std::floor(t)), 0, segments_ - 1);
    const double u = t - k;
    return ((d_[k] * u + c_[k]) * u + b_[k]) * u + a_[k];
}

CurveSamples SampleCurve(std::span<const EditPoint> points)
{
    std::vector<double> xs, ys;
    xs.reserve(points.size());
    ys.reserve(points.size());
    for (const EditPoint &point : points) {
        xs.push_back(point.x);
        ys.push_back(point.y);
    }
    const NaturalSpline splineX(xs);
    const NaturalSpline splineY(ys);

    CurveSamples samples;
    samples.x.reserve(kMaxCurveSamples);
    samples.y.reserve(kMaxCurveSamples);
    const double end = static_cast<double>(points.size());
    for (double t = 0.0; t <= end && static_cast<int>(samples.x.size()) < kMaxCurveSamples; t += kSampleStep) {
        samples.x.push_back(splineX(t));
        samples.y.push_back(splineY(t));
    }
    return samples;
}

void RasterizeCurveByScan(std::span<const EditPoint> points, int bottom, LutTable &table)
{
    if (points.size() < kMinEditPoints)
        return;
    const CurveSamples samples = SampleCurve(points);
    for (int i = 0; i < kLutEntries; ++i) {
        const double level = InputLevel(i);
        double kept = kNoDistance;
        std::size_t keptSample = 0;
        for (std::size_t s = 0; s < samples.x.size(); ++s) {
            const double distance = distanceOf(level, 16.0 * samples.x[s]);
            if (distance < std::floor(kept)) {
                kept = distance;
                keptSample = s;
            }
        }
        table[i] = outputOf(samples.y[keptSample], bottom);
    }
}

namespace {

// A stretch of consecutive samples whose x never turns back: [first, last).
struct MonotoneRun {
    std::size_t first;
    std::size_t last;
    bool rising;
};

std::vector<MonotoneRun> monotoneRuns(const std::vector<double> &levels)
{
    std::vector<MonotoneRun> runs;
    std::size_t first = 0;
    int direction = 0; // 0 while every sample of the run is equal so far
    for (std::size_t s = 1; s < levels.size(); ++s) {
        const int step = levels[s] > levels[s - 1] ? 1 : levels[s] < levels[s - 1] ? -1 : 0;
        if (direction == 0) {
            direction = step;
        } else if (step != 0 && step != direction) {
            runs.push_back({first, s, direction > 0});
            first = s;
            direction = 0;
        }
    }
    if (!levels.empty())
        runs.push_back({first, levels.size(), direction >= 0});
    return runs;
}

struct Choice {
    double bound = kNoDistance; // the least rounded-down distance
    std::size_t sample = 0;     // the first sample at that distance
};

// Within one run the distance to the level falls up to where the run passes the level and
// grows after it, so the least distance is at one of the two samples there, and the first
// sample at the least rounded-down distance is found by walking back from that point.
Choice chooseInRun(const std::vector<double> &levels, const MonotoneRun &run, double level)
{
    const auto begin = levels.begin() + static_cast<std::ptrdiff_t>(run.first);
    const auto end = levels.begin() + static_cast<std::ptrdiff_t>(run.last);
    const auto pass = run.rising ? std::lower_bound(begin, end, level)
                                 : std::lower_bound(begin, end, level, std::greater<double>());
    const auto p = static_cast<std::size_t>(pass - levels.begin());
    double least = kNoDistance;
    if (p < run.last)
        least = distanceOf(level, levels[p]);
    if (p > run.first)
        least = std::min(least, distanceOf(level, levels[p - 1]));
    Choice choice;
    choice.bound = std::floor(least);
    if (!(choice.bound < kNoDistance))
        return Choice{};
    choice.sample = p;
    for (std::size_t k = p; k > run.first && std::floor(distanceOf(level, levels[k - 1])) <= choice.bound; --k)
        choice.sample = k - 1;
    return choice;
}

} // namespace

// The scan keeps, per index, the first sample with the least rounded-down distance. The
// samples fall into a few runs along which x only rises or only falls; each run offers its
// first sample at its least distance, and the earliest run with the overall least one wins.
void RasterizeCurve(std::span<const EditPoint> points, int bottom, LutTable &table)
{
    if (points.size() < kMinEditPoints)
        return;
    const CurveSamples samples = SampleCurve(points);
    std::vector<double> levels(samples.x.size());
    for (std::size_t s = 0; s < levels.size(); ++s)
        levels[s] = 16.0 * samples.x[s];
    const std::vector<MonotoneRun> runs = monotoneRuns(levels);

    for (int i = 0; i < kLutEntries; ++i) {
        const double level = InputLevel(i);
        Choice best;
        for (const MonotoneRun &run : runs) {
            const Choice choice = chooseInRun(levels, run, level);
            if (choice.bound < best.bound)
                best = choice;
        }
        table[i] = outputOf(samples.y[best.sample], bottom);
    }
}

std::int64_t GraphRowsOf(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int64_t>((bits >> 4) + ((bits & 15u) >= 8u ? 1u : 0u));
}

EditPoints::EditPoints()
{
    Reset();
}

void EditPoints::Reset()
{
    points_[0] = {0, kGraphSize};
    points_[1] = {kGraphSize, 0};
    active_.fill(0);
    active_[0] = 1;
    active_[1] = 1;
    count_ = 2;
}

void EditPoints::LeftButtonAt(std::int32_t gx, std::int32_t gy)
{
    const auto near = std::find_if(points_.begin(), points_.begin() + count_,
                                   [&](const EditPoint &point) { return within(point, gx, gy, kMoveReach); });
    if (near != points_.begin() + count_) {
        *near = {gx, gy};
    } else if (count_ < kMaxAddedPoints) {
        points_[count_] = {gx, gy};
        active_[count_] = 1;
        ++count_;
    }
    sort();
}

void EditPoints::RightButtonAt(std::int32_t gx, std::int32_t gy)
{
    for (int i = 1; i < count_ - 1; ++i) {
        if (!within(points_[i], gx, gy, kDeleteReach))
            continue;
        if (count_ > kMinEditPoints) {
            active_[i] = 0;
            compact();
        }
        break;
    }
    sort();
}

void EditPoints::compact()
{
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (active_[i]) {
            points_[kept] = points_[i];
            active_[kept] = 1;
            ++kept;
        }
    }
    for (int i = kept; i < kMaxEditPoints; ++i)
        active_[i] = 0;
    count_ = std::max(kept, kMinEditPoints);
}

void EditPoints::ConvertEditable(int count, const LutTable &table)
{
    count = std::clamp(count, kMinEditPoints, kMaxEditPoints);
    active_.fill(0);
    for (int i = 0; i < count - 1; ++i) {
        const auto x = static_cast<std::int32_t>(static_cast<double>(i) / (count - 1) * kGraphSize);
        const double level = static_cast<std::uint32_t>(table[static_cast<std::size_t>(x)]);
        points_[i] = {x, static_cast<std::int32_t>(kGraphSize - level * 0.0625)};
        active_[i] = 1;
    }
    points_[count - 1] = {kGraphSize, 0};
    active_[count - 1] = 1;
    count_ = count;
}

// The exchange sort the points have always had: every pair is looked at in both orders, which
// leaves them ascending in x.
void EditPoints::sort()
{
    for (int i = 0; i < count_; ++i) {
        for (int j = 0; j < count_; ++j) {
            if (points_[i].x < points_[j].x) {
                std::swap(points_[i], points_[j]);
                std::swap(active_[i], active_[j]);
            }
        }
    }
}
