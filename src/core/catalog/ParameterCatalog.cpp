#include "core/catalog/ParameterCatalog.h"

#include <algorithm>

#include "core/catalog/ListCodeTables.h"
#include "core/catalog/PageTables.h"
#include "core/catalog/SfncNames.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"

namespace {

std::span<const std::int32_t> listCodesOf(int controlId)
{
    for (const ListCodeTable &table : ListCodeTables()) {
        if (std::find(table.controlIds.begin(), table.controlIds.end(), controlId) != table.controlIds.end())
            return table.codes;
    }
    return {};
}

} // namespace

ParameterCatalog::ParameterCatalog(const ControlTable &table, const CommandTable &commands)
    : table_(table)
{
    for (int row = 0; row < table.RowCount(); ++row) {
        const ControlEntry &entry = table.Row(row);
        if (!CommandTable::IsValidId(entry.commandId) || entry.kind == ControlKind::Action)
            continue;
        const QString mnemonic = commands.MnemonicOf(entry.commandId);
        if (mnemonic.isEmpty())
            continue;
        Parameter parameter;
        parameter.row = row;
        parameter.controlId = entry.controlId;
        parameter.commandId = entry.commandId;
        parameter.mnemonic = mnemonic;
        if (const std::optional<LabelledField> field = FindLabelledField(entry.controlId)) {
            parameter.field = field->field;
            parameter.label = QString::fromUtf8(field->field->label);
            parameter.group = field->group->title ? QString::fromUtf8(field->group->title) : QString();
        }
        parameters_.push_back(parameter);
    }
}

ParameterLookup ParameterCatalog::Find(const QString &name) const
{
    for (const Parameter &parameter : parameters_) {
        if (parameter.mnemonic == name)
            return {parameter, {}};
    }
    std::vector<const Parameter *> byLabel;
    for (const Parameter &parameter : parameters_) {
        if (parameter.label.isEmpty())
            continue;
        if (parameter.QualifiedLabel().compare(name, Qt::CaseInsensitive) == 0)
            return {parameter, {}};
        if (parameter.label.compare(name, Qt::CaseInsensitive) == 0)
            byLabel.push_back(&parameter);
    }
    if (byLabel.size() == 1)
        return {*byLabel.front(), {}};
    if (byLabel.empty()) {
        if (const Parameter *standard = findStandardName(name))
            return {*standard, {}};
        return {std::nullopt, QStringLiteral("%1: no parameter has this mnemonic or label").arg(name)};
    }
    QStringList offered;
    for (const Parameter *parameter : byLabel)
        offered.append(QStringLiteral("\"%1\" (%2)").arg(parameter->QualifiedLabel(), parameter->mnemonic));
    return {std::nullopt, QStringLiteral("%1: several groups have this label; give one of %2")
                              .arg(name, offered.join(QStringLiteral(", ")))};
}

const Parameter *ParameterCatalog::findStandardName(const QString &name) const
{
    const std::string wanted = name.toStdString();
    const SfncName *firstOfSelector = nullptr;
    for (const SfncName &entry : kSfncNames) {
        // A selector's first entry also answers to the bare name: "Gain" is "Gain[All]".
        const bool first = entry.selector && (!firstOfSelector || std::string_view(firstOfSelector->selector) != entry.selector);
        if (first)
            firstOfSelector = &entry;
        if (wanted != SfncAlias(entry) && !(first && wanted == entry.name))
            continue;
        for (const Parameter &parameter : parameters_) {
            if (parameter.mnemonic == QLatin1String(entry.mnemonic))
                return &parameter;
        }
    }
    return nullptr;
}

std::int32_t ParameterCatalog::codeOfEntry(const Parameter &parameter, int entry) const
{
    const std::span<const std::int32_t> codes = listCodesOf(parameter.controlId);
    if (entry < static_cast<int>(codes.size()))
        return codes[static_cast<std::size_t>(entry)];
    return entry;
}

QString ParameterCatalog::EntryText(const Parameter &parameter, std::int32_t value) const
{
    if (!parameter.IsList())
        return QString();
    const EntryList entries = parameter.field->entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (codeOfEntry(parameter, static_cast<int>(i)) == value)
            return QString::fromUtf8(entries[i]);
    }
    return QString();
}

QString ParameterCatalog::ValueText(const Parameter &parameter, std::int32_t value) const
{
    if (parameter.IsList()) {
        const QString entry = EntryText(parameter, value);
        return entry.isEmpty() ? QString::number(value) : entry;
    }
    return QString::number(value);
}

ValueLookup ParameterCatalog::ParseValue(const Parameter &parameter, const QString &text) const
{
    const QString trimmed = text.trimmed();
    std::int32_t value = 0;
    bool found = false;
    if (parameter.IsList()) {
        const EntryList entries = parameter.field->entries;
        for (std::size_t i = 0; i < entries.size() && !found; ++i) {
            if (trimmed.compare(QString::fromUtf8(entries[i]), Qt::CaseInsensitive) == 0) {
                value = codeOfEntry(parameter, static_cast<int>(i));
                found = true;
            }
        }
    }
    if (!found) {
        bool ok = false;
        const qlonglong wide = trimmed.toLongLong(&ok);
        ok = ok && wide >= INT32_MIN && wide <= INT32_MAX;
        value = static_cast<std::int32_t>(wide);
        if (!ok && parameter.IsList())
            return {std::nullopt, QStringLiteral("%1=%2: %3").arg(parameter.mnemonic, text, entryChoice(parameter))};
        if (!ok)
            return {std::nullopt, QStringLiteral("%1=%2: not a number").arg(parameter.mnemonic, text)};
    }
    const QString outside = OutsideLimits(parameter, value);
    if (!outside.isEmpty())
        return {std::nullopt, QStringLiteral("%1=%2: %3").arg(parameter.mnemonic, text, outside)};
    return {value, {}};
}

QString ParameterCatalog::OutsideLimits(const Parameter &parameter, std::int32_t value) const
{
    // A list's entries are its limits; its row keeps no range of its own.
    if (parameter.IsList())
        return EntryText(parameter, value).isEmpty() ? entryChoice(parameter) : QString();
    const ControlEntry &row = table_.Row(parameter.row);
    const std::int32_t lower = std::min(row.minimum, row.maximum);
    const std::int32_t upper = std::max(row.minimum, row.maximum);
    if (value >= lower && value <= upper)
        return QString();
    return QStringLiteral("outside the limits %1 to %2").arg(ValueText(parameter, lower), ValueText(parameter, upper));
}

const Parameter *ParameterCatalog::OfControl(int controlId) const
{
    const auto found = std::find_if(parameters_.begin(), parameters_.end(),
                                    [controlId](const Parameter &parameter) { return parameter.controlId == controlId; });
    return found == parameters_.end() ? nullptr : &*found;
}

QString ParameterCatalog::entryChoice(const Parameter &parameter) const
{
    QStringList names;
    for (const char *entry : parameter.field->entries)
        names.append(QString::fromUtf8(entry));
    return QStringLiteral("give one of ") + names.join(QStringLiteral(", "));
}

std::vector<Parameter> ParameterCatalog::Matching(const QString &text) const
{
    std::vector<Parameter> found;
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return found;
    for (const Parameter &parameter : parameters_) {
        if (parameter.label.isEmpty())
            continue;
        if (parameter.label.contains(wanted, Qt::CaseInsensitive) || parameter.group.contains(wanted, Qt::CaseInsensitive) ||
            parameter.mnemonic.contains(wanted, Qt::CaseInsensitive))
            found.push_back(parameter);
    }
    return found;
}
