#include "core/operations/LinkRecovery.h"

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/transport/SerialLink.h"

LinkRecovery::LinkRecovery(SerialLink &link, Command &command, NegotiationView &negotiationView,
                           LinkRecoveryView &view)
    : link_(link), command_(command), negotiationView_(negotiationView), view_(view),
      negotiation_(link, command, negotiationView)
{
    timer_.setInterval(kCheckPeriodMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { TryReconnect(); });
    link_.SetLossListener(this);
}

LinkRecovery::~LinkRecovery()
{
    link_.SetLossListener(nullptr);
}

void LinkRecovery::LinkLost(const QString &device, const QString &reason)
{
    // Lost again before the camera answered: the rate it had before the first loss is still
    // the one it may come back at.
    if (wait_ == Wait::None)
        lostBaud_ = link_.Baud();
    device_ = device;
    wait_ = Wait::Device;
    closedHere_ = false;
    restoredTold_ = false;
    view_.LinkLost(device, reason);
    timer_.start();
}

void LinkRecovery::stop()
{
    wait_ = Wait::None;
    closedHere_ = false;
    timer_.stop();
}

bool LinkRecovery::portLeftClosed()
{
    // A failed open leaves a lost link lost; that loss has been told and is waited for.
    closedHere_ = !link_.IsLost();
    wait_ = Wait::Device;
    return false;
}

bool LinkRecovery::TryReconnect()
{
    // Someone opened the link meanwhile (the operator chose a port) and maybe found the
    // camera there: nothing left to do.
    const bool openedElsewhere = wait_ == Wait::Device && ((!link_.IsLost() && !closedHere_) || view_.CameraOnline());
    if (wait_ == Wait::None || openedElsewhere) {
        stop();
        return false;
    }
    // The link is not taken from an exchange or a long operation that runs; next second.
    if (command_.IsBusy() || !view_.MayReconnect())
        return false;
    const bool answered = wait_ == Wait::Camera ? askCameraAgain() : reopenDevice() && findCamera();
    // Gone again while it was being found, or closed by a reopen that failed: still waiting.
    if (link_.IsLost() || (wait_ == Wait::Device && closedHere_))
        return false;
    const bool firstNews = !restoredTold_;
    restoredTold_ = true;
    if (answered)
        stop();
    else
        wait_ = Wait::Camera;
    if (firstNews)
        view_.LinkRestored(device_, answered);
    else if (answered)
        view_.CameraFound(device_);
    return answered;
}

bool LinkRecovery::reopenDevice()
{
    // Quietly: a device that is there but cannot be opened yet is tried again, not reported.
    if (!link_.DeviceAvailable() || !link_.ReopenQuietly(lostBaud_))
        return false;
    closedHere_ = false;
    asks_ = 0;
    probeSent_ = false;
    return true;
}

bool LinkRecovery::findCamera()
{
    // A replugged adapter finds the camera still at the rate it had: one query settles it,
    // where the start-up sequence would cost a time-out and a move to 115200 bit/s.
    if (negotiationView_.IdentifyModel())
        return true;
    // Otherwise as at start-up: a power-cycled camera is back at 9600 bit/s.
    if (lostBaud_ != SerialLink::kStartBaud && !link_.ReopenQuietly(SerialLink::kStartBaud))
        return portLeftClosed();
    const bool answeredAtStart = lostBaud_ != SerialLink::kStartBaud && negotiationView_.IdentifyModel();
    return negotiation_.FindCamera(answeredAtStart);
}

bool LinkRecovery::askCameraAgain()
{
    // Whatever came back to the last look's query says a camera listens at this rate; an
    // exchange of the operator's that was answered says so too. Then it is asked properly.
    const bool heard = probeSent_ && command_.ReceivedCount() > 0;
    probeSent_ = false;
    if (heard || view_.CameraOnline()) {
        if (negotiationView_.IdentifyModel() && !link_.IsLost()) {
            negotiation_.MoveToTopRate();
            return !link_.IsLost();
        }
        if (link_.IsLost())
            return false;
    }
    // The search at the reopen tried every rate. A camera that answers only later was powered
    // up after its device (9600 bit/s) or kept the rate it had: one query a second, at these
    // two in turn. Its reply is looked for at the next look, so the windows are not held while
    // the camera stays silent.
    const int baud = asks_++ % 2 == 0 ? SerialLink::kStartBaud : lostBaud_;
    if (link_.CanChangeRate() && baud != link_.Baud()) {
        if (!link_.ReopenQuietly(baud))
            return portLeftClosed();
        negotiationView_.SetBaudSelection(link_.CodeOfBaud());
    }
    command_.ClearReceived();
    probeSent_ = link_.SendLine((command_.FormatQuery(CommandId::MD, false) + QStringLiteral("\r\n")).toLatin1());
    return false;
}
