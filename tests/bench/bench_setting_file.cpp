// Times the camera setting file at 115200 bit/s in the extended mode: saving "All Data" and
// "Shipping Data", and loading the "All Data" file back, next to the floor that the exchange
// timings impose on the load: 20 ms before the first look at every reply, the wire time of
// every line, and the second for which the progress window holds 100 %.
#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchRig.h"
#include "gui/main/MainMenu.h"
#include "gui/operations/ProgressWindow.h"

namespace {

constexpr int kSaveRuns = 9;
constexpr int kLoadRuns = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median time of saving through the menu item, the file dialog answered at once.
double timeSave(BenchApplication &bench, int menuId, const QString &path)
{
    std::vector<double> runs;
    QElapsedTimer timer;
    for (int i = 0; i < kSaveRuns; ++i) {
        bench.dialogs.QueueFilePath(path);
        timer.start();
        bench.window->OnMenu(menuId);
        runs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(runs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    BenchApplication bench(115200);
    if (!bench.started)
        return 1;
    CameraSimulator &simulator = *bench.simulator;
    bench.context->controlMode().Set(1);
    bench.window->Initialise();
    QTemporaryDir folder;
    const QString allPath = folder.filePath(QStringLiteral("all.cam"));
    const QString shippingPath = folder.filePath(QStringLiteral("shipping.cam"));
    bench.dialogs.Clear();
    // The replace question of every save after the first is answered yes by default.
    std::printf("save \"All Data\" (extended, one model query)  median %6.2f ms of %d\n",
                timeSave(bench, MenuId::SaveAllData, allPath), kSaveRuns);
    std::printf("save \"Shipping Data\" (no exchange)           median %6.2f ms of %d\n",
                timeSave(bench, MenuId::SaveShippingData, shippingPath), kSaveRuns);
    bench.dialogs.Clear();

    for (int run = 0; run < kLoadRuns; ++run) {
        // How often the bar moved and the window was painted while the load ran.
        std::set<int> positions;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (bench.context->progress().IsVisible())
                positions.insert(bench.context->progress().Progress());
        });
        sampler.start(10);
        simulator.ClearWireLog();
        bench.dialogs.QueueFilePath(allPath);
        QElapsedTimer timer;
        timer.start();
        bench.window->OnMenu(MenuId::Open);
        const qint64 elapsed = timer.elapsed();
        sampler.stop();
        const ExchangeFloor floor = FloorOf(simulator);
        const double total = floor.Total(1000.0);
        std::printf("load \"All Data\" run %d  %6lld ms  floor %7.1f ms (%d exchanges, %.1f ms on the wire, 1000 ms "
                    "hold)  ratio %.3f  bar positions seen %zu\n",
                    run + 1, static_cast<long long>(elapsed), total, floor.exchanges, floor.wireMs, elapsed / total,
                    positions.size());
    }
    if (!bench.dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(bench.dialogs.MessageTexts().join(QStringLiteral(" | "))));
    bench.window->SetSkipExitConfirmation(true);
    return 0;
}
