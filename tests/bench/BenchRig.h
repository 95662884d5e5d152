#pragma once

// What the window benchmarks share: a whole application on a simulated camera, and the floor
// that the exchange timings impose on what went over the wire.

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include "CameraSimulator.h"
#include "gui/app/AppContext.h"
#include "gui/main/CCtrlToolDlg.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

// 20 ms before the first look at every reply, plus the wire time of every line.
struct ExchangeFloor {
    static constexpr double kFirstLookMs = 20.0;
    int exchanges = 0;
    double wireMs = 0;
    double Total(double extraMs = 0.0) const { return exchanges * kFirstLookMs + wireMs + extraMs; }
};

// Every line the camera received is one exchange; its wire time and its reply's count, and so
// do the wake-up zero bytes.
inline ExchangeFloor FloorOf(const CameraSimulator &simulator)
{
    ExchangeFloor floor;
    for (const WireEvent &event : simulator.WireLog()) {
        const double bits = 10.0 * static_cast<double>(event.data.size());
        switch (event.kind) {
        case WireEvent::Kind::Received:
            ++floor.exchanges;
            floor.wireMs += 1000.0 * (bits + 20.0) / event.baud; // the line and its CR LF
            break;
        case WireEvent::Kind::Sent:
            floor.wireMs += 1000.0 * bits / event.baud;
            break;
        case WireEvent::Kind::ZeroByte:
            floor.wireMs += event.lineSpeed > 0 ? 1000.0 * 10.0 / event.lineSpeed : 0.0;
            break;
        case WireEvent::Kind::Garbage:
            break;
        }
    }
    return floor;
}

// The main window on a camera at the given rate; the camera takes no time of its own, so the
// floor is the tool's.
struct BenchApplication {
    // With a link path, COM1 opens that link to the camera's line (a by-id style name), so the
    // camera can be unplugged and plugged back. More preference lines go after [Ports].
    explicit BenchApplication(int cameraBaud, const QString &linkPath = {}, const QByteArray &morePreferences = {})
    {
        Q_INIT_RESOURCE(resources);
        SimulatorOptions options;
        options.baud = cameraBaud;
        options.processingUs = 0;
        options.linkPath = linkPath;
        simulator = std::make_unique<CameraSimulator>(options);
        started = simulator->Start();
        const QString device = linkPath.isEmpty() ? simulator->SlavePath() : linkPath;
        temp.WriteRaw("[Ports]\nCOM1=" + device.toLocal8Bit() + "\n" + morePreferences);
        context = std::make_unique<AppContext>(dialogs, temp.Path());
        window = std::make_unique<CCtrlToolDlg>(*context);
    }

    std::unique_ptr<CameraSimulator> simulator;
    bool started = false;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CCtrlToolDlg> window;
};

// Watches the windows while an operation runs: how long the event loop stayed away (the
// longest time nothing could repaint), and how many paint events the progress window's
// widgets took.
class RepaintWatch final : public QObject {
public:
    explicit RepaintWatch(CProgressBarDialog &progress) : progress_(progress)
    {
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (!progress_.IsVisible())
                return;
            if (sinceTick_.isValid())
                longestGapMs_ = std::max(longestGapMs_, sinceTick_.elapsed());
            sinceTick_.restart();
        });
        timer_.start(10);
        qApp->installEventFilter(this);
    }
    ~RepaintWatch() override { qApp->removeEventFilter(this); }

    qint64 LongestGapMs() const { return longestGapMs_; }
    int Paints() const { return paints_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || progress_.Window() == nullptr)
            return false;
        if (auto *widget = qobject_cast<QWidget *>(watched); widget && widget->window() == progress_.Window())
            ++paints_;
        return false;
    }

private:
    CProgressBarDialog &progress_;
    QTimer timer_;
    QElapsedTimer sinceTick_;
    qint64 longestGapMs_ = 0;
    int paints_ = 0;
};
