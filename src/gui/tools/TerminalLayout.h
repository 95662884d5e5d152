#pragma once

#include <array>

#include <QRect>
#include <QSize>

// Where each terminal control goes for a client area of a given size. Every edge is an offset
// from the left/top of the client area or from its right/bottom.
struct TerminalEdge {
    enum class From { Start, End };
    From from;
    int offset;
};

struct TerminalPlacement {
    int controlId;
    TerminalEdge left, top, right, bottom;
};

inline constexpr int kTerminalEditId = 1001;
inline constexpr int kTerminalListId = 1004;
inline constexpr int kTerminalCloseId = 1007;
inline constexpr int kTerminalSendId = 1003;
inline constexpr int kTerminalClearId = 1006;
inline constexpr int kTerminalSaveId = 1008;
inline constexpr int kTerminalStripId = 1070;

namespace terminal_layout {
using F = TerminalEdge::From;
inline constexpr TerminalEdge S(int offset) { return {F::Start, offset}; }
inline constexpr TerminalEdge E(int offset) { return {F::End, offset}; }
} // namespace terminal_layout

inline constexpr std::array<TerminalPlacement, 7> kTerminalLayout = [] {
    using namespace terminal_layout;
    return std::array<TerminalPlacement, 7>{{
        {kTerminalEditId, S(10), S(10), E(-80), S(30)},
        {kTerminalListId, S(10), S(42), E(-80), E(-20)},
        {kTerminalCloseId, E(-70), S(10), E(-10), S(30)},
        {kTerminalSendId, E(-70), S(34), E(-10), S(54)},
        {kTerminalClearId, E(-70), S(58), E(-10), S(78)},
        {kTerminalSaveId, E(-70), S(82), E(-10), S(102)},
        {kTerminalStripId, S(4), E(-12), E(-4), E(-4)},
    }};
}();

// The rectangle (right and bottom exclusive, as the table gives them) for one row.
QRect TerminalRect(const TerminalPlacement &placement, QSize client);
