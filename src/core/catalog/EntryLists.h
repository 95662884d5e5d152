#pragma once

#include <array>
#include <cstddef>

// Entry lists that several page lists share. Lists used by one control only live in the
// page's own table.

inline constexpr const char *kOffOn[] = {"Off", "On"};
inline constexpr const char *kFalseTrue[] = {"False", "True"};

// Every signal that the line sources and NAND inputs can take, in the camera's order.
inline constexpr std::array<const char *, 21> kSignalList = {
    "Low", "High", "ExposureActive", "LVAL",
    "PulseGenerator0", "PulseGenerator1", "PulseGenerator2", "PulseGenerator3",
    "UserOutput0", "UserOutput1", "UserOutput2", "UserOutput3",
    "Line4:TTL In1", "Line5:Opt In1", "Line7:CC1", "Line10:TTL In2",
    "NAND0 Out", "NAND1 Out", "Line13:TTL In3", "EncoderTrigger", "EncoderDirection",
};
inline constexpr std::size_t kFirstPulseGeneratorEntry = 4;
inline constexpr std::size_t kEncoderTriggerEntry = 19;

// The NAND inputs spell the encoder trigger differently; the camera firmware's own text.
inline constexpr std::array<const char *, 21> kNandSignalList = [] {
    std::array<const char *, 21> list = kSignalList;
    list[kEncoderTriggerEntry] = "EncoderTriger";
    return list;
}();

// A pulse generator cannot take its own output as source: the signal list without it.
constexpr std::array<const char *, 20> PulseGeneratorSourceList(std::size_t generator)
{
    std::array<const char *, 20> list{};
    std::size_t out = 0;
    for (std::size_t i = 0; i < kSignalList.size(); ++i) {
        if (i != kFirstPulseGeneratorEntry + generator)
            list[out++] = kSignalList[i];
    }
    return list;
}

inline constexpr std::array<std::array<const char *, 20>, 4> kPulseGeneratorSourceLists = {
    PulseGeneratorSourceList(0), PulseGeneratorSourceList(1), PulseGeneratorSourceList(2),
    PulseGeneratorSourceList(3)};
