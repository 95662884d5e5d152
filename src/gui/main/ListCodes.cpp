#include "gui/main/ListCodes.h"

#include <algorithm>
#include <cstddef>

#include <QComboBox>

#include "gui/main/ControlFinder.h"

void AttachListCodes(QComboBox &list, std::span<const std::int32_t> codes)
{
    const int count = std::min(list.count(), static_cast<int>(codes.size()));
    for (int i = 0; i < count; ++i)
        list.setItemData(i, codes[static_cast<std::size_t>(i)], Qt::UserRole);
}

void SetComboItemData(const ControlFinder &finder)
{
    for (const ListCodeTable &table : ListCodeTables()) {
        for (int id : table.controlIds) {
            if (auto *list = qobject_cast<QComboBox *>(finder.FindControl(id)))
                AttachListCodes(*list, table.codes);
        }
    }
}
