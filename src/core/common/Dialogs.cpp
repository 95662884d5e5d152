#include "core/common/Dialogs.h"

Dialogs::~Dialogs() = default;

MessageAnswer Dialogs::Message(const QString &text, const QString &caption, MessageIcon icon,
                               MessageButtons buttons)
{
    MessageRequest request;
    request.text = text;
    request.caption = caption;
    request.icon = icon;
    request.buttons = buttons;
    return ShowMessage(request);
}
