#include "gui/main/CameraReads.h"

#include "core/protocol/Command.h"
#include "core/protocol/ControlTable.h"
#include "gui/main/ControlValues.h"

namespace {
constexpr unsigned kReadTimeoutMs = 5000;
} // namespace

void CameraReads::ReadFromCamera(int controlId)
{
    const int commandId = table_.ToCmdId(controlId);
    if (commandId < 0)
        return;
    std::int32_t value = 0;
    if (command_.QueryValue(commandId, value, kReadTimeoutMs)) {
        table_.SetDataValue(controlId, value);
        WriteControlValue(finder_, controlId, value);
    }
}

void CameraReads::ReadCommandIntoControl(int controlId, int commandId)
{
    std::int32_t value = 0;
    if (command_.QueryValue(commandId, value, kReadTimeoutMs))
        WriteControlValue(finder_, controlId, value);
}
