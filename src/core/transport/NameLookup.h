#pragma once

#include <cstdint>
#include <vector>

#include <QByteArray>

#include "core/transport/TcpConnect.h"

// The addresses a host name stands for, within a time limit and cancellable: a numeric address
// is read at once; a name is looked up on a thread of its own, so that the caller stops waiting
// at its limit or as soon as cancelFd (when not -1) becomes readable. The resolver cannot be
// interrupted: a lookup nobody waits for any more ends by itself and cleans up after itself.
struct NameLookup {
    enum class Outcome { Found, Failed, TimedOut, Cancelled };
    Outcome outcome = Outcome::Failed;
    std::vector<TcpEndpoint> endpoints;
    int status = 0;      // getaddrinfo's, when it failed
    int errorNumber = 0; // errno, for EAI_SYSTEM
};

NameLookup LookUpName(const QByteArray &name, const QByteArray &service, std::uint32_t timeoutMs, int cancelFd);
