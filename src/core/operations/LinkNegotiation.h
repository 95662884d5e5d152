#pragma once

#include <QString>

class Command;
class SerialLink;

// What the rate negotiation needs of the window that runs it.
class NegotiationView {
public:
    virtual ~NegotiationView() = default;
    // Shows the link rate (a baud code 0..4) in the communication window's list.
    virtual void SetBaudSelection(int code) = 0;
    // Asks the camera for its model; true when it answered.
    virtual bool IdentifyModel() = 0;
    // A line for the message log.
    virtual void LogNote(const QString &text) = 0;
};

// The steps that find the camera on a port and move camera and link to 115200 bit/s. Used at
// start-up and whenever the operator picks another port.
class LinkNegotiation {
public:
    static constexpr int kTopCode = 4; // 115200 bit/s
    static constexpr int kWakeUpBytes = 14;
    static constexpr const char *kFixedRateNote =
        "This port cannot change the line rate: talking at the rate its server's line is set to.";

    LinkNegotiation(SerialLink &link, Command &command, NegotiationView &view);

    // Fourteen zero bytes at every rate from 115200 down to 9600 bit/s, through the COM port
    // itself (a Camera Link kind has it closed, so the bytes go nowhere). Ends at 9600 bit/s,
    // or early when the device cannot be reached at all.
    // A link that cannot change its rate gets the bytes once, at its own rate.
    void WakeUpBurst();
    // Tries the model query at every rate from 115200 down to 9600 bit/s; true at the first
    // rate that answers, and the link stays there. A link that cannot change its rate is
    // asked once, at its own rate.
    bool ScanRates();
    // Moves the camera and the link to 115200 bit/s unless they are there already or the link
    // cannot be set to that rate (a Camera Link library without it): the camera is then not
    // asked to move. When the confirmation at the new rate fails, the link goes back to the
    // rate it had.
    void MoveToTopRate();
    // The start-up sequence after the first model query on the stored rate: the wake-up
    // burst, the scan when the camera did not answer, and the move to 115200 bit/s when it
    // answered somewhere. True when it answered. On a link that cannot change its rate the
    // message log says once that the rate is left alone. A link whose device cannot be reached
    // at all is not searched: no rate can help it.
    bool FindCamera(bool answeredAtStoredRate);
    // Tells the message log, when the link cannot change its rate, that the rate is left alone.
    void NoteWhenRateFixed();

private:
    // False when the link could not be opened at all there (see SerialLink::Unreachable).
    bool reopenAtCode(int code);
    void sendWakeUpBytes();

    SerialLink &link_;
    Command &command_;
    NegotiationView &view_;
};
