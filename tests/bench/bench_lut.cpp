// The LUT editor's two costs. Rasterising a 16-point curve (8,000 samples, 256 scans) runs on
// every paint in Edit Mode and must stay under 2 ms; the result must equal the straightforward
// scan for every curve tried. Reading one table from the simulated camera at 115200 bit/s must
// stay within 1.1 x the floor of its 512 exchanges plus the progress window's closing second.
// What the window adds to each of those exchanges (moving the bar, repainting) is measured
// against the same 512 exchanges made plainly, in the same run: under 0.1 ms each.
// Usage: bench_lut [raster]
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>

#include "BenchRig.h"
#include "core/operations/LutExchange.h"
#include "gui/lut/CLUTDlg.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/SpinButton.h"

namespace {

constexpr int kCurves = 300;
constexpr int kRounds = 200;
constexpr double kRasterTargetMs = 2.0;
constexpr double kReadTargetRatio = 1.1;
constexpr double kProgressCloseMs = 1000.0;
constexpr double kStepTargetMs = 0.1;

// Sixteen points as an operator leaves them: x ascending over the graph, y anywhere, the ends
// at the corners; every fourth curve gets points bunched so closely that the spline of x
// runs backwards between them.
std::vector<EditPoint> randomCurve(std::mt19937 &random, bool bunched)
{
    std::uniform_int_distribution<int> coordinate(0, kGraphSize);
    std::vector<EditPoint> points(kMaxEditPoints);
    for (EditPoint &point : points)
        point = {coordinate(random), coordinate(random)};
    if (bunched) {
        for (std::size_t i = 5; i < 9; ++i)
            points[i].x = 120 + static_cast<int>(i);
    }
    std::sort(points.begin(), points.end(), [](const EditPoint &l, const EditPoint &r) { return l.x < r.x; });
    points.front() = {0, kGraphSize};
    points.back() = {kGraphSize, 0};
    return points;
}

struct Timing {
    double median = 0;
    double worst = 0;
};

template <typename Run>
Timing timeRounds(int rounds, Run run)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        run(round);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

bool measureRasterisation()
{
    std::mt19937 random(13);
    std::vector<std::vector<EditPoint>> curves;
    for (int i = 0; i < kCurves; ++i)
        curves.push_back(randomCurve(random, i % 4 == 0));

    int differing = 0;
    for (const auto &curve : curves) {
        LutTable fast{}, scan{};
        RasterizeCurve(curve, kGraphSize, fast);
        RasterizeCurveByScan(curve, kGraphSize, scan);
        differing += fast != scan ? 1 : 0;
    }
    LutTable table{};
    const Timing fast = timeRounds(kRounds, [&](int round) {
        RasterizeCurve(curves[static_cast<std::size_t>(round) % curves.size()], kGraphSize, table);
    });
    const Timing scan = timeRounds(20, [&](int round) {
        RasterizeCurveByScan(curves[static_cast<std::size_t>(round) % curves.size()], kGraphSize, table);
    });
    std::printf("RasterizeCurve, 16 points: median %.3f ms, worst %.3f ms (target %.1f ms); "
                "plain scan median %.3f ms; %d of %d curves differ from the scan\n",
                fast.median, fast.worst, kRasterTargetMs, scan.median, differing, kCurves);
    return differing == 0 && fast.median < kRasterTargetMs;
}

// A whole paint of the graph in Edit Mode with 16 points: grid, circles, rasterising, curve.
void measurePaint(CLUTDlg &window)
{
    auto *spin = qobject_cast<SpinButton *>(window.FindControl(CLUTDlg::kPointCountSpinId));
    spin->setPosition(kMaxEditPoints);
    window.ConvertEditable();
    QWidget *graph = window.FindControl(CLUTDlg::kGraphId);
    const Timing paint = timeRounds(kRounds, [&](int) { graph->grab(); });
    std::printf("Graph paint in Edit Mode, %d points: median %.3f ms, worst %.3f ms\n", window.Points().Count(),
                paint.median, paint.worst);
}

bool measureTransfer(const char *what, CameraSimulator &simulator, const std::function<bool()> &run)
{
    simulator.ClearWireLog();
    QElapsedTimer timer;
    timer.start();
    const bool ok = run();
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const ExchangeFloor floor = FloorOf(simulator);
    const double ratio = elapsed / floor.Total(kProgressCloseMs);
    std::printf("%s: %.0f ms, floor %.0f ms (%d exchanges x 20 ms + %.0f ms on the wire + 1000 ms close), "
                "ratio %.3f (target %.1f)%s\n",
                what, elapsed, floor.Total(kProgressCloseMs), floor.exchanges, floor.wireMs, ratio, kReadTargetRatio,
                ok ? "" : ", FAILED");
    return ok && ratio <= kReadTargetRatio;
}

// The window's read and the same exchanges without a window, alternately, five times each;
// the difference of the fastest of each over the exchanges is what the window costs per
// exchange. The fastest, not the median: every exchange sleeps, and a run that the machine
// happened to wake late says nothing about the window.
bool measureStepCost(CLUTDlg &window, Command &command, CameraSimulator &simulator)
{
    std::vector<double> windowMs;
    std::vector<double> plainMs;
    int exchanges = 0;
    for (int round = 0; round < 5; ++round) {
        LutTable table{};
        simulator.ClearWireLog();
        QElapsedTimer timer;
        timer.start();
        ReadLutEntries(command, 0, table, nullptr);
        plainMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        exchanges = FloorOf(simulator).exchanges;
        timer.restart();
        window.ReadTableFromCamera();
        windowMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6 - kProgressCloseMs);
    }
    const double fastestWindow = *std::min_element(windowMs.begin(), windowMs.end());
    const double fastestPlain = *std::min_element(plainMs.begin(), plainMs.end());
    const double extra = (fastestWindow - fastestPlain) / exchanges;
    std::printf("One table, %d exchanges: window %.0f ms (without the closing second), plain %.0f ms: "
                "%.3f ms more per exchange (target < %.1f)\n",
                exchanges, fastestWindow, fastestPlain, extra, kStepTargetMs);
    return extra < kStepTargetMs;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    bool met = measureRasterisation();
    // "bench_lut raster": the curve alone, without the camera.
    if (argc > 1 && QByteArray(argv[1]) == "raster")
        return met ? 0 : 2;

    BenchApplication bench(115200);
    if (!bench.started)
        return 1;
    bench.window->Initialise();
    CLUTDlg &red = bench.window->Lut().Window(0);
    measurePaint(red);
    met = measureTransfer("Read one table", *bench.simulator, [&] { return red.ReadTableFromCamera(); }) && met;
    met = measureStepCost(red, bench.context->command(), *bench.simulator) && met;
    measureTransfer("Write one table", *bench.simulator, [&] {
        red.WriteTableToCamera(0);
        return bench.dialogs.MessageTexts().isEmpty();
    });
    bench.window->SetSkipExitConfirmation(true);
    return met ? 0 : 2;
}
