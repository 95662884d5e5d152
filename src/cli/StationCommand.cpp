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

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "cli/JsonLineLog.h"
#include "cli/StationVerdict.h"
#include "cli/StopSignals.h"
#include "core/common/TextFiles.h"
#include "core/common/TickClock.h"
#include "core/formats/SettingFile.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/SettingFileCompare.h"
#include "core/operations/SettingFileLoad.h"
#include "core/protocol/CommandIds.h"
#include "core/transport/DevicePresence.h"

namespace {

constexpr unsigned kIdentityReadMs = 1000;
// A device must stay this long before the station talks to it: an adapter that bounces on
// its way in, or a udev rule still setting the permissions, is not yet a camera.
constexpr std::uint32_t kSettleMs = 300;
// How often a waiting station looks for a camera, or asks the one that is there whether it
// still is; the waits look at the stop flag and the device every kStepMs meanwhile.
constexpr std::uint32_t kLookEveryMs = 1000;
constexpr std::uint32_t kStepMs = 100;
// A present camera answers the model query at once; a cable swapped mid-query is a miss.
constexpr unsigned kPresenceQueryMs = 300;
// One miss may be noise on the line; two in a row mean the camera's cable is out.
constexpr int kMissesForUnplugged = 2;

struct StationArguments {
    QString file;
    bool storing = false;
    std::optional<int> area;
    QString log;
    QString error;
};

// FILE [--store-area N] [--log FILE], each option also as --name=VALUE.
StationArguments parseStationArguments(const QStringList &arguments)
{
    StationArguments parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const auto is = [&argument](const QString &name) {
            return argument == name || argument.startsWith(name + QLatin1Char('='));
        };
        const auto value = [&](const QString &name) -> std::optional<QString> {
            if (argument.startsWith(name + QLatin1Char('=')))
                return argument.mid(name.size() + 1);
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (is(QStringLiteral("--store-area"))) {
            parsed.storing = true;
            bool ok = false;
            const int area = value(QStringLiteral("--store-area")).value_or(QString()).toInt(&ok);
            if (ok)
                parsed.area = area;
        } else if (is(QStringLiteral("--log"))) {
            parsed.log = value(QStringLiteral("--log")).value_or(QString());
            if (parsed.log.isEmpty())
                parsed.error = QStringLiteral("station: --log needs a FILE");
        } else if (argument.startsWith(QLatin1Char('-')) || !parsed.file.isEmpty()) {
            parsed.error = QStringLiteral("station: unexpected %1; give FILE [--store-area N] [--log FILE]").arg(argument);
        } else {
            parsed.file = argument;
        }
    }
    if (parsed.file.isEmpty() && parsed.error.isEmpty())
        parsed.error = QStringLiteral("station: give the setting FILE");
    return parsed;
}

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// One station run: the loop over cameras on one device.
class Station {
public:
    Station(const CliOptions &options, Dialogs &dialogs, StationArguments arguments, QString device, QByteArray bytes)
        : options_(options), dialogs_(dialogs), arguments_(std::move(arguments)), device_(std::move(device)),
          pieces_(SettingFilePieces(bytes)),
          file_{QFileInfo(arguments_.file).absoluteFilePath(),
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()},
          stop_([] { say(QStringLiteral("Stopping: the station ends after the current step.")); })
    {
    }

    ExitStatus Run();

private:
    bool stopped() const { return stop_.Requested(); }
    // Sleeps the time in short steps, ending early when a stop is asked for or until() holds;
    // false when stopped.
    bool pause(std::uint32_t ms, const std::function<bool()> &until = {}) const;
    // Waits until the device is there and a camera answers on it: the session that found it,
    // or none when a stop was asked for first.
    std::unique_ptr<CliSession> waitForCamera();
    // Waits until the camera is gone: its device went away, its link was lost, it missed the
    // id query twice in a row (an adapter that stays), or another camera answers (swapped
    // between two looks). False when stopped first.
    bool waitForUnplug(CliSession &session, const QString &cameraId) const;
    StationCamera provision(CliSession &session);
    void provisionSteps(CliSession &session, StationCamera &camera);
    void report(const StationCamera &camera);
    // Writes the verdict to standard output; false when it is closed or fails.
    bool writeVerdict(const QByteArray &line);

    const CliOptions &options_;
    Dialogs &dialogs_;
    const StationArguments arguments_;
    const QString device_;
    const QList<QByteArray> pieces_;
    const StationFile file_;
    StopSignals stop_;
    JsonLineLog log_;
    int cameras_ = 0;
    int passed_ = 0;
    bool logFailed_ = false;
    bool outputClosed_ = false;
};

bool Station::pause(std::uint32_t ms, const std::function<bool()> &until) const
{
    for (std::uint32_t slept = 0; slept < ms && !stopped() && !(until && until()); slept += kStepMs)
        TickClock::SleepMs(kStepMs);
    return !stopped();
}

std::unique_ptr<CliSession> Station::waitForCamera()
{
    // A session of its own for every camera: nothing of the last one (rate, model, values)
    // carries over, as with a separate qnctl run.
    auto session = std::make_unique<CliSession>(options_, dialogs_);
    session->command().Create();
    for (;;) {
        if (!WaitForDevice(device_, true, -1, &stop_.Flag()) || !pause(kSettleMs))
            return nullptr;
        if (!DevicePresent(device_))
            continue; // gone again at once
        // An empty adapter is no news: the search stays quiet and is looked at again.
        session->SetLossQuiet(true);
        session->command().SetCancel(&stop_.Flag());
        const bool found = session->ConnectQuietly();
        session->command().SetCancel(nullptr);
        session->SetLossQuiet(false);
        if (stopped())
            return nullptr;
        if (found)
            return session;
        if (!pause(kLookEveryMs))
            return nullptr;
    }
}

bool Station::waitForUnplug(CliSession &session, const QString &cameraId) const
{
    SerialLink &link = session.serialLink();
    const auto gone = [this, &link] { return !DevicePresent(device_) || link.CheckLoss(); };
    session.SetLossQuiet(true);
    session.command().SetCancel(&stop_.Flag());
    int misses = 0;
    while (!stopped() && !gone() && misses < kMissesForUnplugged) {
        QString id;
        const bool answered = session.command().QueryString(CommandId::ID, id, kPresenceQueryMs);
        if (answered && !cameraId.isEmpty() && id != cameraId)
            break;
        misses = answered ? 0 : misses + 1;
        pause(kLookEveryMs, gone);
    }
    session.command().SetCancel(nullptr);
    return !stopped();
}

ExitStatus Station::Run()
{
    if (!arguments_.log.isEmpty() && !log_.Open(arguments_.log))
        return FileError(arguments_.log, log_.Error());
    while (!stopped()) {
        say(QStringLiteral("Waiting for a camera on %1...").arg(device_));
        const std::unique_ptr<CliSession> session = waitForCamera();
        if (!session)
            break;
        const StationCamera camera = provision(*session);
        report(camera);
        // With nobody left to read the verdicts the next camera would pass unseen.
        if (camera.result == StationResult::Stopped || stopped() || outputClosed_)
            break;
        if (DevicePresent(device_))
            say(QStringLiteral("Unplug the camera from %1.").arg(device_));
        if (!waitForUnplug(*session, camera.cameraId))
            break;
    }
    say(QStringLiteral("Station ended: %1 camera(s), %2 passed, %3 not.").arg(cameras_).arg(passed_).arg(cameras_ - passed_));
    if (logFailed_)
        return ExitStatus::FileError;
    if (outputClosed_)
        return ExitStatus::OutputClosed;
    return passed_ == cameras_ ? ExitStatus::Done : ExitStatus::Refused;
}

StationCamera Station::provision(CliSession &session)
{
    StationCamera camera;
    provisionSteps(session, camera);
    return camera;
}

void Station::provisionSteps(CliSession &session, StationCamera &camera)
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

    say(QStringLiteral("Camera found on %1").arg(device_));
    camera.model = session.cameraModel().Name();
    command.QueryString(CommandId::VN, camera.firmware, kIdentityReadMs);
    command.QueryString(CommandId::ID, camera.cameraId, kIdentityReadMs);
    command.QueryString(CommandId::UD, camera.userId, kIdentityReadMs);
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
        say(QStringLiteral("%1: %2").arg(arguments_.file, UnreadableLineText(line)));
    if (check.IsForOtherModel())
        return fail(QStringLiteral("the file ") + OtherModelText(check.otherModel, session.cameraModel()));
    if (check.ChecksNothing()) {
        camera.result = StationResult::Unverified;
        camera.reason = QStringLiteral("the file ") + NothingVerifiedText(session.cameraModel(), session.IsExtended());
        return;
    }

    say(QStringLiteral("Camera %1 (%2, firmware %3): loading %4").arg(camera.cameraId, camera.model, camera.firmware,
                                                                      arguments_.file));
    {
        ConsoleProgress progress(QStringLiteral("Loading camera setting file"));
        const SettingLoadHooks hooks{[&progress](int percent) { progress.Step(percent); }, {},
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

    say(QStringLiteral("Verifying %1 parameters").arg(check.filed.size()));
    CameraValues read;
    {
        ConsoleProgress progress(QStringLiteral("Reading the values back"));
        read = ReadFiledValues(check.filed, command, [&progress](int percent) { progress.Step(percent); });
    }
    if (gone())
        return fail(QStringLiteral("lost while verifying"));
    camera.differences = CompareFiledValues(check.filed, read);
    // A line of the file that could not be read was never loaded: the camera is not set up as meant.
    camera.result =
        camera.differences.empty() && camera.unreadable.empty() ? StationResult::Ok : StationResult::Differs;

    // Only a camera that holds the file goes into flash: a wrong set there would come back at
    // every power-up.
    if (!arguments_.storing || camera.result != StationResult::Ok)
        return;
    if (stoppedBefore(QStringLiteral("storing")))
        return;
    say(QStringLiteral("Storing in area %1").arg(*arguments_.area));
    if (StoreInArea(command, *arguments_.area))
        camera.storedArea = arguments_.area;
    else
        fail(gone() ? QStringLiteral("lost while storing") : QStringLiteral("store in area %1 refused").arg(*arguments_.area));
}

void Station::report(const StationCamera &camera)
{
    ++cameras_;
    if (camera.result == StationResult::Ok)
        ++passed_;
    const QJsonObject record = LogRecord(camera, QDateTime::currentDateTimeUtc(), device_, file_);
    // The log first: a verdict that cannot be shown must not take the record with it.
    if (log_.IsOpen() && !log_.Append(record)) {
        logFailed_ = true;
        std::fprintf(stderr, "qnctl: %s: log line not written: %s\n", qPrintable(arguments_.log), qPrintable(log_.Error()));
    }
    const QByteArray line =
        (options_.json ? QJsonDocument(record).toJson(QJsonDocument::Compact) : VerdictLine(camera).toUtf8()) + '\n';
    if (!writeVerdict(line))
        return;
    // The operator watches the terminal: verdicts that go to a file or a pipe are shown there too.
    if (isatty(STDOUT_FILENO) == 0 && isatty(STDERR_FILENO) == 1)
        say(VerdictLine(camera));
}

bool Station::writeVerdict(const QByteArray &line)
{
    errno = 0;
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return true;
    const int error = errno;
    outputClosed_ = true;
    say(QStringLiteral("qnctl: standard output: %1; the station ends after this camera.")
            .arg(QString::fromLocal8Bit(std::strerror(error != 0 ? error : EPIPE))));
    return false;
}

} // namespace

ExitStatus CheckStation(CliSession &session, const CliOptions &options)
{
    const StationArguments arguments = parseStationArguments(options.arguments);
    if (!arguments.error.isEmpty())
        return UsageError(arguments.error);
    const QString device = session.DevicePath();
    if (!device.startsWith(QLatin1Char('/')))
        return UsageError(QStringLiteral("station: give a serial device (--port /dev/... or a COM name mapped to one)"));
    if (arguments.storing && CheckAreaToStore(session, arguments.area) != ExitStatus::Done)
        return ExitStatus::Usage;
    QByteArray bytes;
    if (!ReadFileBytes(arguments.file, bytes))
        return FileError(arguments.file, QStringLiteral("could not be read"));
    return ExitStatus::Done;
}

ExitStatus RunStation(CliSession &session, const CliOptions &options, CliReport &)
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
