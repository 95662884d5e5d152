// qn-camera-sim: a camera of the family on a pseudo-terminal, for running the tool without
// hardware. Prints the slave path and serves it until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>

#include <pthread.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include "CameraSimulator.h"

namespace {

sigset_t stopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void printLog(const CameraSimulator &simulator, std::size_t &printed)
{
    const std::vector<WireEvent> events = simulator.WireLog();
    for (; printed < events.size(); ++printed) {
        const WireEvent &event = events[printed];
        static constexpr const char *kNames[] = {"Rx", "Tx", "Garbage", "Zero"};
        QByteArray data = event.data;
        data.replace("\r", "\\r").replace("\n", "\\n");
        if (event.kind == WireEvent::Kind::Garbage)
            data = event.data.toHex(' ');
        if (event.kind != WireEvent::Kind::ZeroByte)
            std::printf("%s @%d: %s\n", kNames[static_cast<int>(event.kind)], event.baud, data.constData());
    }
    std::fflush(stdout);
}

// Points every serial index of a fake Camera Link library at the device.
bool ServeFakeCameraLink(const QString &conf, const QString &device)
{
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    constexpr int kPorts = 3; // the most that a fake library lists
    for (int port = 0; port < kPorts; ++port)
        file.write("port" + QByteArray::number(port) + '=' + QFile::encodeName(device) + '\n');
    return file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    // Blocked before any thread starts, so the worker inherits the mask and only the wait
    // below sees the signals.
    const sigset_t stopSet = stopSignalSet();
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qn-camera-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QN_PROJECT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Camera simulator on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Model name the camera reports."),
                                   QStringLiteral("TEXT"), QStringLiteral("QN-5200RL-BDXP"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Starting link rate."), QStringLiteral("N"),
                                  QStringLiteral("9600"));
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Symbolic link to the slave side."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption state(QStringLiteral("state"), QStringLiteral("File that keeps flash areas and ids."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print every line on the wire."));
    const QCommandLineOption cameraLink(
        QStringLiteral("cameralink"),
        QStringLiteral("Serve the camera on every port of the fake Camera Link library LIBRARY (from the test "
                       "build); writes LIBRARY.conf and removes it at the end."),
        QStringLiteral("LIBRARY"));
    parser.addOptions({model, baud, link, state, verbose, cameraLink});
    parser.process(app);

    SimulatorOptions options;
    options.model = parser.value(model);
    bool baudOk = false;
    options.baud = parser.value(baud).toInt(&baudOk);
    if (!baudOk || options.baud <= 0) {
        std::fprintf(stderr, "qn-camera-sim: invalid --baud\n");
        return 2;
    }
    options.linkPath = parser.value(link);
    options.statePath = parser.value(state);

    CameraSimulator simulator(options);
    if (!simulator.Start()) {
        std::fprintf(stderr, "qn-camera-sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(options.linkPath.isEmpty() ? simulator.SlavePath() : options.linkPath));
    std::fflush(stdout);
    const QString conf = parser.isSet(cameraLink) ? parser.value(cameraLink) + QStringLiteral(".conf") : QString();
    if (!conf.isEmpty() && !ServeFakeCameraLink(conf, simulator.SlavePath())) {
        std::fprintf(stderr, "qn-camera-sim: cannot write %s\n", qPrintable(conf));
        simulator.Stop();
        return 1;
    }

    if (parser.isSet(verbose)) {
        // Wakes every 100 ms to print what went over the wire since.
        std::size_t printed = 0;
        const timespec tick{0, 100'000'000};
        while (sigtimedwait(&stopSet, nullptr, &tick) < 0)
            printLog(simulator, printed);
        printLog(simulator, printed);
    } else {
        int received = 0;
        sigwait(&stopSet, &received);
    }
    simulator.Stop();
    if (!conf.isEmpty())
        QFile::remove(conf);
    return 0;
}
