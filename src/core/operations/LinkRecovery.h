#pragma once

#include <QString>
#include <QTimer>

#include "core/operations/LinkNegotiation.h"
#include "core/transport/LinkLossListener.h"

class Command;
class SerialLink;

// What the recovery tells the front end that runs it, and asks of it.
class LinkRecoveryView {
public:
    virtual ~LinkRecoveryView() = default;
    // The link went away: show it offline and say so.
    virtual void LinkLost(const QString &device, const QString &reason) = 0;
    // Whether a reconnection may run now; not while a long operation owns the link.
    virtual bool MayReconnect() = 0;
    // The device is back and open again. When the camera answered it has been found and moved
    // to 115200 bit/s: read everything again and show it.
    virtual void LinkRestored(const QString &device, bool answered) = 0;
};

// Brings a lost link back by itself: once a second it looks whether the same device is there
// again and, when it is, reopens it and finds the camera as at start-up (a power-cycled camera
// is back at 9600 bit/s). Nothing an operator did while the link was lost is replayed.
class LinkRecovery final : public LinkLossListener {
public:
    static constexpr int kCheckPeriodMs = 1000;

    // Listens to the link's losses for its lifetime.
    LinkRecovery(SerialLink &link, Command &command, NegotiationView &negotiationView, LinkRecoveryView &view);
    ~LinkRecovery() override;
    LinkRecovery(const LinkRecovery &) = delete;
    LinkRecovery &operator=(const LinkRecovery &) = delete;

    void LinkLost(const QString &device, const QString &reason) override;
    // Whether it is waiting for the device to come back.
    bool Waiting() const { return timer_.isActive(); }
    // One look, as the timer makes it; true when the link was opened again.
    bool TryReconnect();

private:
    bool findCamera();

    SerialLink &link_;
    Command &command_;
    NegotiationView &negotiationView_;
    LinkRecoveryView &view_;
    LinkNegotiation negotiation_;
    QTimer timer_;
    QString device_;
    int lostBaud_ = 0;
};
