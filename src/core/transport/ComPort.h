#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
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

    // Whether a receive thread exists (it is joined inside ClosePort).
    bool ReceiverRunning() const { return receiver_.joinable(); }

private:
    enum class OpenStep { CreateFile, SetCommMask, SetupComm, SetCommTimeouts, GetCommState, SetCommState };

    bool fail(OpenStep step, const QString &name);
    bool openDevice(const QString &device);
    bool configureLine(int baud);
    void setModemLines();

    void receiveLoop(int portFd);
    bool roomInRing();
    int drainPort(int portFd); // bytes moved into the ring
    void publishData();
    void roomMade();
    bool writeOneByte(char byte);

    const SettingsStore &settings_;
    Dialogs &dialogs_;

    int fd_ = -1;
    OpenFailure lastFailure_;
    WakeupPipe wakeup_;
    std::thread receiver_;
    std::atomic<bool> running_{false};
    // Set by the receive thread while it waits for room in a full ring.
    std::atomic<bool> roomWanted_{false};

    ByteRing ring_;
    std::mutex dataMutex_;
    std::condition_variable dataArrived_;
};
