#include "core/operations/LutExchange.h"

#include <algorithm>
#include <array>

#include "core/protocol/Command.h"

namespace {

constexpr std::array<LutChannelCommands, 3> kChannelCommands = {{{97, 100}, {96, 99}, {98, 101}}};

} // namespace

const LutChannelCommands &LutCommandsOf(int channel)
{
    return kChannelCommands[static_cast<std::size_t>(std::clamp(channel, 0, 2))];
}

int ReadLutEntries(Command &command, int channel, LutTable &table, const std::function<void(int done)> &step)
{
    const LutChannelCommands &row = LutCommandsOf(channel);
    for (int i = 0; i < kLutEntries; ++i) {
        command.SetValue(row.indexCommand, i, kLutExchangeTimeoutMs);
        std::int32_t value = 0;
        if (!command.QueryValue(row.valueCommand, value, kLutExchangeTimeoutMs))
            return i;
        table[static_cast<std::size_t>(i)] = std::min(value, kLutMaxValue);
        if (step)
            step(i + 1);
    }
    return kLutEntries;
}

int WriteLutEntries(Command &command, int channel, const LutTable &table, const std::function<void(int done)> &step)
{
    const LutChannelCommands &row = LutCommandsOf(channel);
    const auto silent = [&command](bool done) { return !done && command.LastOutcome() == Command::Outcome::NoAnswer; };
    for (int i = 0; i < kLutEntries; ++i) {
        if (silent(command.SetValue(row.indexCommand, i, kLutExchangeTimeoutMs)) ||
            silent(command.SetValue(row.valueCommand, table[static_cast<std::size_t>(i)], kLutExchangeTimeoutMs)))
            return i + 1;
        if (step)
            step(i + 1);
    }
    return 0;
}
