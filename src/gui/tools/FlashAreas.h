#pragma once

#include <array>

#include <QString>

// The camera's flash areas: 0 holds the factory settings, 1 to 3 the operator's.
inline constexpr std::array<const char *, 4> kFlashAreaNames = {
    "Factory Data", "User 1 Data", "User 2 Data", "User 3 Data",
};
inline constexpr int kFactoryArea = 0;

// The area's name; "Unkown" for anything else (-1 stands for "the camera did not say").
QString FlashAreaText(int area);
