// qn-camera-sim: a camera of the family on a pseudo-terminal, for running the tool without
// hardware. Prints the slave path and serves it until SIGINT or SIGTERM; unplugs and plugs
// back on SIGUSR1 and SIGUSR2 or at the times of a plug schedule.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>

#include <pthread.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include "CameraSimulator.h"
#include "PlugSchedule.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kLogTick = std::chrono::milliseconds(100);

const char *const kDescription =
    "Camera simulator on a pseudo-terminal.\n"
    "\n"
    "Unplugging: SIGUSR1 unplugs the camera (the pseudo-terminal hangs up and the --link path\n"
    "goes), SIGUSR2 plugs it back in on a new one (the path comes back). --plug-schedule does\n"
    "the same at set times: STEP[,STEP...], each ACTION@SECONDS[:OPTION...] with SECONDS from\n"
    "the start (decimals allowed) in time order; ACTION is unplug, replug or power-cycle (back\n"
    "at 9600 bit/s with the power-up values); a replug takes the options power-cycle,\n"
    "model=NAME and id=CAMERAID (comes back as another camera). For example:\n"
    "  --plug-schedule \"unplug@3,replug@5,unplug@9,replug@11:power-cycle\"\n"
    "Each change prints a line: \"unplugged\", the path again, or \"power cycled\".\n"
    "With --cameralink the camera cannot be unplugged.";

sigset_t handledSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2})
        sigaddset(&set, signal);
    return set;
}

// The next of the signals in set, or 0 when the deadline (if any) passes first.
int waitForSignal(const sigset_t &set, std::optional<Clock::time_point> deadline)
{
    if (!deadline)
        return std::max(0, sigwaitinfo(&set, nullptr));
    const auto left = std::max(Clock::duration::zero(), *deadline - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec wait{static_cast<time_t>(seconds.count()),
                        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
    return std::max(0, sigtimedwait(&set, nullptr, &wait));
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

// Where the tool finds the camera: the link path, else the slave side itself.
void printPath(const CameraSimulator &simulator, const SimulatorOptions &options)
{
    std::printf("%s\n", qPrintable(options.linkPath.isEmpty() ? simulator.SlavePath() : options.linkPath));
    std::fflush(stdout);
}

bool applyAndReport(CameraSimulator &simulator, const SimulatorOptions &options, const PlugStep &step)
{
    if (!ApplyPlugStep(simulator, step)) {
        std::fprintf(stderr, "qn-camera-sim: cannot open a pseudo-terminal\n");
        return false;
    }
    switch (step.action) {
    case PlugStep::Action::Unplug:
        std::printf("unplugged\n");
        std::fflush(stdout);
        break;
    case PlugStep::Action::Replug:
        printPath(simulator, options);
        break;
    case PlugStep::Action::PowerCycle:
        std::printf("power cycled\n");
        std::fflush(stdout);
        break;
    }
    return true;
}

struct ServeOptions {
    std::vector<PlugStep> schedule;
    bool verbose = false;
    bool pluggable = true;
};

// Serves until SIGINT or SIGTERM: runs the schedule, answers SIGUSR1 and SIGUSR2 and, when
// verbose, prints what went over the wire every tick.
void serve(CameraSimulator &simulator, const SimulatorOptions &options, const ServeOptions &how)
{
    const sigset_t handled = handledSignalSet();
    const Clock::time_point start = Clock::now();
    std::size_t nextStep = 0;
    std::size_t printed = 0;
    for (;;) {
        std::optional<Clock::time_point> deadline;
        if (nextStep < how.schedule.size())
            deadline = start + std::chrono::milliseconds(how.schedule[nextStep].atMs);
        if (how.verbose)
            deadline = std::min(deadline.value_or(Clock::time_point::max()), Clock::now() + kLogTick);
        const int received = waitForSignal(handled, deadline);
        if (how.verbose)
            printLog(simulator, printed);
        if (received == SIGINT || received == SIGTERM)
            break;
        if (received == SIGUSR1 || received == SIGUSR2) {
            if (how.pluggable) {
                const auto action = received == SIGUSR1 ? PlugStep::Action::Unplug : PlugStep::Action::Replug;
                applyAndReport(simulator, options, PlugStep{action, 0, {}});
            } else {
                std::fprintf(stderr, "qn-camera-sim: the camera cannot be unplugged with --cameralink\n");
            }
        }
        for (; nextStep < how.schedule.size() &&
               Clock::now() >= start + std::chrono::milliseconds(how.schedule[nextStep].atMs);
             ++nextStep)
            applyAndReport(simulator, options, how.schedule[nextStep]);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // Blocked before any thread starts, so the worker inherits the mask and only the wait
    // below sees the signals.
    const sigset_t handled = handledSignalSet();
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qn-camera-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QN_PROJECT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
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
    const QCommandLineOption plugSchedule(
        QStringLiteral("plug-schedule"),
        QStringLiteral("Unplug, replug and power-cycle at set times (see above)."), QStringLiteral("SCHEDULE"));
    const QCommandLineOption result(
        QStringLiteral("result"),
        QStringLiteral("The procedure of start or status MNEMONIC reports CODE (repeatable): AWRS=2."),
        QStringLiteral("MNEMONIC=CODE"));
    parser.addOptions({model, baud, link, state, verbose, cameraLink, plugSchedule, result});
    parser.process(app);

    SimulatorOptions options;
    options.model = parser.value(model);
    bool baudOk = false;
    options.baud = parser.value(baud).toInt(&baudOk);
    if (!baudOk || options.baud <= 0) {
        std::fprintf(stderr, "qn-camera-sim: invalid --baud\n");
        return 2;
    }
    // The program is what a newcomer first sees: a camera as shipped.
    options.asShipped = true;
    options.linkPath = parser.value(link);
    options.statePath = parser.value(state);
    ServeOptions serveOptions;
    serveOptions.verbose = parser.isSet(verbose);
    // The fake library's file names the first pty only.
    serveOptions.pluggable = !parser.isSet(cameraLink);
    if (parser.isSet(plugSchedule)) {
        QString error;
        const auto schedule = ParsePlugSchedule(parser.value(plugSchedule), error);
        if (!schedule) {
            std::fprintf(stderr, "qn-camera-sim: invalid --plug-schedule: %s\n", qPrintable(error));
            return 2;
        }
        if (!serveOptions.pluggable) {
            std::fprintf(stderr, "qn-camera-sim: --plug-schedule does not work with --cameralink\n");
            return 2;
        }
        serveOptions.schedule = *schedule;
    }

    CameraSimulator simulator(options);
    if (!simulator.Start()) {
        std::fprintf(stderr, "qn-camera-sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    for (const QString &forced : parser.values(result)) {
        const QStringList parts = forced.split(QLatin1Char('='));
        bool codeOk = false;
        const int code = parts.value(1).toInt(&codeOk);
        if (parts.size() != 2 || !codeOk) {
            std::fprintf(stderr, "qn-camera-sim: invalid --result %s: give MNEMONIC=CODE\n", qPrintable(forced));
            simulator.Stop();
            return 2;
        }
        simulator.ForceResultCode(parts[0], code);
    }
    printPath(simulator, options);
    const QString conf = parser.isSet(cameraLink) ? parser.value(cameraLink) + QStringLiteral(".conf") : QString();
    if (!conf.isEmpty() && !ServeFakeCameraLink(conf, simulator.SlavePath())) {
        std::fprintf(stderr, "qn-camera-sim: cannot write %s\n", qPrintable(conf));
        simulator.Stop();
        return 1;
    }

    serve(simulator, options, serveOptions);
    simulator.Stop();
    if (!conf.isEmpty())
        QFile::remove(conf);
    return 0;
}
