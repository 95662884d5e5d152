#include "core/transport/WakeupPipe.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool makeNonBlockingCloseOnExec(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

WakeupPipe::~WakeupPipe()
{
    Destroy();
}

bool WakeupPipe::Create()
{
    Destroy();
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    if (!makeNonBlockingCloseOnExec(readFd_) || !makeNonBlockingCloseOnExec(writeFd_)) {
        Destroy();
        return false;
    }
    return true;
}

void WakeupPipe::Destroy()
{
    if (readFd_ >= 0)
        close(readFd_);
    if (writeFd_ >= 0)
        close(writeFd_);
    readFd_ = writeFd_ = -1;
}

void WakeupPipe::Signal() const
{
    const char byte = 1;
    // A full pipe already wakes the reader, so EAGAIN needs nothing further.
    while (write(writeFd_, &byte, 1) < 0 && errno == EINTR) {
    }
}

void WakeupPipe::Drain() const
{
    char sink[64];
    for (;;) {
        const ssize_t got = read(readFd_, sink, sizeof sink);
        if (got > 0)
            continue;
        if (got < 0 && errno == EINTR)
            continue;
        break;
    }
}
