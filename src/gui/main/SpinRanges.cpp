#include "gui/main/SpinRanges.h"

#include <algorithm>
#include <limits>

#include <QLineEdit>

#include "core/protocol/ControlTable.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ControlId.h"
#include "gui/main/SpinButton.h"

void LinkSpinBuddies(QWidget &page)
{
    for (SpinButton *spin : page.findChildren<SpinButton *>()) {
        if (QLineEdit *buddy = spin->buddy())
            SetSpinIdOfBuddy(*buddy, spin->controlId());
    }
}

SpinButton *FindLinkedSpin(const ControlFinder &finder, int editId)
{
    const auto *edit = qobject_cast<QLineEdit *>(finder.FindControl(editId));
    const int spinId = SpinIdOfBuddy(edit);
    if (spinId == 0)
        return nullptr;
    return qobject_cast<SpinButton *>(finder.FindControl(spinId));
}

void SetSpinRanges(const ControlTable &table, const ControlFinder &finder)
{
    for (int i = 0; i < table.RowCount(); ++i) {
        const ControlEntry &row = table.Row(i);
        if (row.kind != ControlKind::Number)
            continue;
        SpinButton *spin = FindLinkedSpin(finder, row.controlId);
        if (!spin)
            continue;
        std::int32_t lower = row.minimum;
        std::int32_t upper = row.maximum;
        // Widening stops at the 32-bit limits instead of wrapping round to the other end.
        if (row.rangeMode == 1) {
            if (lower > std::numeric_limits<std::int32_t>::min())
                --lower;
            if (upper < std::numeric_limits<std::int32_t>::max())
                ++upper;
        }
        spin->setRange(lower, upper);
    }
}
