#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include <QString>

#include "core/transport/ByteRing.h"
#include "core/transport/OpenFailure.h"
#include "core/transport/WakeupPipe.h"

class Dialogs;
class SettingsStore;

// A COM port on a POSIX terminal device. A receive thread moves what arrives into the
// 1,024-byte ring; the user-interface thread takes it from there. The device of a name such
// as "COM3" comes from the settings' [Ports] group.
class ComPort {
public:
    ComPort(const SettingsStore &settings, Dialogs &dialogs);
    ~ComPort();
    ComPort(const ComPort &) = delete;
    ComPort &operator=(const ComPort &) = delete;

    bool OpenPort(const QString &name, int baud);
    void ClosePort();
    int WriteBytes(const char *bytes, int count); // 1 when open and count > 0, else 0
    int ReadAvailable(char *buffer, int max);
    int Available() const;
    void ResetRing();
    bool IsOpen() const { return fd_ >= 0; }
    // Blocks until at least one byte is in the ring or the time passes; true when a byte is there.
    bool WaitForData(std::uint32_t timeoutMs);

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
    bool ReceiverRunning() const { return receiver_.joinable(); }

    // Whether the receive thread found the device gone (unplugged adapter, hung-up line)
    // since the port was opened. The port then stays quiet until it is closed.
    bool Lost() const { return lost_.load(std::memory_order_acquire); }
    // Why it was lost ("device removed" or the read error's text); empty while not lost.
    QString LossReason() const;
    // The device the port has open (or had, when it is lost).
    const QString &Device() const { return device_; }

private:
    enum class OpenStep { CreateFile, SetCommMask, SetupComm, SetCommTimeouts, GetCommState, SetCommState };

    bool fail(OpenStep step, const QString &name);
    bool openDevice(const QString &device);
    bool configureLine(int baud);
    void setModemLines();

    void receiveLoop(int portFd, QString device);
    bool roomInRing();
    // Bytes moved into the ring; a read error other than "nothing now" goes to readError.
    int drainPort(int portFd, int &readError);
    // After a hang-up that gave no byte: whether the device is gone for good, and why.
    static std::optional<QString> lossOf(int readError, const QString &device);
    void markLost(const QString &reason);
    void publishData();
    void roomMade();
    bool writeOneByte(char byte);

    const SettingsStore &settings_;
    Dialogs &dialogs_;

    int fd_ = -1;
    bool quiet_ = false;
    QString device_;
    OpenFailure lastFailure_;
    WakeupPipe wakeup_;
    std::thread receiver_;
    std::atomic<bool> running_{false};
    // Set by the receive thread while it waits for room in a full ring.
    std::atomic<bool> roomWanted_{false};
    std::atomic<bool> lost_{false};
    QString lossReason_; // written before lost_ is set, under dataMutex_

    ByteRing ring_;
    mutable std::mutex dataMutex_;
    std::condition_variable dataArrived_;
};
