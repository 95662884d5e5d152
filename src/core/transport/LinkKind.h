#pragma once

#include <cstdint>

// The stored "Communication Mode": which transport carries the link.
enum class LinkKind : std::int32_t { ComPort = 0, Cameralink2000 = 1, Cameralink2001 = 2, CameralinkVer11 = 3 };

inline constexpr int kLinkKindCount = 4;

inline constexpr bool IsKnownLinkKind(int kind)
{
    return kind >= 0 && kind < kLinkKindCount;
}
