#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "core/transport/BackgroundConnect.h"
#include "core/transport/NetworkLine.h"
#include "core/transport/OpenFailure.h"
#include "core/transport/PortReceiver.h"
#include "core/transport/ReceiveSource.h"

class Dialogs;
class SettingsStore;

// A COM port: the device of a name such as "COM3" comes from the settings' [Ports] group and
// is a POSIX terminal device or a serial port served over the network (rfc2217://HOST:PORT or
// socket://HOST:PORT). A receive thread moves what arrives into the 1,024-byte ring; the
// user-interface thread takes it from there.
class ComPort {
public:
    ComPort(const SettingsStore &settings, Dialogs &dialogs);
    ~ComPort();
    ComPort(const ComPort &) = delete;
    ComPort &operator=(const ComPort &) = delete;

    // Opens the name's device at the rate. A network port that is already open to the same
    // address stays connected and only moves to the rate.
    bool OpenPort(const QString &name, int baud);
    void ClosePort();
    int WriteBytes(const char *bytes, int count); // 1 when open and count > 0, else 0
    int ReadAvailable(char *buffer, int max);
    int Available() const;
    void ResetRing();
    bool IsOpen() const { return fd_ >= 0 || network_.IsOpen(); }
    // False for a raw TCP port: its line keeps the rate the server gives it.
    bool CanChangeRate() const { return !network_.IsOpen() || network_.CanChangeRate(); }
    // Blocks until at least one byte is in the ring or the time passes; true when a byte is there.
    bool WaitForData(std::uint32_t timeoutMs);

    // Whether the network port's server can be reached now, without waiting: a connection is
    // tried on a thread of its own, and once it has connected (true) the next OpenPort of the
    // device takes it over instead of connecting again. False for what is not a network address.
    bool NetworkPortReachable(const QString &device);

    // Why the last OpenPort failed; cleared by one that succeeds.
    const OpenFailure &LastOpenFailure() const { return lastFailure_; }

    // While one lives, a failed OpenPort keeps its reason but shows no box: a device that is
    // tried again every second must not put up a box every second.
    class QuietOpen {
    public:
        explicit QuietOpen(ComPort &port) : port_(port), saved_(port.quiet_) { port_.quiet_ = true; }
        ~QuietOpen() { port_.quiet_ = saved_; }
        QuietOpen(const QuietOpen &) = delete;
        QuietOpen &operator=(const QuietOpen &) = delete;

    private:
        ComPort &port_;
        bool saved_;
    };

    // Whether a receive thread exists (it is joined inside ClosePort).
    bool ReceiverRunning() const { return receiver_.Running(); }

    // Whether the receive thread found the device gone (unplugged adapter, hung-up line)
    // since the port was opened. The port then stays quiet until it is closed.
    bool Lost() const { return receiver_.Lost(); }
    // Why it was lost ("device removed", the read error's text, or what became of the
    // network connection); empty while not lost.
    QString LossReason() const { return receiver_.LossReason(); }
    // The device the port has open (or had, when it is lost).
    const QString &Device() const { return device_; }

private:
    enum class OpenStep { CreateFile, SetCommMask, SetupComm, SetCommTimeouts, GetCommState, SetCommState };

    // Reads a terminal device as it is.
    class TerminalSource : public ReceiveSource {
    public:
        QString device;
        Got ReadInto(int fd, std::span<char> room) override;
        std::optional<QString> LossOf(const Got &last) override;
    };

    bool fail(OpenStep step, const QString &name);
    bool openTerminal(const QString &name, const QString &device, int baud);
    bool openDevice(const QString &device);
    void setModemLines();
    bool openNetwork(const QString &name, const QString &device, int baud);
    bool failNetwork(OpenStep step, const QString &name);
    // How many of the bytes the port took; 0 when it took none within the byte limit.
    int writeSome(const char *bytes, int count);

    const SettingsStore &settings_;
    Dialogs &dialogs_;

    int fd_ = -1; // the terminal device, when that is what is open
    bool quiet_ = false;
    QString device_;
    OpenFailure lastFailure_;
    TerminalSource terminal_;
    NetworkLine network_;
    BackgroundConnect connector_{NetworkLine::kConnectTimeoutMs};
    PortReceiver receiver_;
};
