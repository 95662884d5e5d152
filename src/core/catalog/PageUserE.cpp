#include "core/catalog/PageTables.h"

#include "core/catalog/EntryLists.h"
#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

constexpr const char *kCounter0Sources[] = {"Off", "Line Trigger"};
constexpr const char *kCounter1Sources[] = {"Off", "Line Start"};
constexpr const char *kCounter2Sources[] = {"Off", "Exposure Start"};
constexpr const char *kCounter3Sources[] = {"Off", "Line Transfer End"};
constexpr const char *kCounterActivations[] = {"Rising Edge"};
constexpr const char *kSensors[] = {"Main Board"};
constexpr const char *kSensorTypes[] = {"TypeA", "TypeB"};
constexpr const char *kEmphases[] = {"Normal", "Medium", "Strong"};
constexpr const char *kColours[] = {"Red", "Green", "Blue"};

// The four counters are alike; counter n's ids are counter 0's plus 6 n.
constexpr int kCounterIdStride = 6;

constexpr std::array<FieldSpec, 6> Counter(int n, EntryList sources)
{
    const int base = kCounterIdStride * n;
    return {
        List(1439 + base, "Source", sources),
        List(1440 + base, "Activation", kCounterActivations),
        Text(1443 + base, "Value", ""),
        Text(1444 + base, "Status", ""),
        Button(1441 + base, "Reset"),
        Button(1442 + base, "Read").Joined(),
    };
}

constexpr auto kCounter0 = Counter(0, kCounter0Sources);
constexpr auto kCounter1 = Counter(1, kCounter1Sources);
constexpr auto kCounter2 = Counter(2, kCounter2Sources);
constexpr auto kCounter3 = Counter(3, kCounter3Sources);

constexpr FieldSpec kTemperature[] = {
    List(1194, nullptr, kSensors).Named("Temperature sensor"),
    Text(1049, nullptr, "").Named("Temperature").Joined(),
    Button(1125, "Get").Joined(),
};

constexpr FieldSpec kSensorSelect[] = {List(1195, nullptr, kSensorTypes)};
constexpr FieldSpec kCableEmphasis[] = {List(1290, nullptr, kEmphases)};
constexpr FieldSpec kSwap[] = {List(1537, nullptr, kOffOn)};
constexpr FieldSpec kAdditionalInformation[] = {List(1538, nullptr, kOffOn)};
constexpr FieldSpec kExposureActiveSource[] = {List(1576, nullptr, kColours)};

constexpr GroupSpec kGroups[] = {
    {"Counter 0", 0, 0, kCounter0},
    {"Counter 1", 0, 0, kCounter1},
    {"Counter 2", 0, 1, kCounter2},
    {"Counter 3", 0, 1, kCounter3},
    {"Temperature", 0, 2, kTemperature},
    {"Sensor Select", 1317, 2, kSensorSelect},
    {"Cable Emphasis", 1318, 2, kCableEmphasis},
    {"Swap B and R", 0, 2, kSwap},
    {"Additional Infomation", 0, 2, kAdditionalInformation},
    {"Exposure Active Source", 1577, 2, kExposureActiveSource},
};

} // namespace

extern constexpr PageSpec kPageUserE = {115, "User E", false, kGroups};
