#include "core/protocol/ControlTable.h"

#include <QString>

#include "core/common/Dialogs.h"
#include "core/protocol/CommandSender.h"

namespace {

constexpr std::uint32_t kSendTimeoutMs = kParameterSetTimeoutMs;

// Command families that one control edits; they map back to that control.
struct FamilyRange {
    int firstCommand;
    int lastCommand;
    int controlId;
};
constexpr FamilyRange kFamilyRanges[] = {
    {165, 168, 1701},
    {145, 148, 1699},
    {149, 164, 1702},
    {169, 304, 1696},
    {305, 320, 1703},
};

} // namespace

ControlTable::ControlTable(Dialogs &dialogs) : dialogs_(dialogs), rows_(kInitialControlRows) {}

const ControlEntry *ControlTable::find(int controlId) const
{
    for (int i = 0; i < kControlRowCount; ++i) {
        if (rows_[i].controlId == controlId)
            return &rows_[i];
    }
    return nullptr;
}

std::int32_t ControlTable::GetDataValue(int controlId) const
{
    if (const ControlEntry *row = find(controlId))
        return row->value;
    dialogs_.Message(QStringLiteral("Unexpected error occurred in GetDataValue()."));
    return -1;
}

std::int32_t ControlTable::GetSavedValue(int controlId) const
{
    if (const ControlEntry *row = find(controlId))
        return row->savedValue;
    dialogs_.Message(QStringLiteral("Unexpected error occurred in GetDataValue()."));
    return -1;
}

bool ControlTable::SetDataValue(int controlId, std::int32_t value)
{
    if (const ControlEntry *row = find(controlId)) {
        rows_[row - rows_.data()].value = value;
        return true;
    }
    dialogs_.Message(QStringLiteral("Unexpected error occurred in SetDataValue()."));
    return false;
}

int ControlTable::ToCmdId(int controlId) const
{
    if (const ControlEntry *row = find(controlId))
        return row->commandId;
    dialogs_.Message(QStringLiteral("Unexpected error occurred in ToCmdId()."));
    return -1;
}

int ControlTable::CtrlId2TblIndex(int controlId) const
{
    if (const ControlEntry *row = find(controlId))
        return static_cast<int>(row - rows_.data());
    dialogs_.Message(QStringLiteral("Unexpected error occurred in CtrlId2TblIndex()."));
    return -1;
}

int ControlTable::GetRangeMode(int controlId) const
{
    const int index = CtrlId2TblIndex(controlId);
    return index < 0 ? -1 : rows_[index].rangeMode;
}

bool ControlTable::GetLimits(int controlId, std::int32_t &minimum, std::int32_t &maximum) const
{
    const int index = CtrlId2TblIndex(controlId);
    if (index < 0)
        return false;
    minimum = rows_[index].minimum;
    maximum = rows_[index].maximum;
    return true;
}

int ControlTable::IsFiled(int controlId) const
{
    const ControlEntry *row = find(controlId);
    return row ? row->filed : 0;
}

bool ControlTable::IsParameterRow(int rowIndex) const
{
    return rows_[rowIndex].kind != ControlKind::Action;
}

int ControlTable::ToCtrlId(int commandId) const
{
    for (const FamilyRange &family : kFamilyRanges) {
        if (commandId >= family.firstCommand && commandId <= family.lastCommand)
            return family.controlId;
    }
    for (int i = 0; i < kControlRowCount; ++i) {
        if (rows_[i].commandId == commandId)
            return rows_[i].controlId;
    }
    dialogs_.Message(QStringLiteral("Unexpected error occurred in ToCtrlId(): Command id is %1").arg(commandId));
    return -1;
}

void ControlTable::CommitValues()
{
    for (int i = 0; i < kControlRowCount; ++i)
        rows_[i].savedValue = rows_[i].value;
}

bool ControlTable::SendChangedValues(CommandSender &sender)
{
    for (int i = 0; i < kControlRowCount; ++i) {
        const ControlEntry &row = rows_[i];
        if (row.value != row.savedValue && !sender.SetValue(row.commandId, row.value, kSendTimeoutMs))
            return false;
    }
    return true;
}

int ControlTable::CountParameters() const
{
    if (parameterCount_ < 0) {
        parameterCount_ = 0;
        for (int i = 0; i < kControlRowCount; ++i)
            parameterCount_ += IsParameterRow(i) ? 1 : 0;
    }
    return parameterCount_;
}

int ControlTable::CountStandardParameters() const
{
    if (standardParameterCount_ < 0) {
        standardParameterCount_ = 0;
        for (int i = 0; i < kControlRowCount; ++i)
            standardParameterCount_ += (IsParameterRow(i) && rows_[i].access == 1) ? 1 : 0;
    }
    return standardParameterCount_;
}
