#include "gui/main/ModelLayout.h"

#include <span>

#include <QComboBox>

#include "core/protocol/CameraModel.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ListCodes.h"
#include "gui/main/SharedControlIds.h"

namespace {

constexpr int kClClock = 1174;

// Controls that exist on one model only, and which model shows them.
struct ModelGroup {
    std::span<const int> ids;
    bool shownForModel0;
    bool shownForModel1;
};

constexpr int kColourExposure[] = {1323,
                                   1324,
                                   1325,
                                   kExposureTimeRed,
                                   kExposureTimeGreen,
                                   kExposureTimeBlue,
                                   kExposureTimeRedSpin,
                                   kExposureTimeGreenSpin,
                                   kExposureTimeBlueSpin,
                                   1316,
                                   1233};
constexpr int kAnalogGainAll[] = {1319, 1217};
constexpr int kAnalogGainColours[] = {1320, 1321, 1322, 1291, 1292, 1293};
constexpr int kLineRateOption[] = {1639, kCorrectionMode};
constexpr int kSubPixelShift[] = {1688, 1689, 1692, 1690, 1693, 1691, 1694};
constexpr int kObjectDirection[] = {1544, 1546, 1547, 1542, 1543};
constexpr int kSpatialCompensation[] = {1592, 1593, 1594, 1595, 1596, 1597, 1565, 1566,
                                        1568, 1570, 1578, 1567, 1569, 1571, 1579};
constexpr int kSensorAndEmphasis[] = {1317, kSensorSelect, 1318, 1290};
constexpr int kExposureActiveSource[] = {1577, 1576};
constexpr int kFactoryModel0[] = {
    1326, 1327, 1328, 1329, 1250, 1255, 1257, 1251, 1256, 1258, // Factory Gain
    1616, 1617, 1618, 1619, 1598, 1600, 1602, 1599, 1601, 1603, // Factory Gain Adjust
    1330, 1331, 1332, 1333, 1238, 1240, 1242, 1239, 1241, 1243, // Factory Black
};
constexpr int kFactoryModel1[] = {
    1300, 1301, 1302, 1303, 1266, 1268, 1270, 1267, 1269, 1271, // Factory Gain Type A
    1620, 1621, 1622, 1623, 1604, 1606, 1608, 1605, 1607, 1609, // Factory Gain Adjust A
    1304, 1305, 1306, 1307, 1272, 1274, 1276, 1273, 1275, 1277, // Factory Gain Type B
    1624, 1625, 1626, 1627, 1610, 1612, 1614, 1611, 1613, 1615, // Factory Gain Adjust B
    1308, 1309, 1310, 1311, 1278, 1280, 1282, 1279, 1281, 1283, // Factory Black Type A
    1312, 1313, 1314, 1315, 1284, 1286, 1288, 1285, 1287, 1289, // Factory Black Type B
    1629, 1630, 1631, 1632, 1633, 1635, 1637, 1634, 1636, 1638, // Cable Emphasis levels
    1687, 1684, 1685, 1686, 1678, 1680, 1682, 1679, 1681, 1683, // Chromatic Aberration Adjust
};
constexpr int kFactoryBoth[] = {1676, 1677, 1674, 1675};

constexpr ModelGroup kModelGroups[] = {
    {kColourExposure, false, true},  {kAnalogGainAll, true, false},  {kAnalogGainColours, false, true},
    {kLineRateOption, true, false},  {kSubPixelShift, false, true},  {kObjectDirection, true, false},
    {kSpatialCompensation, true, false}, {kSensorAndEmphasis, false, true}, {kExposureActiveSource, true, false},
    {kFactoryModel0, true, false},   {kFactoryModel1, false, true},  {kFactoryBoth, true, true},
};

// White balance modes: the second model lacks "Exposure Once" (code 4).
constexpr std::int32_t kWhiteBalanceCodesModel0[] = {0, 2, 5, 6, 7};
constexpr std::int32_t kWhiteBalanceCodesModel1[] = {0, 2, 4, 5, 6, 7};

const QString kIndividual = QStringLiteral("Indivisual");
const QString kSlowClock = QStringLiteral("31.875MHz");
const QString kExposureOnce = QStringLiteral("Exposure Once");

QComboBox *list(const ControlFinder &finder, int id)
{
    return qobject_cast<QComboBox *>(finder.FindControl(id));
}

void removeEntry(QComboBox *combo, const QString &prefix)
{
    if (!combo)
        return;
    const int position = FindEntryByPrefix(*combo, prefix);
    if (position >= 0)
        combo->removeItem(position);
}

void insertEntry(QComboBox *combo, int position, const QString &entry)
{
    if (combo && FindEntryByPrefix(*combo, entry) < 0)
        combo->insertItem(position, entry);
}

} // namespace

int FindEntryByPrefix(const QComboBox &list, const QString &prefix)
{
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void ApplyModelLayout(const ControlFinder &finder, std::int32_t modelCode)
{
    const bool model0 = modelCode == CameraModel::kSecondModel;
    const bool model1 = modelCode == CameraModel::kFirstModel;
    if (QComboBox *models = list(finder, kModelList))
        models->setCurrentIndex(model0 || model1 ? modelCode : -1);
    if (!model0 && !model1)
        return;

    for (const ModelGroup &group : kModelGroups) {
        const bool shown = model0 ? group.shownForModel0 : group.shownForModel1;
        for (int id : group.ids) {
            if (QWidget *control = finder.FindControl(id))
                control->setVisible(shown);
        }
    }

    QComboBox *whiteBalance = list(finder, kWhiteBalanceMode);
    if (model0) {
        removeEntry(list(finder, kExposureTimeMode), kIndividual);
        insertEntry(list(finder, kClClock), 3, kSlowClock);
        removeEntry(whiteBalance, kExposureOnce);
        if (whiteBalance)
            AttachListCodes(*whiteBalance, kWhiteBalanceCodesModel0);
    } else {
        insertEntry(list(finder, kExposureTimeMode), 1, kIndividual);
        removeEntry(list(finder, kClClock), kSlowClock);
        insertEntry(whiteBalance, 2, kExposureOnce);
        if (whiteBalance)
            AttachListCodes(*whiteBalance, kWhiteBalanceCodesModel1);
    }
}
