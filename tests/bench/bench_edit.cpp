// Times single edits of number fields at 115200 bit/s against the floor that the exchange
// timings impose: 20 ms before the first look at every reply, plus the wire time of the line
// and its reply. "Gain All" is one exchange (set, "COMPLETE", commit); "Width" adds its
// read-back query.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include "BenchRig.h"
#include "gui/main/ControlBinding.h"

namespace {

constexpr int kRounds = 40;
// Types each value into the field and commits it as Enter does; reports the worst and the
// median edit against its floor.
void measure(const char *what, CCtrlToolDlg &window, CameraSimulator &simulator, int editId,
             const std::vector<int> &values)
{
    auto *edit = qobject_cast<QLineEdit *>(window.FindControl(editId));
    std::vector<double> ratios;
    std::vector<double> times;
    ExchangeFloor last;
    for (int round = 0; round < kRounds; ++round) {
        edit->setText(QString::number(values[static_cast<std::size_t>(round) % values.size()]));
        simulator.ClearWireLog();
        QElapsedTimer timer;
        timer.start();
        window.Binding().CommitEdit(editId);
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        last = FloorOf(simulator);
        times.push_back(elapsed);
        ratios.push_back(elapsed / last.Total());
    }
    std::sort(times.begin(), times.end());
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-26s median %6.2f ms  worst %6.2f ms  floor %6.2f ms (%d exchanges, %.2f ms on the wire)  "
                "ratio median %.3f worst %.3f\n",
                what, times[times.size() / 2], times.back(), last.Total(), last.exchanges, last.wireMs,
                ratios[ratios.size() / 2], ratios.back());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    BenchApplication bench(115200);
    if (!bench.started)
        return 1;
    bench.window->Initialise();

    measure("Gain All (set, commit)", *bench.window, *bench.simulator, 1041, {150, 151});
    measure("Width (set, read back)", *bench.window, *bench.simulator, 1225, {2048, 1024});
    bench.window->SetSkipExitConfirmation(true);
    return 0;
}
