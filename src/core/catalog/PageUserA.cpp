#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kTriggerSources[] = {
    "Low",         "High",           "PulseGenerator0", "PulseGenerator1", "PulseGenerator2", "PulseGenerator3",
    "UserOutput0", "UserOutput1",    "UserOutput2",     "UserOutput3",     "Line4 TTL In1",   "Line5:Opt In1",
    "Line7:CC1",   "Line10:TTL In2", "NAND0 Out",       "NAND1 Out",       "Line13:TTL In3",  "EncoderTrigger",
};
static_assert(std::size(kTriggerSources) == 18);
constexpr const char *kTriggerActivations[] = {"RisingEdge", "FallingEdge", "LevelHigh", "LevelLow"};
constexpr const char *kExposureModes[] = {"OFF", "Timed", "TriggerWidth"};
constexpr const char *kExposureTimeModes[] = {"Common", "Indivisual"};
constexpr const char *kPixelFormats[] = {"RGB8", "RGB10"};
constexpr const char *kClConfigurations[] = {"Base", "Medium", "Full", "Eighty"};
constexpr const char *kClClocks[] = {"85MHz", "63.75MHz", "42.5MHz", "31.875MHz"};
constexpr const char *kTestPatterns[] = {"Off", "White", "Grey Pattern 1", "Grey Pattern 2", "Color Bar"};
constexpr const char *kAnalogGains[] = {"0dB", "6dB", "12dB"};
constexpr const char *kGainAuto[] = {"Off", "Once"};

constexpr FieldSpec kTrigger[] = {
    List(1096, "Trigger Mode", kOffOn),
    List(1098, "Trigger Source", kTriggerSources),
    List(1099, "Trigger Activation", kTriggerActivations),
    List(1186, "Auto Reset Mode", kOffOn),
};

constexpr FieldSpec kLineRate[] = {
    Number(1187, "Line Rate", 1188),
    Text(1215, nullptr, "XXX.XXms").Named("Line Rate period"),
    Text(1216, nullptr, "XXX.XXHz").Named("Line Rate frequency").Joined(),
    FixedText("Line Rate max limit", "1515152"),
    Text(1218, "Line Rate min limit", "-"),
    Button(1219, "Read").Joined(),
};

constexpr FieldSpec kExposure[] = {
    List(1092, "Exposure Mode", kExposureModes),
    List(1224, "Exposure Time Mode", kExposureTimeModes),
    Number(1093, "Exposure Time", 1094),
    Text(1220, "Exposure max limit", "-"),
    Text(1221, "Exposure min limit", "-"),
    Button(1222, "Read").Joined(),
    Number(1296, "Exposure Time G", 1297).LabelId(1324),
    Number(1294, "Exposure Time R", 1295).LabelId(1323),
    Number(1298, "Exposure Time B", 1299).LabelId(1325),
    List(1233, "RB Exp Interlocked", kOffOn).LabelId(1316),
};

constexpr FieldSpec kImageFormat[] = {
    Number(1225, "Width", 1226),
    Number(1227, "Offset X", 1228),
    Number(1229, "Binning H", 1230),
    Number(1231, "Binning V", 1232),
    List(1100, "Pixel Format", kPixelFormats),
    List(1223, "CL Configuration", kClConfigurations),
    List(1174, "CL Clock", kClClocks),
    List(1119, "Test Pattern", kTestPatterns),
};

constexpr FieldSpec kGainAndBlack[] = {
    List(1217, "Analog Base Gain All", kAnalogGains).LabelId(1319),
    List(1291, "Analog Base Gain G", kAnalogGains).LabelId(1320),
    List(1292, "Analog Base Gain R", kAnalogGains).LabelId(1321),
    List(1293, "Analog Base Gain B", kAnalogGains).LabelId(1322),
    List(1259, "Indivisual Gain Mode", kOffOn),
    List(1173, "Gain Auto", kGainAuto),
    Caption("GainAutoReference"),
    Number(1665, "30～95%", 1666).Named("GainAutoReference 30～95%"),
    Number(1671, "8 bit   /   10 bit", 1672).Named("GainAutoReference 8 bit"),
    Number(1669, nullptr, 1670).Named("GainAutoReference 10 bit").Joined(),
    Number(1041, "Gain All", 1045),
    Number(1244, "Gain Green", 1245),
    Number(1246, "Gain Red", 1247),
    Number(1248, "Gain Blue", 1249),
    Number(1139, "Black Level All", 1140),
    Number(1234, "Black Level Red", 1235),
    Number(1236, "Black Level Blue", 1237),
};

constexpr GroupSpec kGroups[] = {
    {"Trigger", 0, 0, kTrigger},
    {"Line Rate", 0, 0, kLineRate},
    {"Exposure", 0, 1, kExposure},
    {"Image format", 0, 1, kImageFormat},
    {"Gain and Black", 0, 2, kGainAndBlack},
};

} // namespace

extern constexpr PageSpec kPageUserA = {111, "User A", false, kGroups};
