#pragma once

#include <cstdint>

#include "core/protocol/CommandIds.h"

// Command arithmetic of the chromatic aberration correction group. The cells address one
// command of a family chosen by side, colour, lens and cell index; the right side has tables
// of its own, and its ratio tables have no index 0.
namespace Aberration {

enum Side : std::int32_t { Both = 0, Left = 1, Right = 2 };
enum SyncMode : std::int32_t { Sync = 0, Async = 1 };

inline constexpr int kLensCount = 4;
inline constexpr int kColourCount = 2;
inline constexpr int kLastIndex = 8;

inline constexpr int kModeCommand = CommandId::CACM;
inline constexpr int kSaveCommand = CommandId::CACS;

// -1 for a selector value outside its list (a list without a selection reads -1).
int SyncModeCommand(std::int32_t lens);
int MethodCommand(std::int32_t lens);
int ValueCommand(std::int32_t side, std::int32_t colour, std::int32_t lens);
int CoefficientCommand(std::int32_t side, std::int32_t colour, std::int32_t lens);
// Also -1 for index 0 on the right side, which has no such table entry: the arithmetic would
// land on a command of the left-side table.
int RatioCommand(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t index);

struct SideAndIndex {
    std::int32_t side;
    std::int32_t index;
};

// After the side was chosen: sync mode allows only "Both", async mode only "Left" or "Right",
// and the right side needs an index of 1 or more. Judged on the side that was chosen.
SideAndIndex AdjustForSide(std::int32_t syncMode, std::int32_t chosenSide, std::int32_t index);
// After the index was chosen: index 0 does not exist on the right side.
std::int32_t AdjustIndex(std::int32_t side, std::int32_t chosenIndex);
// The side shown after the sync mode was written.
std::int32_t SideForSyncMode(std::int32_t syncMode);

} // namespace Aberration
