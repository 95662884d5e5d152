#include "core/transport/NameLookup.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include "core/common/TickClock.h"

namespace {

int resolve(const QByteArray &name, const QByteArray &service, int flags, addrinfo **found)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    return getaddrinfo(name.constData(), service.constData(), &hints, found);
}

NameLookup resultOf(int status, int errorNumber, const addrinfo *found)
{
    NameLookup result;
    result.status = status;
    result.errorNumber = errorNumber;
    if (status != 0)
        return result;
    result.outcome = NameLookup::Outcome::Found;
    for (const addrinfo *address = found; address != nullptr; address = address->ai_next) {
        if (address->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        TcpEndpoint endpoint;
        std::memcpy(&endpoint.address, address->ai_addr, address->ai_addrlen);
        endpoint.length = address->ai_addrlen;
        result.endpoints.push_back(endpoint);
    }
    return result;
}

// What the looking thread and the waiting caller share; whichever lets go last frees it.
struct PendingLookup {
    int done[2] = {-1, -1}; // the thread writes a byte when the result is there
    std::mutex mutex;
    NameLookup result;

    ~PendingLookup()
    {
        for (const int fd : done)
            if (fd >= 0)
                close(fd);
    }
};

} // namespace

NameLookup LookUpName(const QByteArray &name, const QByteArray &service, std::uint32_t timeoutMs, int cancelFd)
{
    addrinfo *found = nullptr;
    if (resolve(name, service, AI_NUMERICHOST, &found) == 0) {
        NameLookup result = resultOf(0, 0, found);
        freeaddrinfo(found);
        return result;
    }
    auto pending = std::make_shared<PendingLookup>();
    const auto lookUp = [name, service, pending] {
        addrinfo *names = nullptr;
        const int status = resolve(name, service, 0, &names);
        const int errorNumber = errno;
        {
            const std::lock_guard<std::mutex> lock(pending->mutex);
            pending->result = resultOf(status, errorNumber, names);
        }
        if (names != nullptr)
            freeaddrinfo(names);
        const char byte = 1;
        (void)!write(pending->done[1], &byte, 1);
    };
    bool threaded = pipe2(pending->done, O_CLOEXEC | O_NONBLOCK) == 0;
    if (threaded) {
        try {
            std::thread(lookUp).detach();
        } catch (const std::system_error &) {
            threaded = false;
        }
    }
    if (!threaded) {
        lookUp(); // no thread to be had: the caller waits for the resolver, as it always did
        return pending->result;
    }

    const TickClock clock;
    const std::uint32_t start = clock.Now();
    for (;;) {
        const std::uint32_t elapsed = clock.Since(start);
        NameLookup waited;
        waited.outcome = NameLookup::Outcome::TimedOut;
        if (elapsed >= timeoutMs)
            return waited;
        pollfd waits[2] = {{pending->done[0], POLLIN, 0}, {cancelFd, POLLIN, 0}};
        const int ready = poll(waits, cancelFd >= 0 ? 2 : 1, static_cast<int>(timeoutMs - elapsed));
        if (ready < 0 && errno != EINTR) {
            waited.outcome = NameLookup::Outcome::Failed;
            waited.status = EAI_SYSTEM;
            waited.errorNumber = errno;
            return waited;
        }
        if (ready > 0 && cancelFd >= 0 && waits[1].revents != 0) {
            waited.outcome = NameLookup::Outcome::Cancelled;
            return waited;
        }
        if (ready > 0 && waits[0].revents != 0) {
            const std::lock_guard<std::mutex> lock(pending->mutex);
            return pending->result;
        }
    }
}
