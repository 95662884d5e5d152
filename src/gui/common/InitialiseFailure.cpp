#include "gui/common/InitialiseFailure.h"

#include "core/common/Dialogs.h"

void ShowInitialiseFailure(Dialogs &dialogs, const QString &details)
{
    MessageRequest box;
    box.text = QStringLiteral("Failed to initialize!");
    box.icon = MessageIcon::Exclamation;
    box.detailedText = details;
    dialogs.ShowMessage(box);
}
