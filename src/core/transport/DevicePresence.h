#pragma once

#include <atomic>

#include <QString>

// Whether a serial device is there to be opened: the path itself for a device node, or the
// device a symbolic link (a /dev/serial/by-id name) leads to. Waiting looks once a second,
// so a bench can wait for the next camera to be plugged in without using the processor.

// True when the path names something that exists now (a dangling link counts as absent), and
// for a network port, which can only be tried.
bool DevicePresent(const QString &device);

// Waits until the device is present (present true) or absent (present false); timeoutMs < 0
// waits without limit. True when that state was reached, false on the time-out or when *stop
// became true.
bool WaitForDevice(const QString &device, bool present, int timeoutMs,
                   const std::atomic<bool> *stop = nullptr);
