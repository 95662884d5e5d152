#pragma once

#include <array>
#include <cstdint>

#include <QByteArray>

// The three comma-separated numbers of a line of the tool's table files: digits build the
// current field, a comma moves to the next, everything else (blanks, signs, points, line ends)
// is skipped. A digit string too long for 32 bits stays at the largest 32-bit value.
struct DigitFields {
    static constexpr int kCount = 3;
    std::array<std::int32_t, kCount> values{};
    int commas = 0;
    bool tooManyCommas = false; // a third comma; the scan stops there
};

DigitFields ScanDigitFields(const QByteArray &line);

// The table files are read in pieces of this size, line end included, like the reader they
// replace; each piece counts as a line.
inline constexpr int kTablePieceChars = 126;
