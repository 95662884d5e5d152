#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

// A bare termios client of the slave side: what the simulator's own tests and benchmark use
// to play the tool without pulling in the tool's transport.
class SlavePort {
public:
    SlavePort() = default;
    ~SlavePort();
    SlavePort(const SlavePort &) = delete;
    SlavePort &operator=(const SlavePort &) = delete;

    bool Open(const QString &path, int baud);
    void Close();
    bool SetBaud(int baud);
    bool Write(const QByteArray &bytes);
    // Bytes up to and including the next LF; empty on time-out. hungUp tells a dead master.
    QByteArray ReadLine(int timeoutMs);
    // Whatever arrives within the time.
    QByteArray ReadFor(int timeoutMs);
    bool HungUp() const { return hungUp_; }

private:
    void fill(std::int64_t waitUs);

    int fd_ = -1;
    bool hungUp_ = false;
    QByteArray pending_;
};
