#pragma once

#include <cstdint>

// The gain-auto reference is kept in three forms: a percentage (the camera's "AGCF") and the
// 8-bit and 10-bit levels it stands for. Integer arithmetic, truncating as the camera does.

struct GainAutoLevels {
    std::int32_t level10 = 512;
    std::int32_t level8 = 128;
};

struct GainAutoReference {
    std::int32_t percent;
    GainAutoLevels levels;
};

// Rounds the 8-bit level up, so 50 % is 128 and not 127.
GainAutoLevels LevelsFromPercentage(std::int32_t percent);
// The 10-bit level is kept as given; the other two follow from it.
GainAutoReference ReferenceFrom10Bit(std::int32_t level10);
GainAutoReference ReferenceFrom8Bit(std::int32_t level8);
