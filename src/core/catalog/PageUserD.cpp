#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kActivations[] = {"Off", "LevelHigh", "LevelLow", "RisingEdge", "FallingEdge"};
constexpr const char *kSyncModes[] = {"Async Mode", "Sync Mode"};
constexpr const char *kOptInFilters[] = {"Off", "0.1us", "1us", "5us", "10us", "50us", "100is"};

// The four generators are alike; generator n's ids are generator 0's plus 12 n.
constexpr int kGeneratorIdStride = 12;

constexpr std::array<FieldSpec, 8> PulseGenerator(int n)
{
    const int base = kGeneratorIdStride * n;
    return {
        Number(1354 + base, "Length"),
        Number(1356 + base, "Start"),
        Number(1358 + base, "End"),
        Number(1360 + base, "Repeat"),
        List(1362 + base, "Activation", kActivations),
        List(1363 + base, "Source", kPulseGeneratorSourceLists[static_cast<std::size_t>(n)]),
        List(1364 + base, "Inverter", kFalseTrue),
        List(1365 + base, "Sync", kSyncModes),
    };
}

constexpr auto kGenerator0 = PulseGenerator(0);
constexpr auto kGenerator1 = PulseGenerator(1);
constexpr auto kGenerator2 = PulseGenerator(2);
constexpr auto kGenerator3 = PulseGenerator(3);

constexpr FieldSpec kPrescaler[] = {
    Number(1402, nullptr),
};

constexpr FieldSpec kUserOutput[] = {
    List(1434, "0", kFalseTrue).Named("User Output 0"),
    List(1435, "1", kFalseTrue).Named("User Output 1"),
    List(1436, "2", kFalseTrue).Named("User Output 2"),
    List(1437, "3", kFalseTrue).Named("User Output 3"),
};

constexpr FieldSpec kOptInFilter[] = {
    List(1438, nullptr, kOptInFilters),
};

// Each output and NAND input with its inverter beside it.
constexpr FieldSpec kLineSource[] = {
    List(1101, "TTLOut1", kSignalList),
    List(1346, nullptr, kFalseTrue).Named("TTLOut1 Inverter").Joined(),
    List(1339, "TTLOut2", kSignalList),
    List(1347, nullptr, kFalseTrue).Named("TTLOut2 Inverter").Joined(),
    List(1340, "TTLOut3", kSignalList),
    List(1348, nullptr, kFalseTrue).Named("TTLOut3 Inverter").Joined(),
    List(1341, "TTLOut4", kSignalList),
    List(1349, nullptr, kFalseTrue).Named("TTLOut4 Inverter").Joined(),
    List(1342, "Nand0 In1", kNandSignalList),
    List(1350, nullptr, kFalseTrue).Named("Nand0 In1 Inverter").Joined(),
    List(1343, "Nand0 In2", kNandSignalList),
    List(1351, nullptr, kFalseTrue).Named("Nand0 In2 Inverter").Joined(),
    List(1344, "Nand1 In1", kNandSignalList),
    List(1352, nullptr, kFalseTrue).Named("Nand1 In1 Inverter").Joined(),
    List(1345, "Nand1 In2", kNandSignalList),
    List(1353, nullptr, kFalseTrue).Named("Nand1 In2 Inverter").Joined(),
};

constexpr GroupSpec kGroups[] = {
    {"Pulse Generator 0", 0, 0, kGenerator0},
    {"Pulse Generator 1", 0, 0, kGenerator1},
    {"Pulse Generator 2", 0, 1, kGenerator2},
    {"Pulse Generator 3", 0, 1, kGenerator3},
    {"PG Clock PreScaler", 0, 2, kPrescaler},
    {"User Output", 0, 2, kUserOutput},
    {"Opt In Filter Selector", 0, 2, kOptInFilter},
    {"Line Source", 0, 2, kLineSource},
};

} // namespace

extern constexpr PageSpec kPageUserD = {114, "User D", false, kGroups};
