#include "core/formats/SettingFile.h"

#include <algorithm>

#include "core/common/TextFiles.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"

namespace {

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The text after the piece's first '=', as the file has it: the reply conversion drops
// spaces inside the value, which would turn "12 34" into 1234.
QByteArray rawValueOf(const QByteArray &piece)
{
    return piece.mid(piece.indexOf('=') + 1).trimmed();
}

// Any number of digits: a value beyond 32 bits is clamped, as the engine does for replies.
bool isWholeNumber(const QByteArray &value, bool hexAllowed)
{
    const bool hex = hexAllowed && value.startsWith("&H");
    const bool hasSign = !hex && (value.startsWith('-') || value.startsWith('+'));
    const QByteArray digits = value.mid(hex ? 2 : hasSign ? 1 : 0);
    return !digits.isEmpty() &&
           std::all_of(digits.begin(), digits.end(), [hex](char c) { return hex ? isHexDigit(c) : isDecimalDigit(c); });
}

} // namespace

bool IsRowWritten(const ControlEntry &row, SettingFileVariant variant, bool extendedMode, const CameraModel &model)
{
    if (row.filed != 1)
        return false;
    const bool extendedRow = row.access == 2;
    if (extendedRow && (variant == SettingFileVariant::ShippingData || !extendedMode))
        return false;
    return model.IsSupportedCommand(row.commandId);
}

QList<QByteArray> SettingFileLines(const ControlTable &table, const CommandTable &commands, const CameraModel &model,
                                   SettingFileVariant variant, bool extendedMode)
{
    QList<QByteArray> lines;
    lines.reserve(table.RowCount() + 1);
    if (variant == SettingFileVariant::AllData && extendedMode && model.Code() != CameraModel::kUnknown)
        lines.append("MD00=" + model.Name().toLatin1());
    for (int i = 0; i < table.RowCount(); ++i) {
        const ControlEntry &row = table.Row(i);
        if (!IsRowWritten(row, variant, extendedMode, model) || !CommandTable::IsValidId(row.commandId))
            continue;
        lines.append(commands.MnemonicOf(row.commandId).toLatin1() + '=' + QByteArray::number(row.value));
    }
    return lines;
}

QList<QByteArray> SettingFilePieces(const QByteArray &bytes)
{
    return TextPieces(bytes, kSettingPieceChars);
}

std::vector<int> SettingPieceLineNumbers(const QList<QByteArray> &pieces)
{
    std::vector<int> numbers;
    numbers.reserve(static_cast<std::size_t>(pieces.size()));
    int line = 1;
    for (const QByteArray &piece : pieces) {
        numbers.push_back(line);
        if (piece.endsWith('\n'))
            ++line;
    }
    return numbers;
}

QString SettingPieceText(const QByteArray &piece)
{
    QByteArray text = piece;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return QString::fromLatin1(text);
}

QString MalformedLineNote(int lineNumber, const QString &text)
{
    return QStringLiteral("Setting file line %1 skipped, its value is not a whole number: %2").arg(lineNumber).arg(text);
}

SettingLineStep PlanSettingLine(const QByteArray &piece, const CommandTable &commands, const ControlTable &table,
                                const CameraModel &model, bool extendedMode)
{
    using Kind = SettingLineStep::Kind;
    using Reason = SettingLineStep::Reason;
    SettingLineStep step;
    ReplyRecord record;
    if (!ParseReply(commands, QString::fromLatin1(piece), record)) {
        // An operator was found, so the text before it named no command.
        if (!record.operatorChar.isNull())
            step.reason = Reason::UnknownMnemonic;
        return step;
    }
    step.commandId = record.commandId;
    if (record.operatorChar != u'=') {
        step.reason = Reason::NotAWrite;
        return step;
    }
    if (record.mnemonic.isEmpty()) {
        step.reason = Reason::EmptyMnemonic;
        return step;
    }
    if (record.commandId == kModelWriteCommand) {
        step.kind = Kind::ModelName;
        step.reason = Reason::None;
        step.text = record.line.mid(record.mnemonic.size() + 1);
        return step;
    }
    step.controlId = table.ToCtrlId(record.commandId);
    if (step.controlId < 0) {
        step.reason = Reason::NoControl;
        return step;
    }
    if (!isWholeNumber(rawValueOf(piece), commands.ValueTypeOf(record.commandId) == ValueType::Integer)) {
        step.kind = Kind::Malformed;
        step.reason = Reason::Malformed;
        return step;
    }
    step.value = record.value.integerValue;
    if (step.controlId == kAberrationModeControl)
        step.aberrationEnable = step.value >= 1 && step.value <= 3 ? 1 : 0;
    const int rowIndex = table.CtrlId2TblIndex(step.controlId);
    if (rowIndex < 0) {
        step.reason = Reason::NoControl;
        return step;
    }
    const ControlEntry &row = table.Row(rowIndex);
    if (row.access == 2 && !extendedMode) {
        step.reason = Reason::Factory;
        return step;
    }
    if (row.filed == 0) {
        step.reason = Reason::NotFiled;
        return step;
    }
    if (!model.IsSupportedCommand(record.commandId)) {
        step.reason = Reason::Unsupported;
        return step;
    }
    step.kind = Kind::Write;
    step.reason = Reason::None;
    return step;
}
