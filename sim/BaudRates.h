#pragma once

#include <array>
#include <optional>

// The link rates the camera knows and the bit codes that "CBDRT" carries for them.
struct BaudRateRow {
    int code;
    int baud;
};

inline constexpr std::array<BaudRateRow, 5> kBaudRates = {{
    {1, 9600}, {2, 19200}, {4, 38400}, {8, 57600}, {16, 115200},
}};

inline constexpr int kResetBaud = 9600;

inline std::optional<int> BaudOfCode(int code)
{
    for (const BaudRateRow &row : kBaudRates)
        if (row.code == code)
            return row.baud;
    return std::nullopt;
}

inline std::optional<int> CodeOfBaud(int baud)
{
    for (const BaudRateRow &row : kBaudRates)
        if (row.baud == baud)
            return row.code;
    return std::nullopt;
}
