#include "ParameterLimits.h"

#include <algorithm>
#include <limits>

#include "core/protocol/CommandIds.h"
#include "core/protocol/ControlTable.h"

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// List rows of the control table carry no limits; the camera's codes stay below this.
constexpr std::int64_t kListCodeMax = 255;

// Command families that one control of the aberration group edits: the family takes that
// control's limits.
struct FamilyRow {
    int firstId;
    int lastId;
    int controlId;
};
constexpr std::array<FamilyRow, 5> kAberrationFamilies = {{
    {145, 148, 1699}, // CACSM0..3: sync mode
    {149, 164, 1702}, // CACR0..CACRB3: value
    {165, 168, 1701}, // CACMT0..3: method
    {169, 304, 1696}, // CACR0R0..CACRR3B8: ratio
    {305, 320, 1703}, // CACC0R..CACRC3B: coefficient
}};

// Ranges the camera knows better than the tool's controls: white balance has six modes, the
// LUT 256 entries, the shading table 1,024 per channel, the boot area is one of four areas.
struct RangeRow {
    int id;
    std::int64_t minimum;
    std::int64_t maximum;
    std::int64_t initial;
};
constexpr std::array<RangeRow, 17> kCameraRanges = {{
    {CommandId::AWB, 0, 5, 0},
    {CommandId::SDDS, 0, 2, 0},
    {CommandId::SDDI, 1, 1024, 1},
    {CommandId::SDD, 0, 65535, 0},
    {CommandId::LUTIG, 0, 255, 0},
    {CommandId::LUTIR, 0, 255, 0},
    {CommandId::LUTIB, 0, 255, 0},
    {CommandId::LUTG, 0, 4095, 0},
    {CommandId::LUTR, 0, 4095, 0},
    {CommandId::LUTB, 0, 4095, 0},
    {CommandId::BAS00, 0, 3, 0},
    // Calibration starts take only the value 0.
    {CommandId::RS, 0, 0, 0},
    {CommandId::SDR00, 0, 0, 0},
    {CommandId::PGR, 0, 0, 0},
    {CommandId::PBR, 0, 0, 0},
    {CommandId::PGR00, 0, 0, 0},
    {CommandId::PBR00, 0, 0, 0},
}};

// Commands whose value is not part of a flash area's parameter set.
constexpr std::array<int, 28> kNotStored = {{
    CommandId::CBDRT, CommandId::CRS00, CommandId::LRMIN, CommandId::PEMAX, CommandId::PEMIN, CommandId::AGCS,
    CommandId::AWRS,  CommandId::AHRS,  CommandId::RS,    CommandId::SDRS,  CommandId::SDDS,  CommandId::SDDI,
    CommandId::SDD,   CommandId::SDDU,  CommandId::SDDA,  CommandId::PGR,   CommandId::PGS,   CommandId::PBR,
    CommandId::PBS,   CommandId::TMP0,  CommandId::LD,    CommandId::SA,    CommandId::EA,    CommandId::SA00,
    CommandId::ULCK,  CommandId::BAS00, CommandId::CACS,  CommandId::XMLVR,
}};

const ControlEntry *controlRow(int controlId)
{
    for (const ControlEntry &row : kInitialControlRows)
        if (row.controlId == controlId)
            return &row;
    return nullptr;
}

ParameterSpec specOfRow(const ControlEntry &row)
{
    std::int64_t minimum = row.minimum;
    std::int64_t maximum = row.maximum;
    if (row.kind == ControlKind::List && minimum == 0 && maximum == 0)
        maximum = kListCodeMax;
    return {minimum, maximum, std::clamp<std::int64_t>(row.value, minimum, maximum), true};
}

ParameterSpecs build()
{
    ParameterSpecs specs;
    specs.fill({kInt32Min, kInt32Max, 0, true});

    for (const ControlEntry &row : kInitialControlRows) {
        if (row.kind == ControlKind::End || row.kind == ControlKind::Action || row.commandId == CommandId::Empty)
            continue;
        specs[row.commandId] = specOfRow(row);
    }
    for (const FamilyRow &family : kAberrationFamilies) {
        const ControlEntry *row = controlRow(family.controlId);
        for (int id = family.firstId; id <= family.lastId; ++id)
            specs[id] = specOfRow(*row);
    }
    for (const RangeRow &range : kCameraRanges)
        specs[range.id] = {range.minimum, range.maximum, range.initial, true};
    for (int id : kNotStored)
        specs[id].stored = false;
    for (int id = 0; id < kCommandCount; ++id)
        if (kCommandRows[id].valueType == ValueType::Text || kCommandRows[id].mnemonic[0] == '\0')
            specs[id].stored = false;
    // Counter resets, values and states (CRn, CVn, CSn) are live, not settings.
    for (int n = 0; n < 4; ++n)
        for (int member = 2; member <= 4; ++member)
            specs[CommandId::CE0 + 5 * n + member].stored = false;
    return specs;
}

} // namespace

const ParameterSpecs &CameraParameterSpecs()
{
    static const ParameterSpecs specs = build();
    return specs;
}

void ApplyShippedValues(ParameterSet &values)
{
    constexpr std::int64_t kShippedLinePeriod = 10000; // units of 10 ns
    constexpr std::int64_t kShippedExposure = 5000;
    values[CommandId::LR] = kShippedLinePeriod;
    values[CommandId::PE] = kShippedExposure;
}
