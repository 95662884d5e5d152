#include "gui/main/GainAutoRules.h"

namespace {
constexpr std::int32_t kFullScale8 = 255;
constexpr std::int32_t k10BitPer8Bit = 4;

std::int32_t percentOf8Bit(std::int32_t level8)
{
    return level8 * 100 / kFullScale8;
}
} // namespace

GainAutoLevels LevelsFromPercentage(std::int32_t percent)
{
    const std::int32_t level8 = (percent * kFullScale8 + 99) / 100;
    return {level8 * k10BitPer8Bit, level8};
}

GainAutoReference ReferenceFrom10Bit(std::int32_t level10)
{
    const std::int32_t level8 = level10 / k10BitPer8Bit;
    return {percentOf8Bit(level8), {level10, level8}};
}

GainAutoReference ReferenceFrom8Bit(std::int32_t level8)
{
    return {percentOf8Bit(level8), {level8 * k10BitPer8Bit, level8}};
}
