#include "core/catalog/PageTables.h"

#include "core/catalog/PageFields.h"

namespace {

using namespace PageFields;

// The main window's own never-shown controls.
constexpr FieldSpec kHiddenControls[] = {
    Text(1038, nullptr, ""), Text(1048, nullptr, ""), Text(1049, nullptr, ""), Text(1051, nullptr, ""),
    Text(1059, nullptr, ""), Text(1061, nullptr, ""), Text(1062, nullptr, ""), Text(1090, nullptr, ""),
};
static_assert(std::size(kHiddenControls) == 8);

} // namespace

std::span<const FieldSpec> MainWindowHiddenControls()
{
    return kHiddenControls;
}

std::optional<LabelledField> FindLabelledField(int controlId)
{
    for (const PageSpec *page : kPageTable) {
        for (const GroupSpec &group : page->groups) {
            for (const FieldSpec &field : group.fields) {
                if (field.id == controlId && field.label != nullptr)
                    return LabelledField{&field, &group};
            }
        }
    }
    return std::nullopt;
}
