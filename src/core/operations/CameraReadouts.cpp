#include "core/operations/CameraReadouts.h"

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"

namespace {

constexpr unsigned kReadoutTimeoutMs = 3000;
constexpr unsigned kLimitTimeoutMs = 5000;
constexpr unsigned kCounterResetTimeoutMs = 1000;

constexpr NamedReadout kReadouts[] = {
    {"Temperature", "TMP0", CommandId::TMP0},
    {"Counter 0", "CV0", CommandId::CV0, 0},
    {"Counter 1", "CV1", CommandId::CV0 + CommandId::kCounterStride, 1},
    {"Counter 2", "CV2", CommandId::CV0 + 2 * CommandId::kCounterStride, 2},
    {"Counter 3", "CV3", CommandId::CV0 + 3 * CommandId::kCounterStride, 3},
    {"Line Rate min limit", "LRMIN", CommandId::LRMIN},
    {"Exposure max limit", "PEMAX", CommandId::PEMAX},
    {"Exposure min limit", "PEMIN", CommandId::PEMIN},
};

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

LimitReadout ReadLimit(Command &command, int commandId)
{
    LimitReadout readout;
    readout.answered = command.QueryValue(commandId, readout.value, kLimitTimeoutMs);
    return readout;
}

void ResetCounter(Command &command, int counter)
{
    command.SetValue(CommandId::CR0 + CommandId::kCounterStride * counter, 0, kCounterResetTimeoutMs);
}

const NamedReadout *FindReadout(const QString &name)
{
    for (const NamedReadout &readout : kReadouts) {
        if (name.compare(QLatin1String(readout.label), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(readout.mnemonic), Qt::CaseInsensitive) == 0)
            return &readout;
    }
    return nullptr;
}

std::span<const NamedReadout> NamedReadouts()
{
    return kReadouts;
}

ReadoutValue ReadNamedReadout(Command &command, const NamedReadout &readout)
{
    if (readout.counter >= 0) {
        const CounterReadout counter = ReadCounter(command, readout.counter);
        return {counter.value, counter.status};
    }
    if (readout.command == CommandId::TMP0)
        return {ReadTemperature(command), QString()};
    const LimitReadout limit = ReadLimit(command, readout.command);
    return {limit.answered ? std::optional(limit.value) : std::nullopt, QString()};
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
