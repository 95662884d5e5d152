#include "core/operations/FlashAreas.h"

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"

QString FlashAreaText(int area)
{
    if (!IsFlashArea(area))
        return QStringLiteral("Unkown");
    return QString::fromLatin1(kFlashAreaNames[static_cast<std::size_t>(area)]);
}

bool IsFlashArea(int area)
{
    return area >= kFactoryArea && area <= kLastUserArea;
}

bool StoreFlashArea(Command &command, int area, std::uint32_t timeoutMs)
{
    return area == kFactoryArea ? command.SetValue(CommandId::SA00, 0, timeoutMs)
                                : command.SetValue(CommandId::SA, area, timeoutMs);
}

bool LoadFlashArea(Command &command, int area, std::uint32_t timeoutMs)
{
    return command.SetValue(CommandId::LD, area, timeoutMs);
}
