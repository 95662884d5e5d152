#pragma once

#include <cstdint>
#include <span>

#include "core/catalog/ListCodeTables.h"

class ControlFinder;
class QComboBox;

// Attaches the codes of every table to its lists (item data under Qt::UserRole).
void SetComboItemData(const ControlFinder &finder);

// Attaches `codes` to the first entries of `list`; entries past the codes keep their data.
void AttachListCodes(QComboBox &list, std::span<const std::int32_t> codes);
