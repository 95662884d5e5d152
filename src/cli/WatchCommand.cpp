#include <csignal>
#include <cstdio>
#include <memory>

#include <QDateTime>
#include <QElapsedTimer>

#include "cli/CameraWaits.h"
#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/PlantOptions.h"
#include "cli/StopSignals.h"
#include "core/operations/CameraReadouts.h"
#include "core/plant/BrokerAddress.h"
#include "core/plant/PlantReport.h"
#include "core/protocol/CommandIds.h"

namespace {

struct WatchArguments {
    PlantArguments plant;
    QString error;
};

WatchArguments parseWatchArguments(const QStringList &arguments)
{
    WatchArguments parsed;
    for (int i = 0; i < arguments.size() && parsed.error.isEmpty(); ++i) {
        if (!TakePlantOption(arguments, i, parsed.plant, parsed.error))
            parsed.error = QStringLiteral("unexpected %1; give [--mqtt URL ...] [--telemetry-every S]").arg(arguments[i]);
    }
    if (parsed.error.isEmpty())
        parsed.error = PlantArgumentsProblem(parsed.plant);
    if (!parsed.error.isEmpty())
        parsed.error.prepend(QStringLiteral("watch: "));
    return parsed;
}

// The watcher of one camera on a running line: it asks, it never sets.
class Watch {
public:
    Watch(const CliOptions &options, Dialogs &dialogs, PlantArguments plant, QString device)
        : plantArguments_(std::move(plant)), device_(std::move(device)),
          stop_([] { SayOnStandardError(QStringLiteral("Stopping: the watch ends.")); }),
          waits_(options, dialogs, device_, stop_.Flag()),
          stationId_(StationIdFor(plantArguments_, device_))
    {
    }

    ExitStatus Run();

private:
    // Reads the telemetry when it is due; false when standard output has closed.
    bool reading(CliSession &session, const QString &cameraId, bool online);

    const PlantArguments plantArguments_;
    const QString device_;
    StopSignals stop_;
    const CameraWaits waits_;
    const QString stationId_;
    std::unique_ptr<PlantReport> plant_;
    QElapsedTimer sinceReading_;
    bool outputClosed_ = false;
};

ExitStatus Watch::Run()
{
    if (plantArguments_.Publishing()) {
        QString error;
        std::optional<PlantSettings> settings =
            MakePlantSettings(plantArguments_, QStringLiteral("watch"), device_, QString(), error);
        if (!settings)
            return UsageError(QStringLiteral("watch: ") + error);
        SayOnStandardError(QStringLiteral("Publishing to %1 as %2").arg(BrokerAddressText(settings->login.address), stationId_));
        plant_ = std::make_unique<PlantReport>(std::move(*settings), &SayOnStandardError);
        // Until a camera answers, it is away.
        plant_->SetState(PresenceState::Lost);
        plant_->Start();
    }
    while (!waits_.Stopped()) {
        SayOnStandardError(QStringLiteral("Waiting for the camera on %1...").arg(device_));
        const std::unique_ptr<CliSession> session = waits_.WaitForCamera(true);
        if (!session)
            break;
        Command &command = session->command();
        QString cameraId;
        QString firmware;
        command.QueryString(CommandId::ID, cameraId, kIdentityReadMs);
        command.QueryString(CommandId::VN, firmware, kIdentityReadMs);
        SayOnStandardError(QStringLiteral("Watching camera %1 (%2) on %3 at %4 bit/s")
                .arg(cameraId, session->cameraModel().Name(), device_)
                .arg(session->serialLink().Baud()));
        if (plant_) {
            plant_->SetState(PresenceState::Online);
            plant_->CameraThere({cameraId, session->cameraModel().Name(), firmware, QDateTime::currentDateTimeUtc()});
        }
        sinceReading_.invalidate();
        const bool going = reading(*session, cameraId, true) &&
                           waits_.WaitForUnplug(*session, cameraId,
                                                [this, &session, &cameraId] { return reading(*session, cameraId, true); });
        if (!going || outputClosed_)
            break;
        SayOnStandardError(QStringLiteral("The camera %1 is away from %2.").arg(cameraId, device_));
        sinceReading_.invalidate();
        reading(*session, cameraId, false);
        if (plant_) {
            plant_->SetState(PresenceState::Lost);
            plant_->CameraGone();
        }
    }
    if (plant_)
        plant_->Finish(kBrokerFinishMs);
    return outputClosed_ ? ExitStatus::OutputClosed : ExitStatus::Done;
}

bool Watch::reading(CliSession &session, const QString &cameraId, bool online)
{
    const std::int64_t periodMs = plantArguments_.telemetrySeconds * 1000LL;
    if (cameraId.isEmpty() || (sinceReading_.isValid() && sinceReading_.elapsed() < periodMs))
        return true;
    sinceReading_.start();
    const CameraReadouts readouts = online ? ReadCameraReadouts(session.command()) : CameraReadouts{};
    const TelemetryReading telemetry{cameraId, online, session.serialLink().Baud(), plantArguments_.telemetrySeconds,
                                     QDateTime::currentDateTimeUtc()};
    if (plant_) {
        plant_->Telemetry(telemetry, readouts);
        return true;
    }
    const QByteArray line = TelemetryPayload(stationId_, telemetry, readouts) + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return true;
    // Nobody reads the telemetry any more: the watch ends, as the station does.
    SayOnStandardError(QStringLiteral("qnctl: standard output is closed; the watch ends."));
    outputClosed_ = true;
    return false;
}

} // namespace

ExitStatus CheckWatch(CliSession &session, const CliOptions &options)
{
    const WatchArguments arguments = parseWatchArguments(options.arguments);
    if (!arguments.error.isEmpty())
        return UsageError(arguments.error);
    if (session.DevicePath().isEmpty())
        return UsageError(QStringLiteral("watch: give a serial device or a network port (--port)"));
    QString error;
    if (arguments.plant.Publishing() &&
        !MakePlantSettings(arguments.plant, QStringLiteral("watch"), session.DevicePath(), QString(), error))
        return UsageError(QStringLiteral("watch: ") + error);
    return ExitStatus::Done;
}

ExitStatus RunWatch(CliSession &session, const CliOptions &options, CliReport &)
{
    std::signal(SIGPIPE, SIG_IGN);
    Watch watch(options, session.dialogs(), parseWatchArguments(options.arguments).plant, session.DevicePath());
    return watch.Run();
}
