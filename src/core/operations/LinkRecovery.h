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
    // Whether the camera answered an exchange since it was last shown offline (one of the
    // operator's, while the recovery waits).
    virtual bool CameraOnline() const = 0;
    // The device is back and open again, once per loss. When the camera answered it has been
    // found and moved to 115200 bit/s: read everything again and show it. When it did not,
    // the recovery goes on asking for it and tells CameraFound when it answers.
    virtual void LinkRestored(const QString &device, bool answered) = 0;
    // The camera of a restored link answered at last and has been moved to 115200 bit/s.
    virtual void CameraFound(const QString &device) = 0;
};

// Brings a lost link back by itself: once a second it looks whether the same device is there
// again and, when it is, reopens it and finds the camera as at start-up (a power-cycled camera
// is back at 9600 bit/s). A device that is back before its camera (an adapter plugged in
// before the camera's power, a device server up before its line) stays open and the camera is
// asked once a second until it answers. Nothing an operator did while the link was lost is
// replayed.
class LinkRecovery final : public LinkLossListener {
public:
    static constexpr int kCheckPeriodMs = 1000;

    // Listens to the link's losses for its lifetime.
    LinkRecovery(SerialLink &link, Command &command, NegotiationView &negotiationView, LinkRecoveryView &view);
    ~LinkRecovery() override;
    LinkRecovery(const LinkRecovery &) = delete;
    LinkRecovery &operator=(const LinkRecovery &) = delete;

    void LinkLost(const QString &device, const QString &reason) override;
    // Whether it is waiting for the device or for the camera behind it.
    bool Waiting() const { return wait_ != Wait::None; }
    // One look, as the timer makes it; true when the camera was found again.
    bool TryReconnect();

private:
    enum class Wait { None, Device, Camera };

    bool reopenDevice();
    bool findCamera();
    bool askCameraAgain();
    void stop();
    // The port could not be opened again although no loss was seen: it is closed now, and the
    // device is waited for as after a loss.
    bool portLeftClosed();

    SerialLink &link_;
    Command &command_;
    NegotiationView &negotiationView_;
    LinkRecoveryView &view_;
    LinkNegotiation negotiation_;
    QTimer timer_;
    Wait wait_ = Wait::None;
    // The recovery closed the port itself (a reopen failed): the link is not marked lost, yet
    // nobody else has opened it.
    bool closedHere_ = false;
    // Whether the view has been told the device is back since the loss.
    bool restoredTold_ = false;
    // The asks after the first search alternate between the rate the camera had and 9600 bit/s.
    int asks_ = 0;
    bool probeSent_ = false; // a model query went out at the last look, unanswered so far
    QString device_;
    int lostBaud_ = 0;
};
