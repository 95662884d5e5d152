#include "core/operations/LinkRecovery.h"

#include "core/protocol/Command.h"
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
    device_ = device;
    lostBaud_ = link_.Baud();
    view_.LinkLost(device, reason);
    timer_.start();
}

bool LinkRecovery::TryReconnect()
{
    // Someone opened the link meanwhile (the operator chose a port): nothing left to do.
    if (!link_.IsLost()) {
        timer_.stop();
        return false;
    }
    // The link is not taken from an exchange or a long operation that runs; next second.
    if (command_.IsBusy() || !view_.MayReconnect() || !link_.DeviceAvailable())
        return false;
    // Quietly: a device that is there but cannot be opened yet is tried again, not reported.
    if (!link_.ReopenQuietly(lostBaud_))
        return false;
    timer_.stop();
    const bool answered = findCamera();
    // Gone again while it was being found: that loss has started the next wait.
    if (link_.IsLost())
        return false;
    view_.LinkRestored(device_, answered);
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
        return false;
    const bool answeredAtStart = lostBaud_ != SerialLink::kStartBaud && negotiationView_.IdentifyModel();
    return negotiation_.FindCamera(answeredAtStart);
}
