#include "core/session/CameraSession.h"

#include "core/common/Dialogs.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/LinkNegotiation.h"
#include "core/settings/PreferenceFile.h"
#include "core/transport/DevicePresence.h"
#include "core/transport/OpenFailure.h"

namespace {

// The search has no rate list to show; it only asks the camera for its model.
class ModelQueryView final : public NegotiationView {
public:
    ModelQueryView(Command &command, CameraModel &model, Dialogs &dialogs)
        : command_(command), model_(model), dialogs_(dialogs)
    {
    }
    void SetBaudSelection(int) override {}
    bool IdentifyModel() override { return ::IdentifyModel(command_, model_, dialogs_); }
    void LogNote(const QString &text) override
    {
        dialogs_.Message(text, QStringLiteral("Link"), MessageIcon::Information);
    }

private:
    Command &command_;
    CameraModel &model_;
    Dialogs &dialogs_;
};

} // namespace


CameraSession::CameraSession(const SessionOptions &options, Dialogs &dialogs)
    : options_(options),
      dialogs_(dialogs),
      preferences_(options.settingsPath.isEmpty() ? PreferenceFile::DefaultPath() : options.settingsPath, options),
      core_(dialogs, preferences_.Path(), TickClock()),
      command_(core_.commandTable, core_.serialLink, dialogs_, core_.lineLog, commandEvents_)
{
    command_.SetFastReplies(options.fast);
    core_.serialLink.SetLossListener(this);
}

CameraSession::~CameraSession()
{
    core_.serialLink.SetLossListener(nullptr);
}

void CameraSession::LinkLost(const QString &device, const QString &reason)
{
    lostLink_ = true;
    failure_ = SessionFailure{QStringLiteral("link-lost"), device, reason};
    if (lossQuiet_)
        return;
    dialogs_.Message(QStringLiteral("Link lost: %1 (%2)").arg(device, reason), QStringLiteral("No camera"),
                     MessageIcon::Stop);
}

CameraSession::Search CameraSession::findCamera()
{
    const int kind = core_.serialLink.GetKind();
    const int port = core_.serialLink.CurrentPortIndex();
    const int baud = options_.fixedBaud.value_or(SerialLink::kStartBaud);
    // The port's own box is not shown: the failure is told once, by report().
    const ComPort::QuietOpen quietOpen(core_.comPort);
    if (!core_.serialLink.Open(kind, baud, port))
        return Search::NotOpened;
    bool answered = IdentifyModel(command_, core_.cameraModel, dialogs_);
    if (!options_.fixedBaud && queriesOnly_) {
        // The rate the camera has is found and kept: a camera on a running line is not moved.
        for (const int rate : {115200, 57600, 38400, 19200}) {
            if (answered || !core_.serialLink.ReopenWithBaud(rate))
                break;
            answered = IdentifyModel(command_, core_.cameraModel, dialogs_);
        }
    } else if (!options_.fixedBaud) {
        ModelQueryView view(command_, core_.cameraModel, dialogs_);
        LinkNegotiation negotiation(core_.serialLink, command_, view);
        answered = negotiation.FindCamera(answered);
    }
    return answered ? Search::Found : Search::NoAnswer;
}

ExitStatus CameraSession::report(Search result)
{
    if (result == Search::NotOpened) {
        const bool comPort = core_.serialLink.GetKind() == static_cast<int>(LinkKind::ComPort);
        // Advice about the [Ports] group only when it named the device, and then about the
        // operator's own preference file, not this run's private copy.
        const QString portsFile = preferences_.DirectDevice() ? QString() : preferences_.StoredPath();
        const OpenFailure &failure = core_.comPort.LastOpenFailure();
        MessageRequest request;
        request.text = QStringLiteral("Cannot open %1.").arg(LinkDescription());
        request.caption = QStringLiteral("No camera");
        request.detailedText = comPort ? DescribeOpenFailure(failure, portsFile) : core_.serialLink.LastOpenFailureText();
        request.icon = MessageIcon::Stop;
        dialogs_.ShowMessage(request);
        failure_ = SessionFailure{QStringLiteral("no-camera"), LinkDescription(),
                              comPort ? OpenFailureReason(failure) : request.detailedText.simplified()};
        return ExitStatus::NoCamera;
    }
    if (result == Search::NoAnswer) {
        dialogs_.Message(QStringLiteral("The camera does not answer on %1.").arg(LinkDescription()),
                         QStringLiteral("No camera"), MessageIcon::Stop);
        failure_ = SessionFailure{QStringLiteral("no-camera"), LinkDescription(), QStringLiteral("the camera does not answer")};
        return ExitStatus::NoCamera;
    }
    return ExitStatus::Done;
}

ExitStatus CameraSession::Connect()
{
    return report(findCamera());
}

ExitStatus CameraSession::ConnectWhenThere(int seconds)
{
    constexpr unsigned kRetryMs = 1000;
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    const std::uint32_t limitMs = static_cast<std::uint32_t>(seconds) * 1000u;
    const bool comPort = core_.serialLink.GetKind() == static_cast<int>(LinkKind::ComPort);
    for (;;) {
        const std::uint32_t spent = clock.Since(start);
        const int left = spent >= limitMs ? 0 : static_cast<int>(limitMs - spent);
        // A Camera Link port has no device to look for, a network port none to see; they can
        // only be tried.
        if (comPort && !WaitForDevice(core_.serialLink.Device(), true, left)) {
            dialogs_.Message(QStringLiteral("%1 did not appear within %2 s.").arg(LinkDescription()).arg(seconds),
                             QStringLiteral("No camera"), MessageIcon::Stop);
            return ExitStatus::NoCamera;
        }
        // Quiet until the last try: a device that is still coming up is no news.
        const Search result = findCamera();
        if (result == Search::Found)
            return ExitStatus::Done;
        if (clock.Since(start) >= limitMs)
            return report(result);
        TickClock::SleepMs(kRetryMs);
    }
}

QString CameraSession::LinkDescription() const
{
    const QString name = core_.serialLink.PortName(core_.serialLink.CurrentPortIndex());
    if (core_.serialLink.GetKind() != 0)
        return name;
    if (preferences_.DirectDevice())
        return DevicePath();
    return QStringLiteral("%1 (%2)").arg(name, DevicePath());
}

QString CameraSession::DevicePath() const
{
    if (core_.serialLink.GetKind() != 0)
        return QString();
    return core_.settings.PortDevice(core_.serialLink.PortName(core_.serialLink.CurrentPortIndex()));
}

ExitStatus StatusOfLastExchange(const Command &command)
{
    return StatusOfExchangeOutcome(command.LastOutcome());
}

ExitStatus StatusOfExchangeOutcome(Command::Outcome outcome)
{
    switch (outcome) {
    case Command::Outcome::None:
    case Command::Outcome::Answered:
        return ExitStatus::Done;
    case Command::Outcome::Refused:
        return ExitStatus::Refused;
    case Command::Outcome::NoAnswer:
        return ExitStatus::NoCamera;
    }
    return ExitStatus::Refused;
}

ExitStatus StatusOfProcedure(const ProcedureResult &result)
{
    if (result.failure != Command::Outcome::None)
        return StatusOfExchangeOutcome(result.failure);
    return result.succeeded ? ExitStatus::Done : ExitStatus::Refused;
}

QString CheckProcedure(const CameraSession &session, const QString &name)
{
    const std::optional<CameraProcedure> procedure = FindCameraProcedure(name);
    if (!procedure)
        return QStringLiteral("%1: give one of %2").arg(name, CameraProcedureNames());
    if (InfoOf(*procedure).extendedOnly && !session.IsExtended())
        return QStringLiteral("%1: runs in extended mode only (--mode extended)").arg(name);
    return QString();
}
