#include "gui/tools/TerminalLayout.h"

#include <algorithm>

namespace {

int resolve(TerminalEdge edge, int extent)
{
    return edge.from == TerminalEdge::From::Start ? edge.offset : extent + edge.offset;
}

} // namespace

QRect TerminalRect(const TerminalPlacement &placement, QSize client)
{
    const int left = resolve(placement.left, client.width());
    const int top = resolve(placement.top, client.height());
    const int right = resolve(placement.right, client.width());
    const int bottom = resolve(placement.bottom, client.height());
    // A window shrunk below the layout's own margins gives empty controls, not negative ones.
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}
