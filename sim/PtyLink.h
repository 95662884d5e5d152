#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

// The master side of a pseudo-terminal pair, standing in for the camera's serial port.
// A slave descriptor of our own stays open so that the tool closing and reopening the slave
// (it does so at every rate change) never hangs up the master.
class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink &) = delete;
    PtyLink &operator=(const PtyLink &) = delete;

    bool Open(int baud);
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    QString SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // The line speed that the slave side set last (Linux hands the slave's termios to the
    // master); nullopt when it cannot be read or is not a standard rate.
    std::optional<int> LineSpeed() const;

    // Non-blocking read of what is there; 0 when nothing, -1 when the link is gone.
    int Read(char *buffer, int size);
    // Writes all bytes, waiting for room; false when the link is gone.
    bool Write(const char *data, int size);

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

// Steady-clock microseconds, the time base of the wire log.
std::int64_t SteadyMicros();
void SleepUntilMicros(std::int64_t timeUs);
