#pragma once

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/protocol/CommandIds.h"
#include "core/protocol/ReplyParser.h"

class CameraModel;
class CommandTable;
class ControlTable;
struct ControlEntry;

// The camera setting file (*.cam): an optional model line "MD00=<name>", then one line
// "<mnemonic>=<value>" per selected control-table row, in table order.
enum class SettingFileVariant { AllData, ShippingData };

inline constexpr int kSettingPieceChars = 255; // a longer line is read as several pieces
inline constexpr int kModelWriteCommand = CommandId::MD00;

// Whether the row goes into a file of this variant.
bool IsRowWritten(const ControlEntry &row, SettingFileVariant variant, bool extendedMode, const CameraModel &model);

// The file's lines without line ends. The model line comes first only in an "All Data" file
// of the extended mode, and only for an identified camera.
QList<QByteArray> SettingFileLines(const ControlTable &table, const CommandTable &commands, const CameraModel &model,
                                   SettingFileVariant variant, bool extendedMode);

// The file's lines as they are read back: pieces of at most 255 characters.
QList<QByteArray> SettingFilePieces(const QByteArray &bytes);

// The line number (from 1) of each piece: a line longer than a piece gives several pieces.
std::vector<int> SettingPieceLineNumbers(const QList<QByteArray> &pieces);
// A piece as a person reads it: without its line end.
QString SettingPieceText(const QByteArray &piece);
// What the log says of a line skipped for its value.
QString MalformedLineNote(int lineNumber, const QString &text);

// What one piece of a file asks for when it is loaded.
struct SettingLineStep {
    // Malformed: a parameter line whose value is not a whole number; skipped like Skip, but
    // named to the user, as it is a typo rather than a line meant for another camera.
    enum class Kind { Skip, ModelName, Write, Malformed };
    enum class Reason { None, Unparsed, UnknownMnemonic, NotAWrite, EmptyMnemonic, NoControl, Malformed, Factory, NotFiled, Unsupported };
    Kind kind = Kind::Skip;
    Reason reason = Reason::Unparsed;
    int commandId = -1;
    int controlId = -1;
    std::int32_t value = 0;
    QString text;              // the model name of a model line
    // For the lens-mode row: whether its group is to be enabled, decided before the skips.
    int aberrationEnable = -1; // -1 no change, 0 disable, 1 enable
};

inline constexpr int kAberrationModeControl = 1560;

// Applies the load rules in their order: parse, model line, bound control (ToCtrlId reports a
// command without one in its box), the value's form (an optional sign and decimal digits, or
// "&H" and hexadecimal digits for an integer command; the reply conversion would take "1O0"
// as 1 and "abc" as 0), the lens-mode rule, factory rows in the standard mode, the filed flag,
// the model's support. Lines with the empty mnemonic, and lines that are not writes ("GA?"),
// are skipped: sending them would write nonsense to the camera.
SettingLineStep PlanSettingLine(const QByteArray &piece, const CommandTable &commands, const ControlTable &table,
                                const CameraModel &model, bool extendedMode);
