#pragma once

#include <QString>

// Why a serial device could not be opened, in words an operator can act on: the device path,
// what the system said, and what to do about it.
struct OpenFailure {
    bool failed = false;
    QString device;     // the path the COM name stands for; empty when it names none
    int errorNumber = 0; // errno of the failed call, 0 when the system gave none
    QString ownerGroup; // the group that owns the device node, when it could be found
    QString reason;     // why, in words, when the system's error text would not say it
    bool network = false; // the device is a serial port served over the network
    // The device could not be reached at all (no connection to the server): no other rate
    // can help.
    bool unreachable = false;
};

// The detailed text of the "Failed to initialize!" box and of the message log line. portsFile
// is the preference file whose [Ports] group named the device; empty when the device was given
// directly, and the advice then does not send the operator there.
QString DescribeOpenFailure(const OpenFailure &failure, const QString &portsFile);

// Why, in one phrase: what the system or the server said.
QString OpenFailureReason(const OpenFailure &failure);

// The group that owns the file, or empty when it cannot be found.
QString OwnerGroupOf(const QString &path);
