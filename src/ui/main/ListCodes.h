#pragma once

#include <cstdint>
#include <span>

class ControlFinder;
class QComboBox;

// The camera codes of list entries whose code is not their position.
struct ListCodeTable {
    std::span<const int> controlIds;        // the lists that share these codes
    std::span<const std::int32_t> codes;    // code of entry 0, 1, ...
};

std::span<const ListCodeTable> ListCodeTables();

// Attaches the codes of every table to its lists (item data under Qt::UserRole).
void SetComboItemData(const ControlFinder &finder);

// Attaches `codes` to the first entries of `list`; entries past the codes keep their data.
void AttachListCodes(QComboBox &list, std::span<const std::int32_t> codes);
