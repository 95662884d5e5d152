#pragma once

// A self-pipe that lets another thread interrupt poll(): Signal() makes ReadFd() readable
// until Drain() is called. Both ends are non-blocking and close-on-exec.
class WakeupPipe {
public:
    WakeupPipe() = default;
    ~WakeupPipe();
    WakeupPipe(const WakeupPipe &) = delete;
    WakeupPipe &operator=(const WakeupPipe &) = delete;

    bool Create();
    void Destroy();
    bool IsValid() const { return readFd_ >= 0; }
    int ReadFd() const { return readFd_; }

    void Signal() const;
    void Drain() const;

private:
    int readFd_ = -1;
    int writeFd_ = -1;
};
