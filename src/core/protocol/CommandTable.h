#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "core/protocol/CommandRows.h"

// The program's dictionary of camera commands: command id -> mnemonic, value type, decimals.
// It is a copy of the fixed rows because a text write changes one row's value type for the
// length of one exchange.
class CommandTable {
public:
    CommandTable();

    static bool IsValidId(int id) { return id >= 0 && id < kCommandCount; }

    // The id must be valid.
    QString MnemonicOf(int id) const;
    ValueType ValueTypeOf(int id) const;
    std::int32_t DecimalsOf(int id) const;
    void SetValueTypeOf(int id, ValueType type);

    // First row from id 0 whose mnemonic equals the text exactly (case-sensitive); -1 if none.
    int FindMnemonic(const QString &mnemonic) const;

private:
    std::array<CommandEntry, kCommandCount> rows_;
};
