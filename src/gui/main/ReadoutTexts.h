#pragma once

#include <array>
#include <cstdint>

#include <QString>

// Texts and digits of the readouts that the pages fill on request.

// The XML version's three boxes: hundreds, tens and units.
std::array<std::int32_t, 3> XmlVersionDigits(std::int32_t version);
// The first character of each box, joined and read as a decimal number; boxes holding more
// than one digit contribute only their first.
std::int32_t XmlVersionFromBoxes(const std::array<QString, 3> &boxes);
