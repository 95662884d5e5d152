#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

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
// A limit (LRMIN, PEMAX, PEMIN): the query's value, which the engine leaves 0 when it failed.
struct LimitReadout {
    std::int32_t value = 0;
    bool answered = false;
};
LimitReadout ReadLimit(Command &command, int commandId);
// Sets the counter back to 0 (whatever the camera answers, the value is read after).
void ResetCounter(Command &command, int counter);
// The counter's value, then its status; a value that fails skips the status query.
CounterReadout ReadCounter(Command &command, int counter);
// The readouts by name, for a front end that asks for one: "Temperature" (TMP0), "Counter 0"
// to "Counter 3" (CV0..CV3, with the status of CS0..CS3), "Line Rate min limit" (LRMIN),
// "Exposure max limit" (PEMAX), "Exposure min limit" (PEMIN), each also by its mnemonic.
struct NamedReadout {
    const char *label;
    const char *mnemonic;
    int command;
    int counter = -1; // 0..3 for a counter
};
const NamedReadout *FindReadout(const QString &name);
std::span<const NamedReadout> NamedReadouts();
struct ReadoutValue {
    std::optional<std::int32_t> value; // none when the query failed
    QString status;                    // a counter's status text
};
ReadoutValue ReadNamedReadout(Command &command, const NamedReadout &readout);

// Temperature and counters, as the camera's page shows them after their buttons; a query that
// gets no answer at all ends the reading there.
CameraReadouts ReadCameraReadouts(Command &command);
