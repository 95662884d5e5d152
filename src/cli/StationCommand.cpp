#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <unistd.h>

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonDocument>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "cli/CameraWaits.h"
#include "cli/CliCommands.h"
#include "cli/PlantOptions.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "cli/JsonLineLog.h"
#include "cli/StationVerdict.h"
#include "cli/StopSignals.h"
#include "core/common/TextFiles.h"
#include "core/formats/SettingFile.h"
#include "core/operations/CameraReadouts.h"
#include "core/operations/IdentifyModel.h"
#include "core/plant/BrokerAddress.h"
#include "core/plant/PlantReport.h"
#include "core/operations/SettingFileCompare.h"
#include "core/operations/SettingFileLoad.h"
#include "core/protocol/CommandIds.h"
#include "core/transport/DevicePresence.h"

namespace {

struct StationArguments {
    QString file;
    bool storing = false;
    std::optional<int> area;
    QString log;
    QStringList calibrations; // procedure names, in the order they run
    PlantArguments plant;
    QString error;
};

// FILE [--store-area N] [--log FILE] [plant options], each option also as --name=VALUE.
StationArguments parseStationArguments(const QStringList &arguments)
{
    StationArguments parsed;
    for (int i = 0; i < arguments.size() && parsed.error.isEmpty(); ++i) {
        const QString &argument = arguments[i];
        QString value;
        if (TakePlantOption(arguments, i, parsed.plant, parsed.error)) {
            if (!parsed.error.isEmpty())
                parsed.error.prepend(QStringLiteral("station: "));
        } else if (IsOption(argument, QStringLiteral("--store-area"))) {
            parsed.storing = true;
            bool ok = false;
            QString ignored;
            const int area = TakeOptionValue(arguments, i, QStringLiteral("--store-area"), value, ignored)
                                 ? value.toInt(&ok)
                                 : 0;
            if (ok)
                parsed.area = area;
        } else if (IsOption(argument, QStringLiteral("--calibrate"))) {
            if (!TakeOptionValue(arguments, i, QStringLiteral("--calibrate"), value, parsed.error))
                parsed.error.prepend(QStringLiteral("station: "));
            else
                parsed.calibrations.append(value);
        } else if (IsOption(argument, QStringLiteral("--log"))) {
            QString ignored;
            TakeOptionValue(arguments, i, QStringLiteral("--log"), parsed.log, ignored);
            if (parsed.log.isEmpty())
                parsed.error = QStringLiteral("station: --log needs a FILE");
        } else if (argument.startsWith(QLatin1Char('-')) || !parsed.file.isEmpty()) {
            parsed.error = QStringLiteral("station: unexpected %1; give FILE [--store-area N] [--calibrate NAME]... [--log FILE] [--mqtt URL ...]").arg(argument);
        } else {
            parsed.file = argument;
        }
    }
    if (parsed.error.isEmpty() && !PlantArgumentsProblem(parsed.plant).isEmpty())
        parsed.error = QStringLiteral("station: ") + PlantArgumentsProblem(parsed.plant);
    if (parsed.file.isEmpty() && parsed.error.isEmpty())
        parsed.error = QStringLiteral("station: give the setting FILE");
    return parsed;
}

// One station run: the loop over cameras on one device.
class Station {
public:
    Station(const CliOptions &options, Dialogs &dialogs, StationArguments arguments, QString device, QByteArray bytes)
        : options_(options), arguments_(std::move(arguments)), device_(std::move(device)),
          pieces_(SettingFilePieces(bytes)),
          file_{QFileInfo(arguments_.file).absoluteFilePath(),
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()},
          stop_([] { SayOnStandardError(QStringLiteral("Stopping: the station ends after the current step.")); }),
          waits_(options, dialogs, device_, stop_.Flag())
    {
    }

    ExitStatus Run();

private:
    bool stopped() const { return stop_.Requested(); }
    // Opens the log and, with --mqtt, starts the report to the broker; the log is the outbox.
    bool startRecords();
    StationCamera provision(CameraSession &session);
    void provisionSteps(CameraSession &session, StationCamera &camera);
    // Runs the calibrations in order; false with the camera failed at the first that does not
    // succeed.
    bool calibrate(Command &command, StationCamera &camera);
    void report(const StationCamera &camera);
    // Writes the verdict to standard output; false when it is closed or fails.
    bool writeVerdict(const QByteArray &line);
    // Reads the camera's telemetry for the broker when it is due.
    void telemetry(CameraSession &session, const QString &cameraId);

    const CliOptions &options_;
    StationArguments arguments_;
    const QString device_;
    const QList<QByteArray> pieces_;
    const StationFile file_;
    StopSignals stop_;
    const CameraWaits waits_;
    JsonLineLog log_;
    std::unique_ptr<PlantReport> plant_;
    QElapsedTimer sinceTelemetry_;
    int cameras_ = 0;
    int passed_ = 0;
    bool logFailed_ = false;
    bool outputClosed_ = false;
};

bool Station::startRecords()
{
    if (!arguments_.plant.Publishing())
        return arguments_.log.isEmpty() || log_.Open(arguments_.log);
    // The log is the outbox of the verdicts: with a broker there is always one.
    if (arguments_.log.isEmpty())
        arguments_.log = DefaultStationLog(StationIdFor(arguments_.plant, device_));
    if (!log_.Open(arguments_.log))
        return false;
    QString error;
    std::optional<PlantSettings> settings =
        MakePlantSettings(arguments_.plant, QStringLiteral("station"), device_, arguments_.log, error);
    if (!settings) {
        SayOnStandardError(QStringLiteral("qnctl: station: %1").arg(error));
        return false;
    }
    SayOnStandardError(QStringLiteral("Publishing to %1 as station %2; the verdicts are kept in %3")
            .arg(BrokerAddressText(settings->login.address), settings->station.stationId, arguments_.log));
    plant_ = std::make_unique<PlantReport>(std::move(*settings), &SayOnStandardError);
    plant_->Start();
    return true;
}

ExitStatus Station::Run()
{
    if (!startRecords())
        return log_.IsOpen() ? ExitStatus::Usage : FileError(arguments_.log, log_.Error());
    while (!stopped()) {
        SayOnStandardError(QStringLiteral("Waiting for a camera on %1...").arg(device_));
        const std::unique_ptr<CameraSession> session = waits_.WaitForCamera();
        if (!session)
            break;
        const StationCamera camera = provision(*session);
        report(camera);
        // With nobody left to read the verdicts the next camera would pass unseen.
        if (camera.result == StationResult::Stopped || stopped() || outputClosed_)
            break;
        if (DevicePresent(device_))
            SayOnStandardError(QStringLiteral("Unplug the camera from %1.").arg(device_));
        sinceTelemetry_.invalidate();
        const bool going = waits_.WaitForUnplug(*session, camera.cameraId,
                                                [this, &session, &camera] {
                                                    telemetry(*session, camera.cameraId);
                                                    return true;
                                                });
        if (plant_) {
            plant_->CameraOffline(camera.cameraId, session->serialLink().Baud());
            plant_->CameraGone();
        }
        if (!going)
            break;
    }
    SayOnStandardError(QStringLiteral("Station ended: %1 camera(s), %2 passed, %3 not.").arg(cameras_).arg(passed_).arg(cameras_ - passed_));
    if (plant_)
        plant_->Finish(kBrokerFinishMs);
    if (logFailed_)
        return ExitStatus::FileError;
    if (outputClosed_)
        return ExitStatus::OutputClosed;
    return passed_ == cameras_ ? ExitStatus::Done : ExitStatus::Refused;
}

void Station::telemetry(CameraSession &session, const QString &cameraId)
{
    if (!plant_ || cameraId.isEmpty())
        return;
    if (sinceTelemetry_.isValid() && sinceTelemetry_.elapsed() < arguments_.plant.telemetrySeconds * 1000LL)
        return;
    sinceTelemetry_.start();
    const CameraReadouts readouts = ReadCameraReadouts(session.command());
    plant_->Telemetry(TelemetryReading{cameraId, true, session.serialLink().Baud(), 0, {}}, readouts);
}

StationCamera Station::provision(CameraSession &session)
{
    StationCamera camera;
    provisionSteps(session, camera);
    return camera;
}

void Station::provisionSteps(CameraSession &session, StationCamera &camera)
{
    Command &command = session.command();
    const auto gone = [&command] { return command.LastOutcome() == Command::Outcome::NoAnswer; };
    const auto fail = [&camera](const QString &reason) {
        camera.result = StationResult::Failed;
        camera.reason = reason;
    };
    const auto stoppedBefore = [this, &camera](const QString &step) {
        if (!stopped())
            return false;
        camera.result = StationResult::Stopped;
        camera.reason = QStringLiteral("stopped before %1").arg(step);
        return true;
    };

    SayOnStandardError(QStringLiteral("Camera found on %1").arg(device_));
    camera.model = session.cameraModel().Name();
    command.QueryString(CommandId::VN, camera.firmware, kIdentityReadMs);
    command.QueryString(CommandId::ID, camera.cameraId, kIdentityReadMs);
    command.QueryString(CommandId::UD, camera.userId, kIdentityReadMs);
    if (plant_ && !camera.cameraId.isEmpty())
        plant_->CameraThere({camera.cameraId, camera.model, camera.firmware, QDateTime::currentDateTimeUtc()});
    if (gone())
        return fail(QStringLiteral("lost while identifying"));
    if (stoppedBefore(QStringLiteral("loading")))
        return;

    // The file is checked against this camera before anything is written: a model line of
    // another model would rename it, and a file that sets nothing would pass unchecked.
    const SettingFileCheck check = PlanSettingFileCheck(pieces_, session.commandTable(), session.controlTable(),
                                                        session.cameraModel(), session.IsExtended());
    camera.unreadable = check.unreadable;
    for (const UnreadableLine &line : check.unreadable)
        SayOnStandardError(QStringLiteral("%1: %2").arg(arguments_.file, UnreadableLineText(line)));
    if (check.IsForOtherModel())
        return fail(QStringLiteral("the file ") + OtherModelText(check.otherModel, session.cameraModel()));
    if (check.ChecksNothing()) {
        camera.result = StationResult::Unverified;
        camera.reason = QStringLiteral("the file ") + NothingVerifiedText(session.cameraModel(), session.IsExtended());
        return;
    }

    SayOnStandardError(QStringLiteral("Camera %1 (%2, firmware %3): loading %4").arg(camera.cameraId, camera.model, camera.firmware,
                                                                      arguments_.file));
    {
        ConsoleProgress progress(QStringLiteral("Loading camera setting file"));
        const SettingLoadHooks hooks{[&progress](int percent) {
                                         progress.Step(percent);
                                         QCoreApplication::processEvents();
                                     },
                                     {},
                                     [&session] {
                                         IdentifyModel(session.command(), session.cameraModel(), session.dialogs());
                                     },
                                     gone};
        camera.refused = LoadSettingPieces(pieces_, command, session.commandTable(), session.controlTable(),
                                           session.cameraModel(), session.IsExtended(), hooks);
    }
    if (gone())
        return fail(QStringLiteral("lost while loading"));
    if (stoppedBefore(QStringLiteral("verifying")))
        return;

    SayOnStandardError(QStringLiteral("Verifying %1 parameters").arg(check.filed.size()));
    CameraValues read;
    {
        ConsoleProgress progress(QStringLiteral("Reading the values back"));
        read = ReadFiledValues(check.filed, command, [&progress](int percent) {
            progress.Step(percent);
            QCoreApplication::processEvents();
        });
    }
    if (gone())
        return fail(QStringLiteral("lost while verifying"));
    camera.differences = CompareFiledValues(check.filed, read);
    // A line of the file that could not be read was never loaded: the camera is not set up as meant.
    camera.result =
        camera.differences.empty() && camera.unreadable.empty() ? StationResult::Ok : StationResult::Differs;

    // Only a camera that holds the file is calibrated, and only a calibrated one goes into
    // flash: a wrong set there would come back at every power-up.
    if (camera.result != StationResult::Ok)
        return;
    if (!arguments_.calibrations.isEmpty() && (stoppedBefore(QStringLiteral("calibrating")) || !calibrate(command, camera)))
        return;
    if (!arguments_.storing)
        return;
    if (stoppedBefore(QStringLiteral("storing")))
        return;
    SayOnStandardError(QStringLiteral("Storing in area %1").arg(*arguments_.area));
    if (StoreInArea(command, *arguments_.area))
        camera.storedArea = arguments_.area;
    else
        fail(gone() ? QStringLiteral("lost while storing") : QStringLiteral("store in area %1 refused").arg(*arguments_.area));
}

bool Station::calibrate(Command &command, StationCamera &camera)
{
    for (const QString &name : arguments_.calibrations) {
        SayOnStandardError(QStringLiteral("Calibrating: %1").arg(name));
        const ProcedureResult result = RunCameraProcedure(command, *FindCameraProcedure(name));
        if (result.failure == Command::Outcome::NoAnswer) {
            camera.result = StationResult::Failed;
            camera.reason = QStringLiteral("lost while calibrating (%1)").arg(name);
            return false;
        }
        if (result.failure != Command::Outcome::None) {
            camera.result = StationResult::Failed;
            camera.reason = result.started ? QStringLiteral("%1: result not read").arg(name)
                                           : QStringLiteral("%1 refused").arg(name);
            return false;
        }
        camera.calibrations.push_back({name, result.code, result.text});
        if (!result.succeeded) {
            camera.result = StationResult::Failed;
            camera.reason = result.text;
            return false;
        }
    }
    return true;
}

void Station::report(const StationCamera &camera)
{
    ++cameras_;
    if (camera.result == StationResult::Ok)
        ++passed_;
    QJsonObject record = LogRecord(camera, QDateTime::currentDateTimeUtc(), device_, file_);
    if (plant_)
        plant_->StampRecord(record);
    // The log first: a verdict that cannot be shown must not take the record with it.
    if (log_.IsOpen() && !log_.Append(record)) {
        logFailed_ = true;
        std::fprintf(stderr, "qnctl: %s: log line not written: %s\n", qPrintable(arguments_.log), qPrintable(log_.Error()));
        // Not in the outbox, so sent once as it is: better than not at all.
        if (plant_)
            plant_->PublishUnlogged(record);
    } else if (plant_) {
        plant_->RecordLogged();
    }
    const QByteArray line =
        (options_.json ? QJsonDocument(record).toJson(QJsonDocument::Compact) : VerdictLine(camera).toUtf8()) + '\n';
    if (!writeVerdict(line))
        return;
    // The operator watches the terminal: verdicts that go to a file or a pipe are shown there too.
    if (isatty(STDOUT_FILENO) == 0 && isatty(STDERR_FILENO) == 1)
        SayOnStandardError(VerdictLine(camera));
}

bool Station::writeVerdict(const QByteArray &line)
{
    errno = 0;
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return true;
    const int error = errno;
    outputClosed_ = true;
    SayOnStandardError(QStringLiteral("qnctl: standard output: %1; the station ends after this camera.")
            .arg(QString::fromLocal8Bit(std::strerror(error != 0 ? error : EPIPE))));
    return false;
}

} // namespace

ExitStatus CheckStation(CameraSession &session, const CliOptions &options)
{
    const StationArguments arguments = parseStationArguments(options.arguments);
    if (!arguments.error.isEmpty())
        return UsageError(arguments.error);
    const QString device = session.DevicePath();
    if (!device.startsWith(QLatin1Char('/')))
        return UsageError(QStringLiteral("station: give a serial device (--port /dev/... or a COM name mapped to one)"));
    if (arguments.storing && CheckAreaToStore(session, arguments.area) != ExitStatus::Done)
        return ExitStatus::Usage;
    for (const QString &name : arguments.calibrations) {
        const QString problem = CheckProcedure(session, name);
        if (!problem.isEmpty())
            return UsageError(QStringLiteral("station: --calibrate ") + problem);
    }
    QString error;
    if (arguments.plant.Publishing() &&
        !MakePlantSettings(arguments.plant, QStringLiteral("station"), device, arguments.log, error))
        return UsageError(QStringLiteral("station: ") + error);
    QByteArray bytes;
    if (!ReadFileBytes(arguments.file, bytes))
        return FileError(arguments.file, QStringLiteral("could not be read"));
    return ExitStatus::Done;
}

ExitStatus RunStation(CameraSession &session, const CliOptions &options, CliReport &)
{
    StationArguments arguments = parseStationArguments(options.arguments);
    QByteArray bytes;
    if (!ReadFileBytes(arguments.file, bytes))
        return FileError(arguments.file, QStringLiteral("could not be read"));
    // A reader of the verdicts that goes away (a pipe into tee ended with Ctrl-C), or a log that
    // reaches its size limit, fails the write instead of ending the run in the middle of a camera.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    // The file is read once: every camera gets the bytes whose digest the log names.
    Station station(options, session.dialogs(), std::move(arguments), session.DevicePath(), bytes);
    return station.Run();
}
