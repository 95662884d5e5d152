#include "core/operations/CameraReadouts.h"

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"

namespace {

constexpr unsigned kReadoutTimeoutMs = 3000;

struct StatusText {
    std::int32_t status;
    const char *text;
};

constexpr StatusText kCounterStatusTexts[] = {
    {0, "Counter Idle"},
    {2, "Counter Active"},
    {4, "Counter Overflow"},
};

} // namespace

QString CounterStatusText(std::int32_t status)
{
    for (const StatusText &entry : kCounterStatusTexts) {
        if (entry.status == status)
            return QString::fromLatin1(entry.text);
    }
    return QStringLiteral("---");
}

std::optional<std::int32_t> ReadTemperature(Command &command)
{
    std::int32_t value = 0;
    if (!command.QueryValue(CommandId::TMP0, value, kReadoutTimeoutMs))
        return std::nullopt;
    return value;
}

CounterReadout ReadCounter(Command &command, int counter)
{
    CounterReadout readout;
    std::int32_t value = 0;
    if (!command.QueryValue(CommandId::CV0 + CommandId::kCounterStride * counter, value, kReadoutTimeoutMs))
        return readout;
    readout.value = value;
    std::int32_t status = 0;
    if (command.QueryValue(CommandId::CS0 + CommandId::kCounterStride * counter, status, kReadoutTimeoutMs))
        readout.status = CounterStatusText(status);
    return readout;
}

CameraReadouts ReadCameraReadouts(Command &command)
{
    // A camera that stopped answering is not asked the rest: each query would wait its time out.
    const auto gone = [&command] { return command.LastOutcome() == Command::Outcome::NoAnswer; };
    CameraReadouts readouts;
    readouts.temperature = ReadTemperature(command);
    for (int n = 0; n < kCameraCounters && !gone(); ++n) {
        const CounterReadout counter = ReadCounter(command, n);
        readouts.counters[static_cast<std::size_t>(n)] = counter.value;
        readouts.counterStatus[static_cast<std::size_t>(n)] = counter.status;
    }
    return readouts;
}
