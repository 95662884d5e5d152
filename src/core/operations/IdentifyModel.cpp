#include "core/operations/IdentifyModel.h"

#include "core/common/Dialogs.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"

namespace {
constexpr unsigned kModelQueryTimeoutMs = 1000;
} // namespace

bool IdentifyModel(Command &command, CameraModel &model, Dialogs &dialogs)
{
    QString name;
    if (!command.QueryString(CommandId::MD, name, kModelQueryTimeoutMs))
        return false;
    model.Assign(name);
    if (!model.IsSupported())
        dialogs.Message(QStringLiteral("Unsupported model: \"%1\"").arg(name));
    return true;
}
