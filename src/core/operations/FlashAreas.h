#pragma once

#include <array>
#include <cstdint>

#include <QString>

class Command;

// The camera's flash areas: 0 holds the factory settings, 1 to 3 the operator's.
inline constexpr std::array<const char *, 4> kFlashAreaNames = {
    "Factory Data", "User 1 Data", "User 2 Data", "User 3 Data",
};
inline constexpr int kFactoryArea = 0;
inline constexpr int kLastUserArea = 3;
// Storing writes the flash and takes long; loading only copies it.
inline constexpr std::uint32_t kStoreAreaTimeoutMs = 40000;
inline constexpr std::uint32_t kLoadAreaTimeoutMs = 10000;

// The area's name; "Unkown" for anything else (-1 stands for "the camera did not say").
QString FlashAreaText(int area);

bool IsFlashArea(int area);

// Stores the camera's current settings into an area: "SA00" = 0 for the factory area, "SA" =
// area for a user area. False when the camera did not complete it.
bool StoreFlashArea(Command &command, int area, std::uint32_t timeoutMs);
// Makes the area's settings the camera's current ones ("LD").
bool LoadFlashArea(Command &command, int area, std::uint32_t timeoutMs);
