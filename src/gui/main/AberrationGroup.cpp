#include "gui/main/AberrationGroup.h"

#include <array>

#include <QWidget>

#include "core/protocol/Command.h"
#include "gui/main/AberrationCommands.h"
#include "gui/main/CameraReads.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ControlValues.h"

namespace {

constexpr std::uint32_t kExchangeTimeoutMs = 3000;

int ratioOf(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t index)
{
    return Aberration::RatioCommand(side, colour, lens, index);
}

int valueOf(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t)
{
    return Aberration::ValueCommand(side, colour, lens);
}

int coefficientOf(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t)
{
    return Aberration::CoefficientCommand(side, colour, lens);
}

} // namespace

const AberrationGroup::Cell AberrationGroup::kCells[3] = {
    {kRatioId, ratioOf, &AberrationGroup::showMethod},
    {kValueId, valueOf, nullptr},
    {kCoefficientId, coefficientOf, &AberrationGroup::ratioReadout},
};

// The mode list is a parameter row: it is written through first and then calls ModeChanged.
const AberrationGroup::Selector AberrationGroup::kSelectors[5] = {
    {kSyncModeId, &AberrationGroup::SyncModeChanged}, {kSideId, &AberrationGroup::SideChanged},
    {kIndexId, &AberrationGroup::IndexChanged},       {kColourId, &AberrationGroup::ColourChanged},
    {kMethodId, &AberrationGroup::MethodChanged},
};

const AberrationGroup::Cell *AberrationGroup::findCell(int cellId)
{
    for (const Cell &cell : kCells) {
        if (cell.id == cellId)
            return &cell;
    }
    return nullptr;
}

bool AberrationGroup::IsCell(int controlId)
{
    return findCell(controlId) != nullptr;
}

bool AberrationGroup::SelectorChanged(int listId)
{
    for (const Selector &selector : kSelectors) {
        if (selector.id == listId) {
            (this->*selector.changed)();
            return true;
        }
    }
    return false;
}

std::optional<std::int32_t> AberrationGroup::cameraLens()
{
    std::int32_t lens = 0;
    if (!command_.QueryValue(Aberration::kModeCommand, lens, kExchangeTimeoutMs))
        return std::nullopt;
    return lens;
}

std::optional<std::int32_t> AberrationGroup::listLens() const
{
    const std::int32_t lens = ReadControlValue(finder_, kModeId);
    if (lens == -1)
        return std::nullopt;
    return lens;
}

int AberrationGroup::commandOf(const Cell &cell, std::int32_t lens) const
{
    return cell.command(ReadControlValue(finder_, kSideId), ReadControlValue(finder_, kColourId), lens,
                        ReadControlValue(finder_, kIndexId));
}

void AberrationGroup::CellWritten(int cellId, std::int32_t value)
{
    const Cell *cell = findCell(cellId);
    const std::optional<std::int32_t> lens = cameraLens();
    if (!cell || !lens)
        return;
    // A selector without a choice names no command; nothing is sent then.
    const int commandId = commandOf(*cell, *lens);
    if (commandId < 0)
        return;
    if (command_.SetValue(commandId, value, kExchangeTimeoutMs) && cell->afterWrite)
        (this->*cell->afterWrite)(*lens);
}

void AberrationGroup::readout(const Cell &cell, std::int32_t lens)
{
    const int commandId = commandOf(cell, lens);
    std::int32_t value = 0;
    if (commandId >= 0 && command_.QueryValue(commandId, value, kExchangeTimeoutMs))
        WriteControlValue(finder_, cell.id, value);
}

void AberrationGroup::ratioReadout(std::int32_t lens)
{
    readout(kCells[0], lens);
}

void AberrationGroup::ratioReadoutFromCamera()
{
    if (const std::optional<std::int32_t> lens = cameraLens())
        ratioReadout(*lens);
}

void AberrationGroup::refreshCellReadouts(std::int32_t lens)
{
    for (const Cell &cell : kCells)
        readout(cell, lens);
}

void AberrationGroup::RefreshCellReadouts()
{
    if (const std::optional<std::int32_t> lens = cameraLens())
        refreshCellReadouts(*lens);
}

void AberrationGroup::showMethod(std::int32_t lens)
{
    const int commandId = Aberration::MethodCommand(lens);
    if (commandId >= 0)
        CameraReads(command_, table_, finder_).ReadCommandIntoControl(kMethodId, commandId);
}

void AberrationGroup::ModeChanged()
{
    const std::int32_t mode = ReadControlValue(finder_, kModeId);
    if (mode == -1)
        return;
    for (int id : kLensControls) {
        if (QWidget *control = finder_.FindControl(id))
            control->setEnabled(mode != 0);
    }
    CameraReads reads(command_, table_, finder_);
    if (const int syncCommand = Aberration::SyncModeCommand(mode); syncCommand >= 0)
        reads.ReadCommandIntoControl(kSyncModeId, syncCommand);
    showMethod(mode);
    RefreshCellReadouts();
}

void AberrationGroup::SyncModeChanged()
{
    const std::optional<std::int32_t> lens = listLens();
    if (!lens)
        return;
    const std::int32_t syncMode = ReadControlValue(finder_, kSyncModeId);
    const int commandId = Aberration::SyncModeCommand(*lens);
    if (syncMode == -1 || commandId < 0)
        return;
    if (command_.SetValue(commandId, syncMode, kExchangeTimeoutMs))
        WriteControlValue(finder_, kSideId, Aberration::SideForSyncMode(syncMode));
}

void AberrationGroup::SideChanged()
{
    const std::int32_t syncMode = ReadControlValue(finder_, kSyncModeId);
    const std::int32_t side = ReadControlValue(finder_, kSideId);
    if (syncMode == -1 || side == -1)
        return;
    const Aberration::SideAndIndex shown =
        Aberration::AdjustForSide(syncMode, side, ReadControlValue(finder_, kIndexId));
    WriteControlValue(finder_, kSideId, shown.side);
    WriteControlValue(finder_, kIndexId, shown.index);
    RefreshCellReadouts();
}

void AberrationGroup::IndexChanged()
{
    WriteControlValue(finder_, kIndexId,
                      Aberration::AdjustIndex(ReadControlValue(finder_, kSideId), ReadControlValue(finder_, kIndexId)));
    ratioReadoutFromCamera();
}

void AberrationGroup::ColourChanged()
{
    RefreshCellReadouts();
}

void AberrationGroup::MethodChanged()
{
    const std::optional<std::int32_t> lens = listLens();
    if (!lens)
        return;
    const std::int32_t method = ReadControlValue(finder_, kMethodId);
    const int commandId = Aberration::MethodCommand(*lens);
    if (method == -1 || commandId < 0)
        return;
    if (command_.SetValue(commandId, method, kExchangeTimeoutMs))
        ratioReadoutFromCamera();
}

void AberrationGroup::Save()
{
    if (ReadControlValue(finder_, kModeId) != -1)
        command_.SetValue(Aberration::kSaveCommand, 0, kExchangeTimeoutMs);
}
