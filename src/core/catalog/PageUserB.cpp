#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kShadingModes[] = {"Off", "User1", "User2", "User3"};
constexpr const char *kShadingMethods[] = {"Flat Shading", "Color Shading"};
constexpr const char *kPixelCorrectionModes[] = {"Off", "Default", "User1", "User2", "User3"};
constexpr const char *kLutSelections[] = {"Off", "Gamma", "LUT"};
constexpr const char *kWhiteBalanceModes[] = {"Off",          "Once",         "Exposure Once",
                                              "Preset 5000K", "Preset 6500K", "Preset 7500K"};
constexpr const char *kLineRateOptions[] = {"Mode1", "Mode2"};
constexpr const char *kNoiseReductions[] = {"Off", "Level1", "Level2", "Level3", "Level4"};

constexpr FieldSpec kShadingCorrection[] = {
    List(1120, "Correction Mode", kShadingModes),
    List(1334, "Method", kShadingMethods),
    Button(1121, "Recalibrate Shading"),
};

constexpr FieldSpec kPixelGainCorrection[] = {
    List(1192, "Correction Mode", kPixelCorrectionModes),
    Button(1193, "Recalibrate Pixel Gain"),
};

constexpr FieldSpec kPixelBlackCorrection[] = {
    List(1184, "Correction Mode", kPixelCorrectionModes),
    Button(1183, "Recalibrate Pixel Black"),
};

constexpr FieldSpec kCorrectionData[] = {
    Button(1336, "Read ( camera -> file )"),
    Button(1337, "Write ( file -> camera )"),
    Button(1338, "Store in flash memory"),
};

// Per colour: entry index, entry value, and the buttons that read and write that entry.
constexpr FieldSpec kLut[] = {
    List(1116, "LUT selector", kLutSelections),
    Button(1132, "Open LUT Table"),
    Number(1117, "Gamma Selector", 1118).LabelId(1141),
    Number(1160, "G", 1161).Named("G index"),
    Number(1162, nullptr, 1163).Named("G value").Joined(),
    Button(1164, "Read").Joined(),
    Button(1165, "Write").Joined(),
    Number(1421, "R", 1422).Named("R index"),
    Number(1423, nullptr, 1424).Named("R value").Joined(),
    Button(1430, "Read").Joined(),
    Button(1431, "Write").Joined(),
    Number(1425, "B", 1426).Named("B index"),
    Number(1427, nullptr, 1428).Named("B value").Joined(),
    Button(1432, "Read").Joined(),
    Button(1433, "Write").Joined(),
};

constexpr FieldSpec kWhiteBalance[] = {
    List(1408, "Mode", kWhiteBalanceModes),
    Number(1404, "Width", 1405),
    Number(1406, "Offset X", 1407),
};

constexpr FieldSpec kAutoSetting[] = {
    Button(1667, "Auto Setting"),
};

constexpr FieldSpec kLineRateOption[] = {
    List(1628, "Correction Mode", kLineRateOptions),
};

// Per colour: the filter switch and its three coefficients.
constexpr FieldSpec kFirFilter[] = {
    List(1641, "R", kOffOn),
    Number(1644, nullptr).Named("R coefficient 1").Joined(),
    Number(1650, nullptr).Named("R coefficient 2").Joined(),
    Number(1656, nullptr).Named("R coefficient 3").Joined(),
    List(1642, "G", kOffOn),
    Number(1646, nullptr).Named("G coefficient 1").Joined(),
    Number(1652, nullptr).Named("G coefficient 2").Joined(),
    Number(1658, nullptr).Named("G coefficient 3").Joined(),
    List(1643, "B", kOffOn),
    Number(1648, nullptr).Named("B coefficient 1").Joined(),
    Number(1654, nullptr).Named("B coefficient 2").Joined(),
    Number(1660, nullptr).Named("B coefficient 3").Joined(),
};

constexpr FieldSpec kMedianFilter[] = {
    List(1662, "R", kOffOn),
    List(1663, "G", kOffOn),
    List(1664, "B", kOffOn),
};

constexpr FieldSpec kOthers[] = {
    List(1673, "Noise Reduction", kNoiseReductions),
};

constexpr GroupSpec kGroups[] = {
    {"Shading Correction", 0, 0, kShadingCorrection},
    {"Pixel Gain Correction", 0, 0, kPixelGainCorrection},
    {"Pixel Black Correction", 0, 0, kPixelBlackCorrection},
    {"Correction Data", 0, 0, kCorrectionData},
    {"LUT", 0, 1, kLut},
    {"White Balance", 0, 1, kWhiteBalance},
    {"WhiteBalance/Shading/GainAuto", 0, 1, kAutoSetting},
    {"Acquisition Linerate Option", 1639, 1, kLineRateOption},
    {"FIR Filter", 0, 2, kFirFilter},
    {"MEDIAN Filter", 0, 2, kMedianFilter},
    {"Others", 0, 2, kOthers},
};

} // namespace

extern constexpr PageSpec kPageUserB = {112, "User B", false, kGroups};
