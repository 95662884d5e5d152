#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kBootAreas[] = {"Default Area", "Update Area"};
constexpr const char *kCameraModels[] = {"QN-5200RL-BDXP", "QN-5200R-BDX"};

// Most factory groups are one number per colour, Green, Red, Blue, with consecutive label ids.
constexpr std::array<FieldSpec, 3> GreenRedBlue(int green, int red, int blue, int firstLabelId)
{
    return {
        Number(green, "Green").LabelId(firstLabelId),
        Number(red, "Red").LabelId(firstLabelId + 1),
        Number(blue, "Blue").LabelId(firstLabelId + 2),
    };
}

constexpr auto kGain = GreenRedBlue(1250, 1255, 1257, 1327);
constexpr auto kGainTypeA = GreenRedBlue(1266, 1268, 1270, 1301);
constexpr auto kGainTypeB = GreenRedBlue(1272, 1274, 1276, 1305);
constexpr auto kGainAdjust = GreenRedBlue(1598, 1600, 1602, 1617);
constexpr auto kGainAdjustA = GreenRedBlue(1604, 1606, 1608, 1621);
constexpr auto kGainAdjustB = GreenRedBlue(1610, 1612, 1614, 1625);
constexpr auto kBlack = GreenRedBlue(1238, 1240, 1242, 1331);
constexpr auto kBlackTypeA = GreenRedBlue(1278, 1280, 1282, 1309);
constexpr auto kBlackTypeB = GreenRedBlue(1284, 1286, 1288, 1313);
constexpr auto kAberrationAdjust = GreenRedBlue(1680, 1678, 1682, 1684);

constexpr FieldSpec kPresetGain[] = {
    Number(1409, "5000K").Named("5000K Red"),
    Number(1411, nullptr).Named("5000K Blue").Joined(),
    Number(1413, "6500K").Named("6500K Red"),
    Number(1415, nullptr).Named("6500K Blue").Joined(),
    Number(1417, "7500K").Named("7500K Red"),
    Number(1419, nullptr).Named("7500K Blue").Joined(),
};

constexpr FieldSpec kCableEmphasis[] = {
    Number(1633, "Normal").LabelId(1630),
    Number(1635, "Medium").LabelId(1631),
    Number(1637, "Strong").LabelId(1632),
};

constexpr FieldSpec kOthers[] = {
    Number(1674, "NR Threshold").LabelId(1677),
};

constexpr FieldSpec kPixelGain[] = {Button(1197, "Recalibrate Pixel Gain")};
constexpr FieldSpec kPixelBlack[] = {Button(1198, "Recalibrate Pixel Black")};
constexpr FieldSpec kBootArea[] = {List(1128, nullptr, kBootAreas)};

constexpr FieldSpec kXmlVersion[] = {
    Edit(1178, nullptr).Named("XML Version major"),
    Caption(".").Joined(),
    Edit(1179, nullptr).Named("XML Version minor").Joined(),
    Caption(".").Joined(),
    Edit(1180, nullptr).Named("XML Version revision").Joined(),
    Button(1181, "Wirte"),
    Button(1182, "Read").Joined(),
};

constexpr FieldSpec kCameraModel[] = {
    List(1142, nullptr, kCameraModels),
    Button(1014, "Set").Joined(),
};

constexpr FieldSpec kLooseButtons[] = {
    Button(1012, "Camera Reset"),
    Button(1010, "Terminal"),
    Button(1021, "Store All"),
};

constexpr GroupSpec kGroups[] = {
    {"Factory Gain", 1326, 0, kGain},
    {"Factory Gain Type A", 1300, 0, kGainTypeA},
    {"Factory Gain Type B", 1304, 0, kGainTypeB},
    {"Factory Gain Adjust", 1616, 1, kGainAdjust},
    {"Factory Gain Adjust A", 1620, 1, kGainAdjustA},
    {"Factory Gain Adjust B", 1624, 1, kGainAdjustB},
    {"Factory Black", 1330, 2, kBlack},
    {"Factory Black Type A", 1308, 2, kBlackTypeA},
    {"Factory Black Type B", 1312, 2, kBlackTypeB},
    {"Preset Gain", 0, 3, kPresetGain},
    {"Cable Emphasis", 1629, 3, kCableEmphasis},
    {"Chromatic Aberration Adjust", 1687, 3, kAberrationAdjust},
    {"Others", 1676, 3, kOthers},
    {"Pixel Gain Correction", 0, 4, kPixelGain},
    {"Pixel Black Correction", 0, 4, kPixelBlack},
    {"Boot Area Set", 0, 4, kBootArea},
    {"XML Version", 0, 4, kXmlVersion},
    {"Camera Model", 0, 4, kCameraModel},
    {nullptr, 0, 4, kLooseButtons},
};

} // namespace

extern constexpr PageSpec kPageFactoryA = {117, "Factory A", true, kGroups};
