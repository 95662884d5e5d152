#include "gui/main/AberrationCommands.h"

#include "core/protocol/CommandIds.h"

namespace Aberration {

namespace {

constexpr int kSyncModeBase = CommandId::CACSM0;
constexpr int kMethodBase = CommandId::CACMT0;
constexpr int kValueBase = CommandId::CACR0;     // blue from "CACB0"
constexpr int kRightValueBase = CommandId::CACRR0; // blue from "CACRB0"
constexpr int kCoefficientBase = CommandId::CACC0R;
constexpr int kRightCoefficientBase = CommandId::CACRC0R;
constexpr int kRatioBase = CommandId::CACR0R0; // 9 indexes per lens, 4 lenses per colour
// 8 indexes per lens, from index 1: index 0 of the right side would be one row earlier.
constexpr int kRightRatioBase = CommandId::CACRR0R1 - 1;

bool validLens(std::int32_t lens) { return lens >= 0 && lens < kLensCount; }
bool validColour(std::int32_t colour) { return colour >= 0 && colour < kColourCount; }
bool validSide(std::int32_t side) { return side >= Both && side <= Right; }

} // namespace

int SyncModeCommand(std::int32_t lens)
{
    return validLens(lens) ? kSyncModeBase + lens : -1;
}

int MethodCommand(std::int32_t lens)
{
    return validLens(lens) ? kMethodBase + lens : -1;
}

int ValueCommand(std::int32_t side, std::int32_t colour, std::int32_t lens)
{
    if (!validSide(side) || !validColour(colour) || !validLens(lens))
        return -1;
    return (side == Right ? kRightValueBase : kValueBase) + kLensCount * colour + lens;
}

int CoefficientCommand(std::int32_t side, std::int32_t colour, std::int32_t lens)
{
    if (!validSide(side) || !validColour(colour) || !validLens(lens))
        return -1;
    return (side == Right ? kRightCoefficientBase : kCoefficientBase) + kLensCount * colour + lens;
}

int RatioCommand(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t index)
{
    if (!validSide(side) || !validColour(colour) || !validLens(lens) || index < 0 || index > kLastIndex)
        return -1;
    if (side == Right) {
        if (index == 0)
            return -1;
        return kRightRatioBase + kLastIndex * kLensCount * colour + kLastIndex * lens + index;
    }
    constexpr int perLens = kLastIndex + 1;
    return kRatioBase + perLens * kLensCount * colour + perLens * lens + index;
}

SideAndIndex AdjustForSide(std::int32_t syncMode, std::int32_t chosenSide, std::int32_t index)
{
    SideAndIndex shown{chosenSide, index};
    if (chosenSide != Both && syncMode == Sync)
        shown.side = Both;
    if (chosenSide == Right && index == 0)
        shown.index = 1;
    if (chosenSide == Both && syncMode == Async)
        shown.side = Left;
    return shown;
}

std::int32_t AdjustIndex(std::int32_t side, std::int32_t chosenIndex)
{
    return side == Right && chosenIndex == 0 ? 1 : chosenIndex;
}

std::int32_t SideForSyncMode(std::int32_t syncMode)
{
    return syncMode != Sync ? Left : Both;
}

} // namespace Aberration
