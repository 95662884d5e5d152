#include "cli/StopSignals.h"

#include <cerrno>
#include <utility>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

StopSignals::StopSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGTERM);
    sigaddset(&stopping, SIGHUP); // the terminal went: a closed SSH session
    pthread_sigmask(SIG_BLOCK, &stopping, &previousMask_);
    signalFd_ = signalfd(-1, &stopping, SFD_CLOEXEC);
    // Without the descriptor or the pipe the signals stay blocked but unheard; unblocking them
    // instead would let Ctrl-C end the run in the middle of a write.
    if (signalFd_ >= 0 && wakeup_.Create())
        watcher_ = std::thread([this] { watch(); });
}

StopSignals::~StopSignals()
{
    if (watcher_.joinable()) {
        wakeup_.Signal();
        watcher_.join();
    }
    if (signalFd_ >= 0)
        close(signalFd_);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void StopSignals::watch()
{
    pollfd fds[2] = {{signalFd_, POLLIN, 0}, {wakeup_.ReadFd(), POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        signalfd_siginfo info{};
        if ((fds[0].revents & POLLIN) != 0 && read(signalFd_, &info, sizeof info) == sizeof info) {
            requested_.store(true);
            if (onSignal_)
                onSignal_();
        }
    }
}
