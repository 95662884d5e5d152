#include "operations/IdentifyModel.h"

#include "common/Dialogs.h"
#include "protocol/CameraModel.h"
#include "protocol/Command.h"
#include "protocol/CommandTable.h"

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
