#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kTransformModes[] = {"RGB", "XYZ", "HSI"};
constexpr const char *kRgbModes[] = {"Off", "sRGB", "AdobeRGB", "UserCustom"};
constexpr const char *kDirections[] = {"Forward", "Reverse"};
constexpr const char *kDirectionSources[] = {"Low",           "High",           "Line5:Opt In1", "Line4:TTL In1",
                                             "Line10:TTL In2", "Line13:TTL In3", "EncoderDir"};
constexpr const char *kEncoderSources[] = {"Line5:Opt In1", "Line4:TTL In1", "Line10:TTL In2", "Line13:TTL In3"};
constexpr const char *kAveragingIntervals[] = {"none", "2pulse", "4pulse", "8pulse", "16pulse", "32pulse"};
constexpr const char *kLenses[] = {"Off", "Lens1", "Lens2", "Lens3"};
constexpr const char *kSyncModes[] = {"SyncMode", "AsyncMode"};
constexpr const char *kSides[] = {"Both", "Left", "Right"};
constexpr const char *kMethods[] = {"Simple", "Linear", "Custom"};
constexpr const char *kColours[] = {"Red", "Blue"};
constexpr const char *kCellIndexes[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
constexpr const char *kCompensationModes[] = {"Auto", "Manual"};

constexpr FieldSpec kColorTransformation[] = {
    List(1535, "Mode", kTransformModes),
    List(1536, "RGB Mode", kRgbModes),
};

constexpr FieldSpec kColorMatrix[] = {
    Number(1517, "Red").Named("Red coefficient 1"),
    Number(1519, nullptr).Named("Red coefficient 2").Joined(),
    Number(1521, nullptr).Named("Red coefficient 3").Joined(),
    Number(1523, "Green").Named("Green coefficient 1"),
    Number(1525, nullptr).Named("Green coefficient 2").Joined(),
    Number(1527, nullptr).Named("Green coefficient 3").Joined(),
    Number(1529, "Blue").Named("Blue coefficient 1"),
    Number(1531, nullptr).Named("Blue coefficient 2").Joined(),
    Number(1533, nullptr).Named("Blue coefficient 3").Joined(),
};

constexpr FieldSpec kMirroring[] = {
    List(1539, "Mode", kOffOn),
};

constexpr FieldSpec kObjectDirection[] = {
    List(1542, "Mode", kDirections).LabelId(1546),
    List(1543, "Source", kDirectionSources).LabelId(1547),
};

constexpr FieldSpec kEncoderControl[] = {
    List(1548, "Source A", kEncoderSources),
    List(1549, "Source B", kEncoderSources),
    Number(1551, "Divider"),
    Number(1580, "Filter"),
    Number(1582, "Strobe"),
    List(1640, "Averaging Interval", kAveragingIntervals),
};

// Everything below the mode stays disabled until a lens is chosen.
constexpr FieldSpec kAberration[] = {
    List(1560, "Mode", kLenses),
    List(1699, "SyncMode", kSyncModes).Disabled(),
    List(1704, "SideSelector", kSides).Disabled(),
    List(1701, "Method", kMethods).Disabled(),
    List(1700, "ColorSelector", kColours).Disabled(),
    List(1695, "Index", kCellIndexes).Disabled(),
    Number(1696, "Ratio", 1562).Disabled(),
    Number(1702, "Value", 1564).Disabled(),
    Number(1703, "Coeff", 1585).Disabled(),
    Button(1698, "Save").Disabled(),
};

constexpr FieldSpec kSpatialCompensation[] = {
    List(1565, "Mode", kCompensationModes).LabelId(1593),
    Number(1566, "Red", 1567).LabelId(1594),
    Number(1568, "Green", 1569).LabelId(1595),
    Number(1570, "Blue", 1571).LabelId(1596),
    Number(1578, "Distance", 1579).LabelId(1597),
};

constexpr FieldSpec kSubPixelShift[] = {
    Number(1690, "Red", 1691).LabelId(1689),
    Number(1693, "Blue", 1694).LabelId(1692),
};

// Present for the firmware's layout only: bound to no command, never shown.
constexpr FieldSpec kTiltedView[] = {
    List(1555, "Mode", kOffOn).Disabled().Hidden(),
    Number(1556, "Green").Disabled().Hidden(),
    Number(1558, "Red").Disabled().Hidden(),
};

constexpr GroupSpec kGroups[] = {
    {"Color Transformation", 0, 0, kColorTransformation},
    {"Color Matrix ( User Custom )", 0, 0, kColorMatrix},
    {"H Image Mirroring", 0, 0, kMirroring},
    {"Object Direction", 1544, 0, kObjectDirection},
    {"Encoder Control", 0, 1, kEncoderControl},
    {"Chromatic Aberration Correction", 0, 1, kAberration},
    {"Spartial Compensation", 1592, 2, kSpatialCompensation},
    {"Sub Pixel Shift", 1688, 2, kSubPixelShift},
    {"Tilted View Correction", 0, 2, kTiltedView, true},
};

} // namespace

extern constexpr PageSpec kPageUserC = {113, "User C", false, kGroups};
