#include "gui/main/PageButtons.h"

#include <QLineEdit>

#include "core/common/Dialogs.h"
#include "core/operations/CameraReadouts.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "gui/main/AberrationGroup.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ControlValues.h"
#include "gui/main/DecimalText.h"
#include "gui/main/DependentControls.h"
#include "gui/main/ReadoutTexts.h"
#include "gui/main/SharedControlIds.h"

namespace {

constexpr std::uint32_t kLimitTimeoutMs = 5000;
constexpr std::uint32_t kLutEntryTimeoutMs = 1000;
constexpr std::uint32_t kLongWriteTimeoutMs = 10000;
constexpr std::uint32_t kResetTimeoutMs = 1000;

constexpr int kLineRateMinReadout = 1218;
constexpr int kExposureMaxReadout = 1220;
constexpr int kExposureMinReadout = 1221;
constexpr int kTemperatureReadout = 1049;
constexpr std::array<int, 3> kXmlVersionBoxes = {1178, 1179, 1180};

// Counter n: readouts from counter 0's, a fixed stride apart (its commands are
// CommandId::kCounterStride apart).
constexpr int kCounterValueReadout = 1443;
constexpr int kCounterStatusReadout = 1444;
constexpr int kCounterReadoutStride = 6;

// The model list's entries, in list order, as the camera names them.
constexpr std::array<const char *, 2> kModelIds = {"QN-5200RL-BDXP", "QN-5200R-BDX"};

void showText(const ControlFinder &finder, int controlId, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(finder.FindControl(controlId)))
        edit->setText(text);
}

QString textOf(const ControlFinder &finder, int controlId)
{
    const auto *edit = qobject_cast<QLineEdit *>(finder.FindControl(controlId));
    return edit ? edit->text() : QString();
}

} // namespace

using Later = PageButtons::LaterOperation;

const PageButtons::Row PageButtons::kRows[] = {
    {1219, &PageButtons::lineRateLimit, 0},
    {1222, &PageButtons::exposureLimits, 0},
    {1121, &PageButtons::later, static_cast<int>(Later::ShadingCalibration)},
    {kPixelGainRecalibrate, &PageButtons::later, static_cast<int>(Later::RecalibratePixelGain)},
    {kPixelBlackRecalibrate, &PageButtons::later, static_cast<int>(Later::RecalibratePixelBlack)},
    {kAutoSetting, &PageButtons::later, static_cast<int>(Later::AutoSetting)},
    {kOpenLutTable, &PageButtons::openLutTable, 0},
    {1164, &PageButtons::lutEntryRead, 0},
    {1430, &PageButtons::lutEntryRead, 1},
    {1432, &PageButtons::lutEntryRead, 2},
    {1165, &PageButtons::lutEntryWrite, 0},
    {1431, &PageButtons::lutEntryWrite, 1},
    {1433, &PageButtons::lutEntryWrite, 2},
    {1336, &PageButtons::later, static_cast<int>(Later::ReadShadingData)},
    {1337, &PageButtons::later, static_cast<int>(Later::WriteShadingData)},
    {1338, &PageButtons::later, static_cast<int>(Later::StoreShadingData)},
    {AberrationGroup::kSaveButtonId, &PageButtons::aberrationSave, 0},
    {1441, &PageButtons::counterReset, 0},
    {1447, &PageButtons::counterReset, 1},
    {1453, &PageButtons::counterReset, 2},
    {1459, &PageButtons::counterReset, 3},
    {1442, &PageButtons::counterRead, 0},
    {1448, &PageButtons::counterRead, 1},
    {1454, &PageButtons::counterRead, 2},
    {1460, &PageButtons::counterRead, 3},
    {1125, &PageButtons::temperature, 0},
    {1197, &PageButtons::later, static_cast<int>(Later::RecalibratePixelGainFactory)},
    {1198, &PageButtons::later, static_cast<int>(Later::RecalibratePixelBlackFactory)},
    {1181, &PageButtons::xmlVersionWrite, 0},
    {1182, &PageButtons::xmlVersionRead, 0},
    {1014, &PageButtons::cameraModelSet, 0},
    {1012, &PageButtons::cameraReset, 0},
    {1010, &PageButtons::terminal, 0},
    {1021, &PageButtons::later, static_cast<int>(Later::StoreAllAreas)},
};

void PageButtons::SetLaterOperation(LaterOperation operation, std::function<void()> run)
{
    later_[static_cast<int>(operation)] = std::move(run);
}

void PageButtons::ButtonClicked(int buttonId)
{
    for (const Row &row : kRows) {
        if (row.buttonId == buttonId) {
            (this->*row.run)(row.argument);
            return;
        }
    }
}

void PageButtons::later(int operation)
{
    if (const std::function<void()> &run = later_[operation])
        run();
}

void PageButtons::showLimit(int readoutId, int commandId)
{
    // The engine leaves 0 after a failure, and the readout shows that too: the engine has
    // already told the operator why.
    WriteControlValue(services_.finder, readoutId, ReadLimit(services_.command, commandId).value);
}

void PageButtons::lineRateLimit(int)
{
    showLimit(kLineRateMinReadout, CommandId::LRMIN);
}

void PageButtons::exposureLimits(int)
{
    showLimit(kExposureMaxReadout, CommandId::PEMAX);
    showLimit(kExposureMinReadout, CommandId::PEMIN);
}

void PageButtons::temperature(int)
{
    if (const std::optional<std::int32_t> value = ReadTemperature(services_.command))
        WriteControlValue(services_.finder, kTemperatureReadout, *value);
}

void PageButtons::counterReset(int counter)
{
    ResetCounter(services_.command, counter);
    counterRead(counter);
}

void PageButtons::counterRead(int counter)
{
    const CounterReadout readout = ReadCounter(services_.command, counter);
    if (!readout.value)
        return;
    WriteControlValue(services_.finder, kCounterValueReadout + kCounterReadoutStride * counter, *readout.value);
    if (!readout.status.isEmpty())
        showText(services_.finder, kCounterStatusReadout + kCounterReadoutStride * counter, readout.status);
}

void PageButtons::lutEntryWrite(int colour)
{
    const LutEntryFields &fields = kLutEntryFields[colour];
    const ControlTable &table = services_.table;
    const std::int32_t index = ParseLeadingInteger(textOf(services_.finder, fields.indexField));
    const std::int32_t value = ParseLeadingInteger(textOf(services_.finder, fields.valueField));
    services_.command.SetValue(table.ToCmdId(fields.indexField), index, kLutEntryTimeoutMs);
    services_.command.SetValue(table.ToCmdId(fields.valueField), value, kLutEntryTimeoutMs);
}

void PageButtons::lutEntryRead(int colour)
{
    const LutEntryFields &fields = kLutEntryFields[colour];
    ControlTable &table = services_.table;
    const std::int32_t index = ParseLeadingInteger(textOf(services_.finder, fields.indexField));
    services_.command.SetValue(table.ToCmdId(fields.indexField), index, kLutEntryTimeoutMs);
    std::int32_t value = 0;
    services_.command.QueryValue(table.ToCmdId(fields.valueField), value, kLutEntryTimeoutMs);
    WriteControlValue(services_.finder, fields.valueField, value);
    table.SetDataValue(fields.valueField, value);
    table.CommitValues();
}

void PageButtons::aberrationSave(int)
{
    aberration_.Save();
}

void PageButtons::xmlVersionRead(int)
{
    std::int32_t version = 0;
    services_.command.QueryValue(CommandId::XMLVR, version, kLimitTimeoutMs);
    const std::array<std::int32_t, 3> digits = XmlVersionDigits(version);
    for (std::size_t i = 0; i < digits.size(); ++i)
        WriteControlValue(services_.finder, kXmlVersionBoxes[i], digits[i]);
}

void PageButtons::xmlVersionWrite(int)
{
    std::array<QString, 3> boxes;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = textOf(services_.finder, kXmlVersionBoxes[i]);
    if (services_.command.SetValue(CommandId::XMLVR, XmlVersionFromBoxes(boxes), kLongWriteTimeoutMs))
        services_.dialogs.Message(QStringLiteral("Writing the XML Version has been completed."), QString(),
                                  MessageIcon::Information);
    else
        services_.dialogs.Message(QStringLiteral("Couldn't write the XML Version."), QString(), MessageIcon::Stop);
}

void PageButtons::cameraModelSet(int)
{
    const int entry = SelectedPosition(services_.finder, kModelList);
    const bool known = entry >= 0 && entry < static_cast<int>(kModelIds.size());
    if (known && services_.command.SetString(CommandId::MD00, QString::fromLatin1(kModelIds[entry]), kLongWriteTimeoutMs)) {
        if (hooks_.identifyModel)
            hooks_.identifyModel();
        services_.dialogs.Message(QStringLiteral("Succeeded in writting camera model id."), QString(),
                                  MessageIcon::Information);
        return;
    }
    services_.dialogs.Message(QStringLiteral("Failed writting camera model id."), QString(), MessageIcon::Stop);
}

void PageButtons::cameraReset(int)
{
    // The camera restarts at its power-on rate, so the tool ends whether or not it answered.
    services_.command.SetValue(CommandId::CRS00, 1, kResetTimeoutMs);
    if (hooks_.closeWithoutQuestion)
        hooks_.closeWithoutQuestion();
}

void PageButtons::terminal(int)
{
    if (hooks_.showTerminal)
        hooks_.showTerminal();
}

void PageButtons::openLutTable(int)
{
    if (hooks_.showLutWindows)
        hooks_.showLutWindows();
}
