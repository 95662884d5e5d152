// The windows with fast replies against the paced replies, in one run, against a camera at
// 115200 bit/s: the start-up from the first query to the window showing every value read, a
// setting-file load ("All Data", extended mode), reading the three LUT tables and a shading
// read, each with the longest time the event loop stayed away and the progress window's paint
// events. Targets for the fast mode: start-up <= 1.5 s, load <= 0.8 s, LUT <= 4 s, shading
// <= 15 s, no gap over 100 ms. Both runs of an operation must put the same lines on the wire.
// The paced shading read takes over two minutes: "bench_fast_replies shading" adds it.
#include <cstdio>
#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include "BenchRig.h"
#include "PtyLink.h"
#include "gui/main/FastRepliesSwitch.h"
#include "gui/main/MainMenu.h"

namespace {

constexpr int kReadShadingButton = 1336;
constexpr qint64 kLongestGapMs = 100;

struct Run {
    double ms = 0;
    qint64 gapMs = 0;
    int paints = 0;
    QList<QByteArray> lines;
};

Run timed(BenchApplication &bench, const std::function<void()> &operation)
{
    bench.simulator->ClearWireLog();
    RepaintWatch watch(bench.context->progress());
    QElapsedTimer timer;
    timer.start();
    operation();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, watch.LongestGapMs(), watch.Paints(),
            bench.simulator->ReceivedLines()};
}

bool report(const char *what, const Run &paced, const Run &fast, double targetMs)
{
    const bool same = paced.lines == fast.lines;
    const bool met = same && fast.ms <= targetMs && fast.gapMs <= kLongestGapMs;
    std::printf("%-24s paced %8.0f ms (gap %3lld ms, %5d paints)  fast %7.0f ms (gap %3lld ms, %5d paints)  "
                "%5.1f x faster; target %.0f ms; %d lines, same lines: %s%s\n",
                what, paced.ms, static_cast<long long>(paced.gapMs), paced.paints, fast.ms,
                static_cast<long long>(fast.gapMs), fast.paints, paced.ms / fast.ms, targetMs,
                static_cast<int>(fast.lines.size()), same ? "yes" : "NO", met ? "" : "  MISSED");
    return met;
}

// From the first line on the wire to the window showing every value read.
Run startUp(bool fast)
{
    BenchApplication bench(9600, {}, fast ? "[Exchange]\nFastReplies=1\n" : "");
    if (!bench.started)
        return {};
    RepaintWatch watch(bench.context->progress());
    bench.window->Initialise();
    const double endUs = static_cast<double>(SteadyMicros());
    const std::vector<WireEvent> events = bench.simulator->WireLog();
    Run run{events.empty() ? 0.0 : (endUs - static_cast<double>(events.front().timeUs)) / 1000.0,
            watch.LongestGapMs(), watch.Paints(), bench.simulator->ReceivedLines()};
    bench.window->SetSkipExitConfirmation(true);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    bool met = report("start-up (camera at 9600)", startUp(false), startUp(true), 1500.0);

    BenchApplication bench(115200);
    if (!bench.started)
        return 1;
    bench.window->Initialise();
    CameraSimulator &simulator = *bench.simulator;
    FastRepliesSwitch &replies = bench.window->FastReplies();
    const auto both = [&](const char *what, double targetMs, const std::function<void()> &operation) {
        replies.Set(false);
        const Run paced = timed(bench, operation);
        replies.Set(true);
        const Run fast = timed(bench, operation);
        replies.Set(false);
        met = report(what, paced, fast, targetMs) && met;
    };

    QTemporaryDir folder;
    const QString settingFile = folder.filePath(QStringLiteral("all.cam"));
    bench.context->controlMode().Set(1);
    bench.dialogs.QueueFilePath(settingFile);
    bench.window->OnMenu(MenuId::SaveAllData);
    both("setting-file load", 800.0, [&] {
        bench.dialogs.QueueFilePath(settingFile);
        bench.window->OnMenu(MenuId::Open);
    });
    both("LUT read, three tables", 4000.0, [&] { bench.window->OnMenu(MenuId::LoadAllLutTables); });

    simulator.SetValue(QStringLiteral("SDM"), 1);
    auto *readShading = qobject_cast<QPushButton *>(bench.window->FindControl(kReadShadingButton));
    const QString shadingFile = folder.filePath(QStringLiteral("shading.csv"));
    const auto shadingRead = [&] {
        bench.dialogs.QueueFilePath(shadingFile);
        readShading->click();
    };
    if (argc > 1 && QByteArray(argv[1]) == "shading") {
        both("shading read", 15000.0, shadingRead);
    } else {
        replies.Set(true);
        const Run fast = timed(bench, shadingRead);
        replies.Set(false);
        const bool fastMet = fast.ms <= 15000.0 && fast.gapMs <= kLongestGapMs;
        std::printf("%-24s fast %7.0f ms (gap %3lld ms, %5d paints), %d lines; target 15000 ms%s\n", "shading read",
                    fast.ms, static_cast<long long>(fast.gapMs), fast.paints, static_cast<int>(fast.lines.size()),
                    fastMet ? "" : "  MISSED");
        met = fastMet && met;
    }
    if (!bench.dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(bench.dialogs.MessageTexts().join(QStringLiteral(" | "))));
    bench.window->SetSkipExitConfirmation(true);
    return met ? 0 : 2;
}
