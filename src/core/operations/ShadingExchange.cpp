#include "core/operations/ShadingExchange.h"

#include "core/common/Dialogs.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"

namespace {

constexpr std::uint32_t kModeQueryMs = 5000;
constexpr std::uint32_t kChannelSelectMs = kShadingChannelSelectMs;
constexpr std::uint32_t kValueMs = kShadingValueMs;
constexpr std::uint32_t kFinishMs = kShadingFinishMs;

} // namespace

bool ShadingModeOn(Command &command, Dialogs &dialogs)
{
    std::int32_t mode = 0;
    if (!command.QueryValue(CommandId::SDM, mode, kModeQueryMs))
        return false;
    if (mode == 0) {
        dialogs.Message(QStringLiteral("Shading Mode is OFF"), QString(), MessageIcon::Stop);
        return false;
    }
    return true;
}

int ExchangeShading(Command &command, ShadingTable &table, ShadingDirection direction, ShadingShape shape,
                    const std::function<void(int done, int total)> &step)
{
    const int total = shape.channels * shape.valuesPerChannel;
    // A camera that stopped answering would keep every later exchange waiting for its whole
    // limit; the transfer ends at the first exchange that got no answer at all.
    const auto silent = [&command] { return command.LastOutcome() == Command::Outcome::NoAnswer; };
    for (int channel = 0; channel < shape.channels; ++channel) {
        auto &values = table[static_cast<std::size_t>(channel)];
        command.SetValue(CommandId::SDDS, channel, kChannelSelectMs);
        if (silent())
            return channel * shape.valuesPerChannel + 1;
        for (int index = 1; index <= shape.valuesPerChannel; ++index) {
            const int n = channel * shape.valuesPerChannel + index;
            std::int32_t &entry = values[static_cast<std::size_t>(index - 1)];
            command.SetValue(CommandId::SDDI, index, kValueMs);
            if (!silent()) {
                if (direction == ShadingDirection::Read) {
                    std::int32_t value = 0;
                    if (command.QueryValue(CommandId::SDD, value, kValueMs))
                        entry = value;
                } else {
                    command.SetValue(CommandId::SDD, entry, kValueMs);
                }
            }
            if (silent())
                return n;
            if (step)
                step(n, total);
        }
    }
    return 0;
}

bool FinishShadingWrite(Command &command)
{
    return command.SetValue(CommandId::SDDU, 0, kFinishMs);
}

bool StoreShadingTables(Command &command)
{
    return command.SetValue(CommandId::SDDA, 0, kFinishMs);
}
