#include <cstdio>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliReport.h"
#include "core/session/CameraSession.h"
#include "cli/ConsoleDialogs.h"

namespace {

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

int listPorts(CameraSession &session, CliReport &report)
{
    QJsonObject ports;
    for (int index = 0; index < SerialLink::kComPortCount; ++index) {
        const QString name = QStringLiteral("COM%1").arg(index + 1);
        const QString device = session.settings().PortDevice(name);
        ports.insert(name, device);
        report.Line(QStringLiteral("%1  %2").arg(name, -6).arg(device));
    }
    report.Json().insert(QStringLiteral("ports"), ports);
    print(report.Output());
    return 0;
}

// Why the run failed, for a script: the session's account of a missing camera or a lost link,
// else the kind of the status with the command's reason or the last message.
QJsonObject errorObject(ExitStatus status, const CameraSession &session, const ConsoleDialogs &dialogs,
                        const CliReport &report)
{
    SessionFailure failure;
    if (session.Failure() && status == ExitStatus::NoCamera) {
        failure = *session.Failure();
    } else {
        switch (status) {
        case ExitStatus::Refused:
            failure.kind = QStringLiteral("refused");
            break;
        case ExitStatus::Usage:
            failure.kind = QStringLiteral("usage");
            break;
        case ExitStatus::FileError:
            failure.kind = QStringLiteral("file");
            break;
        case ExitStatus::Differs:
            failure.kind = QStringLiteral("differences");
            break;
        case ExitStatus::NothingVerified:
            failure.kind = QStringLiteral("nothing-verified");
            break;
        default:
            failure.kind = QStringLiteral("no-camera");
            break;
        }
        failure.reason = dialogs.Shown().isEmpty() ? QString() : dialogs.Shown().last();
        if (!report.Reason().isEmpty())
            failure.reason = report.Reason();
    }
    QJsonObject error{{QStringLiteral("kind"), failure.kind}, {QStringLiteral("reason"), failure.reason}};
    if (!failure.device.isEmpty())
        error.insert(QStringLiteral("device"), failure.device);
    return error;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CliParse parse = ParseCommandLine(arguments);
    const CliOptions &options = parse.options;
    // Version and help need nothing else, so they answer before anything is set up.
    if (parse.error.isEmpty() && options.version) {
        std::printf("qnctl %s\n", QN_PROJECT_VERSION);
        return 0;
    }
    if (parse.error.isEmpty() && options.help) {
        const QString usage = options.command.isEmpty() ? ProgramUsage() : CommandUsage(options.command);
        std::fputs(usage.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parse.error.isEmpty()) {
        std::fprintf(stderr, "qnctl: %s\nTry 'qnctl --help'.\n", qPrintable(parse.error));
        return static_cast<int>(ExitStatus::Usage);
    }

    QCoreApplication application(argc, argv);
    ConsoleDialogs dialogs(options.force);
    CliReport report(options.json);
    CameraSession session(options, dialogs);
    if (options.command == QLatin1String("ports"))
        return listPorts(session, report);
    const CliCommand *command = FindCliCommand(options.command);
    if (command == nullptr) {
        std::fprintf(stderr, "qnctl: %s is not built yet\n", qPrintable(options.command));
        return static_cast<int>(ExitStatus::Usage);
    }
    ExitStatus status = command->check(session, options);
    if (status != ExitStatus::Done)
        return static_cast<int>(status);
    if (!command->findsCamera)
        return static_cast<int>(command->run(session, options, report));
    if (command->filesOnly == nullptr || !command->filesOnly(options)) {
        session.command().Create();
        status = options.deviceWaitSeconds ? session.ConnectWhenThere(*options.deviceWaitSeconds) : session.Connect();
    }
    if (status == ExitStatus::Done)
        status = command->run(session, options, report);
    // However the command took its failed exchanges, a pulled cable is no camera.
    if (session.LostLink())
        status = ExitStatus::NoCamera;
    if (options.json) {
        report.Json().insert(QStringLiteral("status"), static_cast<int>(status));
        if (status != ExitStatus::Done)
            report.Json().insert(QStringLiteral("error"), errorObject(status, session, dialogs, report));
        report.Json().insert(QStringLiteral("messages"), QJsonArray::fromStringList(dialogs.Shown()));
    }
    print(report.Output());
    return static_cast<int>(status);
}
