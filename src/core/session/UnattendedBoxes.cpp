#include "core/session/UnattendedBoxes.h"

QString PrintedMessage(const MessageRequest &request)
{
    QString text = request.text.trimmed();
    text.replace(QLatin1Char('\n'), QStringLiteral(" "));
    QString line = request.caption.isEmpty() ? text : request.caption + QStringLiteral(": ") + text;
    if (!request.detailedText.isEmpty())
        line += QStringLiteral("\n  ") + request.detailedText.trimmed().replace(QLatin1Char('\n'), QStringLiteral("\n  "));
    return line;
}

MessageAnswer UnattendedAnswer(MessageButtons buttons, bool force)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return force ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return force ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}
