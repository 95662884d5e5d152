#pragma once

#include <array>
#include <string>
#include <string_view>

// The names that the GenICam Standard Features Naming Convention gives to the camera's
// parameters, by mnemonic. The GenApi description, the register map and the front ends' name
// look-up all read this one table; a parameter that is not here keeps its mnemonic as its
// feature name. A selected feature (Gain, BlackLevel) names its selector and the selector's
// entry; the selector's entries follow the table's order.
struct SfncName {
    const char *mnemonic;
    const char *name;
    const char *selector = nullptr; // the selector feature, for a selected feature
    const char *entry = nullptr;    // the selector entry that selects this mnemonic
};

inline constexpr std::array<SfncName, 26> kSfncNames = {{
    {"TM", "TriggerMode"},
    {"TI", "TriggerSource"},
    {"TA", "TriggerActivation"},
    {"TR", "ExposureMode"},
    {"PE", "ExposureTime"},
    {"LR", "AcquisitionLineRate"},
    {"WTC", "Width"},
    {"OFC", "OffsetX"},
    {"HB", "BinningHorizontal"},
    {"VB", "BinningVertical"},
    {"BA", "PixelFormat"},
    {"TPN", "TestPattern"},
    {"AGC", "GainAuto"},
    {"GA", "Gain", "GainSelector", "All"},
    {"GAR", "Gain", "GainSelector", "Red"},
    {"GAB", "Gain", "GainSelector", "Blue"},
    {"GAG", "Gain", "GainSelector", "Green"},
    {"BL", "BlackLevel", "BlackLevelSelector", "All"},
    {"BLR", "BlackLevel", "BlackLevelSelector", "Red"},
    {"BLB", "BlackLevel", "BlackLevelSelector", "Blue"},
    {"AWB", "BalanceWhiteAuto"},
    {"MD", "DeviceModelName"},
    {"VN", "DeviceFirmwareVersion"},
    {"ID", "DeviceSerialNumber"},
    {"UD", "DeviceUserID"},
    {"TMP0", "DeviceTemperature"},
}};

// The entry of a mnemonic; nullptr when SFNC has no name for it.
constexpr const SfncName *FindSfncName(std::string_view mnemonic)
{
    for (const SfncName &entry : kSfncNames) {
        if (mnemonic == entry.mnemonic)
            return &entry;
    }
    return nullptr;
}

// The alias a front end accepts for the mnemonic: the SFNC name, with the selector entry in
// brackets for a selected feature ("Gain[Red]"); the first entry of a selector also answers
// to the bare name.
inline std::string SfncAlias(const SfncName &entry)
{
    std::string alias = entry.name;
    if (entry.entry)
        alias += std::string("[") + entry.entry + "]";
    return alias;
}
