#pragma once

#include <array>
#include <cstdint>

#include <QString>

// How a command's value is written and read on the wire.
enum class ValueType : std::int32_t { Integer = 0, Real = 1, Text = 2 };

struct CommandEntry {
    const char *mnemonic;
    ValueType valueType;
    std::int32_t decimals;
};

inline constexpr int kCommandCount = 446;

// The command ids that code names by number.
namespace CommandId {
inline constexpr int MD = 8;
inline constexpr int CBDRT = 11;
inline constexpr int CRS00 = 12;
inline constexpr int Empty = 322;
inline constexpr int LD = 386;   // load a flash area
inline constexpr int SA = 387;   // store into a user area
inline constexpr int EA = 388;
inline constexpr int SA00 = 389; // store into the factory area
inline constexpr int ULCK = 391;
} // namespace CommandId

// The fixed rows, in id order.
extern const std::array<CommandEntry, kCommandCount> kCommandRows;

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
