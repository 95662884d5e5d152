#include "core/catalog/ListCodeTables.h"

#include <array>
#include <cstddef>

#include "core/catalog/EntryLists.h"

namespace {

constexpr int kTriggerSource[] = {1098};
constexpr std::int32_t kTriggerSourceCodes[] = {0, 1, 10, 11, 12, 13, 14, 15, 16, 17, 20, 21, 23, 24, 26, 27, 28, 29};

// The line sources and NAND inputs offer every signal.
constexpr int kSignalInputs[] = {1101, 1339, 1340, 1341, 1342, 1343, 1344, 1345};
constexpr std::int32_t kSignalCodes[] = {0,  1,  7,  9,  10, 11, 12, 13, 14, 15, 16,
                                         17, 20, 21, 23, 24, 26, 27, 28, 29, 30};

static_assert(std::size(kSignalCodes) == kSignalList.size());
static_assert(std::size(kTriggerSourceCodes) == 18);

// A pulse generator's source list leaves out the generator itself, so its codes skip the
// generator's own code (10 + n).
constexpr std::size_t kPulseGeneratorSources = kPulseGeneratorSourceLists[0].size();
constexpr std::array<std::int32_t, kPulseGeneratorSources> PulseGeneratorSourceCodes(int generator)
{
    std::array<std::int32_t, kPulseGeneratorSources> codes{};
    std::size_t out = 0;
    for (std::int32_t code : kSignalCodes) {
        if (code != 10 + generator)
            codes[out++] = code;
    }
    return codes;
}
constexpr int kGenerator0Source[] = {1363};
constexpr int kGenerator1Source[] = {1375};
constexpr int kGenerator2Source[] = {1387};
constexpr int kGenerator3Source[] = {1399};
constexpr auto kGenerator0Codes = PulseGeneratorSourceCodes(0);
constexpr auto kGenerator1Codes = PulseGeneratorSourceCodes(1);
constexpr auto kGenerator2Codes = PulseGeneratorSourceCodes(2);
constexpr auto kGenerator3Codes = PulseGeneratorSourceCodes(3);
static_assert(kGenerator0Codes[4] == 11 && kGenerator0Codes[19] == 30);
static_assert(kGenerator1Codes[4] == 10 && kGenerator1Codes[5] == 12);
static_assert(kGenerator3Codes[7] == 14 && kGenerator3Codes[6] == 12);

constexpr int kGeneratorActivations[] = {1362, 1374, 1386, 1398};
constexpr std::int32_t kActivationCodes[] = {0, 1, 2, 4, 8};

constexpr int kClConfiguration[] = {1223};
constexpr std::int32_t kClConfigurationCodes[] = {0, 1, 2, 4};

constexpr int kCounter0[] = {1439};
constexpr int kCounter1[] = {1445};
constexpr int kCounter2[] = {1451};
constexpr int kCounter3[] = {1457};
constexpr std::int32_t kCounter0Codes[] = {0, 1};
constexpr std::int32_t kCounter1Codes[] = {0, 3};
constexpr std::int32_t kCounter2Codes[] = {0, 2};
constexpr std::int32_t kCounter3Codes[] = {0, 4};

constexpr ListCodeTable kTables[] = {
    {kTriggerSource, kTriggerSourceCodes},
    {kSignalInputs, kSignalCodes},
    {kGenerator0Source, kGenerator0Codes},
    {kGenerator1Source, kGenerator1Codes},
    {kGenerator2Source, kGenerator2Codes},
    {kGenerator3Source, kGenerator3Codes},
    {kGeneratorActivations, kActivationCodes},
    {kClConfiguration, kClConfigurationCodes},
    {kCounter0, kCounter0Codes},
    {kCounter1, kCounter1Codes},
    {kCounter2, kCounter2Codes},
    {kCounter3, kCounter3Codes},
};

} // namespace

std::span<const ListCodeTable> ListCodeTables()
{
    return kTables;
}
