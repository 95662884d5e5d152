#include "core/operations/SettingFileLint.h"

#include <algorithm>

#include "core/catalog/ParameterCatalog.h"
#include "core/common/Dialogs.h"
#include "core/formats/SettingFile.h"
#include "core/operations/SettingFileCompare.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"

namespace {

// A look-up of a line that names no parameter would show a box; a file check says so itself.
class SilentDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &) override { return MessageAnswer::Ok; }
    FileDialogResult ChooseFile(const FileDialogRequest &) override { return {}; }
};

// The program's initial tables, as a load without a camera reads them.
struct InitialTables {
    SilentDialogs dialogs;
    CommandTable commands;
    ControlTable table{dialogs};
    ParameterCatalog catalog{table, commands};
};

CameraModel modelNamed(const QString &name)
{
    CameraModel model;
    model.Assign(name);
    return model;
}

using Kind = SettingProblemKind;

struct Verdict {
    Kind kind;
    QString detail;
};

// Why the load would skip the line; nothing for a blank line.
std::optional<Verdict> skipVerdict(const SettingLineStep &step, const QString &text, const CameraModel &model)
{
    using Reason = SettingLineStep::Reason;
    switch (step.reason) {
    case Reason::Unparsed:
        if (text.trimmed().isEmpty())
            return std::nullopt;
        return Verdict{Kind::Unreadable, QStringLiteral("not MNEMONIC=VALUE")};
    case Reason::NotAWrite:
        return Verdict{Kind::Unreadable, QStringLiteral("a query, not a value")};
    case Reason::EmptyMnemonic:
        // A row whose command has no mnemonic: the save writes it as "=VALUE" and the load
        // passes over it, so a file as the tool writes it holds such lines.
        return std::nullopt;
    case Reason::Malformed:
        return Verdict{Kind::Unreadable, QStringLiteral("the value is not a whole number")};
    case Reason::UnknownMnemonic:
        return Verdict{Kind::UnknownMnemonic, QStringLiteral("no command has this mnemonic")};
    case Reason::NoControl:
        return Verdict{Kind::UnknownMnemonic, QStringLiteral("a command, not a parameter")};
    case Reason::Factory:
        return Verdict{Kind::LackedRow, QStringLiteral("an extended-mode parameter; the standard mode skips it")};
    case Reason::Unsupported:
        return Verdict{Kind::LackedRow, QStringLiteral("the %1 has no such parameter").arg(model.Name())};
    case Reason::NotFiled:
        return Verdict{Kind::NotFiled, QStringLiteral("setting files do not hold this parameter")};
    case Reason::None:
        break;
    }
    return std::nullopt;
}

// A line the load would send: refused when the value is outside the limits. A list row without
// a page field has no list of codes, and its table row no range.
std::optional<Verdict> writeVerdict(const SettingLineStep &step, const InitialTables &tables)
{
    const Parameter *parameter = tables.catalog.OfControl(step.controlId);
    if (parameter == nullptr)
        return std::nullopt;
    if (!parameter->IsList() && tables.table.Row(parameter->row).kind != ControlKind::Number)
        return std::nullopt;
    const QString outside = tables.catalog.OutsideLimits(*parameter, step.value);
    if (outside.isEmpty())
        return std::nullopt;
    return Verdict{Kind::OutOfRange, outside};
}

std::optional<Verdict> lineVerdict(const SettingLineStep &step, const QString &text, const CameraModel &model,
                                   const InitialTables &tables)
{
    switch (step.kind) {
    case SettingLineStep::Kind::ModelName:
        if (step.text == model.Name())
            return std::nullopt;
        return Verdict{Kind::OtherModel, QStringLiteral("checked for the %1").arg(model.Name())};
    case SettingLineStep::Kind::Write:
        return writeVerdict(step, tables);
    case SettingLineStep::Kind::Malformed:
    case SettingLineStep::Kind::Skip:
        return skipVerdict(step, text, model);
    }
    return std::nullopt;
}

QString nameOf(const FiledValue &value, const ParameterCatalog &catalog)
{
    const Parameter *parameter = catalog.OfControl(value.controlId);
    return parameter == nullptr || parameter->label.isEmpty() ? value.mnemonic : parameter->QualifiedLabel();
}

} // namespace

QString SettingProblemKindName(SettingProblemKind kind)
{
    switch (kind) {
    case Kind::Unreadable:
        return QStringLiteral("unreadable");
    case Kind::UnknownMnemonic:
        return QStringLiteral("unknown mnemonic");
    case Kind::OutOfRange:
        return QStringLiteral("out of range");
    case Kind::LackedRow:
        return QStringLiteral("lacked row");
    case Kind::NotFiled:
        return QStringLiteral("not filed");
    case Kind::OtherModel:
        return QStringLiteral("other model");
    }
    return QString();
}

std::optional<QString> SettingFileModelName(const QList<QByteArray> &files, const QString &givenName, bool *guessed)
{
    const QStringList supported = CameraModel::SupportedNames();
    if (guessed != nullptr)
        *guessed = false;
    if (!givenName.isEmpty())
        return supported.contains(givenName) ? std::optional<QString>(givenName) : std::nullopt;
    const InitialTables tables;
    const CameraModel unidentified;
    for (const QByteArray &bytes : files) {
        for (const QByteArray &piece : SettingFilePieces(bytes)) {
            const SettingLineStep step = PlanSettingLine(piece, tables.commands, tables.table, unidentified, false);
            if (step.kind == SettingLineStep::Kind::ModelName)
                return supported.contains(step.text) ? step.text : supported.front();
        }
    }
    if (guessed != nullptr)
        *guessed = true;
    return supported.front();
}

SettingFileLint LintSettingFile(const QByteArray &bytes, const QString &modelName, bool extendedMode)
{
    const InitialTables tables;
    const CameraModel model = modelNamed(modelName);
    SettingFileLint lint{modelName, {}};
    const QList<QByteArray> pieces = SettingFilePieces(bytes);
    const std::vector<int> lineNumbers = SettingPieceLineNumbers(pieces);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString text = SettingPieceText(pieces[i]);
        const SettingLineStep step = PlanSettingLine(pieces[i], tables.commands, tables.table, model, extendedMode);
        if (const std::optional<Verdict> verdict = lineVerdict(step, text, model, tables))
            lint.problems.push_back({lineNumbers[static_cast<std::size_t>(i)], verdict->kind, text, verdict->detail});
    }
    return lint;
}

SettingFilePairDiff DiffSettingFiles(const QByteArray &a, const QByteArray &b, const QString &modelName,
                                     bool extendedMode)
{
    const InitialTables tables;
    const CameraModel model = modelNamed(modelName);
    const std::vector<FiledValue> inA = FiledValues(SettingFilePieces(a), tables.commands, tables.table, model, extendedMode);
    const std::vector<FiledValue> inB = FiledValues(SettingFilePieces(b), tables.commands, tables.table, model, extendedMode);
    const auto find = [](const std::vector<FiledValue> &values, int commandId) -> std::optional<std::int32_t> {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [commandId](const FiledValue &value) { return value.commandId == commandId; });
        return found == values.end() ? std::nullopt : std::optional<std::int32_t>(found->value);
    };
    SettingFilePairDiff diff{modelName, {}};
    for (const FiledValue &value : inA) {
        const std::optional<std::int32_t> other = find(inB, value.commandId);
        if (other != value.value)
            diff.differences.push_back({nameOf(value, tables.catalog), value.mnemonic, value.value, other});
    }
    for (const FiledValue &value : inB) {
        if (!find(inA, value.commandId))
            diff.differences.push_back({nameOf(value, tables.catalog), value.mnemonic, std::nullopt, value.value});
    }
    return diff;
}
