#include "cli/CliSession.h"

#include "core/common/Dialogs.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/LinkNegotiation.h"
#include "core/settings/PreferenceFile.h"

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

private:
    Command &command_;
    CameraModel &model_;
    Dialogs &dialogs_;
};

} // namespace


CliSession::CliSession(const CliOptions &options, Dialogs &dialogs)
    : options_(options),
      dialogs_(dialogs),
      preferences_(options.settingsPath.isEmpty() ? PreferenceFile::DefaultPath() : options.settingsPath, options),
      core_(dialogs, preferences_.Path(), TickClock()),
      command_(core_.commandTable, core_.serialLink, dialogs_, core_.lineLog, commandEvents_)
{
    command_.SetFastReplies(options.fast);
}

CliSession::~CliSession() = default;

ExitStatus CliSession::Connect()
{
    const int kind = core_.serialLink.GetKind();
    const int port = core_.serialLink.CurrentPortIndex();
    const int baud = options_.fixedBaud.value_or(SerialLink::kStartBaud);
    if (!core_.serialLink.Open(kind, baud, port)) {
        const QString reason = core_.serialLink.LastOpenFailureText();
        MessageRequest request;
        request.text = QStringLiteral("Failed to initialize!");
        request.caption = QStringLiteral("No camera");
        request.detailedText = reason;
        request.icon = MessageIcon::Stop;
        dialogs_.ShowMessage(request);
        return ExitStatus::NoCamera;
    }
    bool answered = IdentifyModel(command_, core_.cameraModel, dialogs_);
    if (!options_.fixedBaud) {
        ModelQueryView view(command_, core_.cameraModel, dialogs_);
        LinkNegotiation negotiation(core_.serialLink, command_, view);
        answered = negotiation.FindCamera(answered);
    }
    if (!answered) {
        dialogs_.Message(QStringLiteral("The camera does not answer on %1.").arg(LinkDescription()),
                         QStringLiteral("No camera"), MessageIcon::Stop);
        return ExitStatus::NoCamera;
    }
    return ExitStatus::Done;
}

QString CliSession::LinkDescription() const
{
    const QString name = core_.serialLink.PortName(core_.serialLink.CurrentPortIndex());
    if (core_.serialLink.GetKind() != 0)
        return name;
    return QStringLiteral("%1 (%2)").arg(name, DevicePath());
}

QString CliSession::DevicePath() const
{
    if (core_.serialLink.GetKind() != 0)
        return QString();
    return core_.settings.PortDevice(core_.serialLink.PortName(core_.serialLink.CurrentPortIndex()));
}
