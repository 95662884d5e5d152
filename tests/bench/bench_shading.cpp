// Times a full shading data read (camera -> file) and write (file -> camera) through the
// "User B" page buttons against a camera at 115200 bit/s, next to the floor that the exchange
// timings impose: 20 ms before the first look at every reply, the wire time of every line,
// and the second for which the progress window holds 100 %. While a transfer runs, a timer
// watches the progress window: how often the event loop came round (the longest gap is how
// long the window could not repaint) and how many different messages it showed.
#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchRig.h"
#include "core/formats/ShadingFile.h"
#include "gui/operations/ShadingTransfer.h"

namespace {

constexpr int kReadButton = 1336;
constexpr int kWriteButton = 1337;

struct Watch {
    qint64 longestGapMs = 0;
    int messages = 0;
    QString lastMessage;
};

// Clicks the button and times the operation while a timer looks at the progress window.
qint64 timedClick(BenchApplication &bench, int buttonId, Watch &watch)
{
    auto *button = qobject_cast<QPushButton *>(bench.window->FindControl(buttonId));
    if (!button)
        return -1;
    CProgressBarDialog &progress = bench.context->progress();
    QElapsedTimer sinceTick;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!progress.IsVisible())
            return;
        if (sinceTick.isValid())
            watch.longestGapMs = std::max(watch.longestGapMs, sinceTick.elapsed());
        sinceTick.restart();
        if (progress.Message() != watch.lastMessage) {
            watch.lastMessage = progress.Message();
            ++watch.messages;
        }
    });
    timer.start();
    QElapsedTimer elapsed;
    elapsed.start();
    button->click();
    return elapsed.elapsed();
}

void report(const char *what, qint64 elapsedMs, const ExchangeFloor &floor, const Watch &watch)
{
    const double total = floor.Total(1000.0);
    std::printf("%-26s %7lld ms  floor %9.1f ms (%d exchanges, %.1f ms on the wire, 1000 ms hold)  ratio %.3f\n",
                what, static_cast<long long>(elapsedMs), total, floor.exchanges, floor.wireMs, elapsedMs / total);
    std::printf("%-26s longest gap between repaints %lld ms, %d messages, last \"%s\"\n", "",
                static_cast<long long>(watch.longestGapMs), watch.messages, qPrintable(watch.lastMessage));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    BenchApplication bench(115200);
    if (!bench.started)
        return 1;
    CameraSimulator &simulator = *bench.simulator;
    simulator.SetValue(QStringLiteral("SDM"), 1);
    ShadingTable camera{};
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index) {
            const int value = (index * 37 + channel * 1009) % 65536;
            camera[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index - 1)] = value;
            simulator.SetShadingEntry(channel, index, value);
        }
    }
    bench.window->Initialise();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shading.csv"));

    simulator.ClearWireLog();
    bench.dialogs.QueueFilePath(path);
    Watch readWatch;
    const qint64 readMs = timedClick(bench, kReadButton, readWatch);
    report("read (camera -> file)", readMs, FloorOf(simulator), readWatch);
    const bool readEqual = bench.window->Shading().Table() == camera;

    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index)
            simulator.SetShadingEntry(channel, index, 0);
    }
    simulator.ClearWireLog();
    bench.dialogs.QueueFilePath(path);
    Watch writeWatch;
    const qint64 writeMs = timedClick(bench, kWriteButton, writeWatch);
    report("write (file -> camera)", writeMs, FloorOf(simulator), writeWatch);
    bool writeEqual = true;
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index) {
            writeEqual = writeEqual && simulator.ShadingEntry(channel, index) ==
                                           camera[static_cast<std::size_t>(channel)][static_cast<std::size_t>(index - 1)];
        }
    }
    std::printf("read table equals the camera's: %s; camera holds the table again after the write: %s\n",
                readEqual ? "yes" : "NO", writeEqual ? "yes" : "NO");
    if (!bench.dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(bench.dialogs.MessageTexts().join(QStringLiteral(" | "))));
    bench.window->SetSkipExitConfirmation(true);
    return readEqual && writeEqual ? 0 : 1;
}
