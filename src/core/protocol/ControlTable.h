#pragma once

#include <array>
#include <cstdint>

class CommandSender;
class Dialogs;

enum class ControlKind : std::int32_t { List = 4, Number = 6, Action = 7, End = 8 };

// Access level: 1 standard, 2 extended (read, filed and shown only in the extended control
// mode), 0 neither counted nor guarded. The end row has 3.
struct ControlEntry {
    std::int32_t controlId;
    std::int32_t commandId;
    ControlKind kind;
    std::int32_t rangeMode;
    std::int32_t access;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t value;
    std::int32_t savedValue;
    std::int32_t filed;
};

inline constexpr int kControlRowCount = 222; // rows before the end row

// What the tool waits for the camera to acknowledge an ordinary set.
inline constexpr std::uint32_t kParameterSetTimeoutMs = 5000;

// The initial data: 222 rows and the end row (control id -1).
extern const std::array<ControlEntry, kControlRowCount + 1> kInitialControlRows;

// The in-memory copy of the camera's parameters, one row per bound control. Look-ups search
// from the first row and report a failure in a box, then return -1 or false.
class ControlTable {
public:
    explicit ControlTable(Dialogs &dialogs);

    std::int32_t GetDataValue(int controlId) const;
    std::int32_t GetSavedValue(int controlId) const;
    bool SetDataValue(int controlId, std::int32_t value);
    int ToCmdId(int controlId) const;
    int CtrlId2TblIndex(int controlId) const;
    int GetRangeMode(int controlId) const;
    bool GetLimits(int controlId, std::int32_t &minimum, std::int32_t &maximum) const;
    int IsFiled(int controlId) const;
    bool IsParameterRow(int rowIndex) const;
    int ToCtrlId(int commandId) const;

    void CommitValues();
    bool SendChangedValues(CommandSender &sender);

    int CountParameters() const;
    int CountStandardParameters() const;

    int RowCount() const { return kControlRowCount; }
    const ControlEntry &Row(int rowIndex) const { return rows_[rowIndex]; }
    ControlEntry &Row(int rowIndex) { return rows_[rowIndex]; }

private:
    const ControlEntry *find(int controlId) const;

    Dialogs &dialogs_;
    std::array<ControlEntry, kControlRowCount + 1> rows_;
    mutable int parameterCount_ = -1;
    mutable int standardParameterCount_ = -1;
};
