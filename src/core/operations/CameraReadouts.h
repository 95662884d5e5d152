#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

class Command;

// The readouts a camera gives on request: its temperature and its four counters, each with a
// status. A query that fails leaves its readout empty.

inline constexpr int kCameraCounters = 4;

struct CounterReadout {
    std::optional<std::int32_t> value;
    QString status; // empty when the value or the status could not be read
};

struct CameraReadouts {
    std::optional<std::int32_t> temperature;
    std::array<std::optional<std::int32_t>, kCameraCounters> counters;
    std::array<QString, kCameraCounters> counterStatus;
};

// "Counter Idle", "Counter Active", "Counter Overflow", "---" for any other status.
QString CounterStatusText(std::int32_t status);

std::optional<std::int32_t> ReadTemperature(Command &command);
// The counter's value, then its status; a value that fails skips the status query.
CounterReadout ReadCounter(Command &command, int counter);
// Temperature and counters, as the camera's page shows them after their buttons; a query that
// gets no answer at all ends the reading there.
CameraReadouts ReadCameraReadouts(Command &command);
