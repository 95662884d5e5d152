#include "core/protocol/CameraModel.h"

#include <algorithm>
#include <array>

namespace {

struct IdRange {
    int first;
    int last;
};

// Commands that each supported model lacks, by command id.
constexpr std::array<IdRange, 9> kLackedBySecondModel = {{
    {17, 17}, {19, 19}, {21, 23}, {36, 36}, {52, 54}, {121, 121}, {142, 143}, {404, 421}, {428, 434},
}};
constexpr std::array<IdRange, 6> kLackedByFirstModel = {{
    {28, 28}, {39, 39}, {51, 51}, {134, 135}, {323, 327}, {395, 403},
}};

template <std::size_t N>
bool contains(const std::array<IdRange, N> &ranges, int commandId)
{
    return std::any_of(ranges.begin(), ranges.end(),
                       [commandId](const IdRange &r) { return commandId >= r.first && commandId <= r.last; });
}

constexpr char kFirstModelName[] = "QN-5200R-BDX";
constexpr char kSecondModelName[] = "QN-5200RL-BDXP";

} // namespace

QStringList CameraModel::SupportedNames()
{
    return {QLatin1String(kFirstModelName), QLatin1String(kSecondModelName)};
}

void CameraModel::Assign(const QString &reportedName)
{
    if (reportedName == QLatin1String(kSecondModelName))
        code_ = kSecondModel;
    else if (reportedName == QLatin1String(kFirstModelName))
        code_ = kFirstModel;
    else
        code_ = kUnknown;
    name_ = reportedName;
}

bool CameraModel::IsSupportedCommand(int commandId) const
{
    return IsSupportedCommand(code_, commandId);
}

bool CameraModel::IsSupportedCommand(std::int32_t modelCode, int commandId)
{
    if (modelCode == kSecondModel)
        return !contains(kLackedBySecondModel, commandId);
    if (modelCode == kFirstModel)
        return !contains(kLackedByFirstModel, commandId);
    return true;
}
