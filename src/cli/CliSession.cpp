#include "cli/CliSession.h"

#include "common/Dialogs.h"
#include "operations/IdentifyModel.h"
#include "operations/LinkNegotiation.h"
#include "settings/PreferenceFile.h"

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
      settings_(preferences_.Path()),
      cameraLink_(MakeCameraLinkPorts(settings_, dialogs_)),
      comPort_(settings_, dialogs_),
      serialLink_(settings_, comPort_, {&cameraLink_[0], &cameraLink_[1], &cameraLink_[2]}, lineLog_),
      controlMode_(settings_),
      controlTable_(dialogs_),
      command_(commandTable_, serialLink_, dialogs_, lineLog_, commandEvents_)
{
    command_.SetFastReplies(options.fast);
}

CliSession::~CliSession() = default;

ExitStatus CliSession::Connect()
{
    const int kind = serialLink_.GetKind();
    const int port = serialLink_.CurrentPortIndex();
    const int baud = options_.fixedBaud.value_or(SerialLink::kStartBaud);
    if (!serialLink_.Open(kind, baud, port)) {
        const QString reason = serialLink_.LastOpenFailureText();
        MessageRequest request;
        request.text = QStringLiteral("Failed to initialize!");
        request.caption = QStringLiteral("No camera");
        request.detailedText = reason;
        request.icon = MessageIcon::Stop;
        dialogs_.ShowMessage(request);
        return ExitStatus::NoCamera;
    }
    bool answered = IdentifyModel(command_, cameraModel_, dialogs_);
    if (!options_.fixedBaud) {
        ModelQueryView view(command_, cameraModel_, dialogs_);
        LinkNegotiation negotiation(serialLink_, command_, view);
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
    const int port = serialLink_.CurrentPortIndex();
    const QString name = serialLink_.PortName(port);
    if (serialLink_.GetKind() != 0)
        return name;
    return QStringLiteral("%1 (%2)").arg(name, settings_.PortDevice(name));
}
