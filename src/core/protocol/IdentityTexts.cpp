#include "core/protocol/IdentityTexts.h"

#include <QStringList>

std::optional<DeviceVersionParts> SplitDeviceVersion(const QString &reply)
{
    const QStringList pieces = reply.split(QLatin1Char('.'));
    if (pieces.size() != kDeviceVersionParts)
        return std::nullopt;
    DeviceVersionParts parts;
    for (int i = 0; i < kDeviceVersionParts; ++i)
        parts[static_cast<std::size_t>(i)] = pieces[i];
    return parts;
}

QString JoinFirstCharacters(std::span<const QString> fields, const QString &separator)
{
    QString joined;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            joined += separator;
        if (!fields[i].isEmpty())
            joined += fields[i].front();
    }
    return joined;
}

WireTextCheck CheckWireText(const QString &text, int maxBytes)
{
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return WireTextCheck::LineBreak;
    for (const QChar character : text) {
        if (character.unicode() > 0xFF)
            return WireTextCheck::NotLatin1;
    }
    if (maxBytes >= 0 && text.toLatin1().size() > maxBytes)
        return WireTextCheck::TooLong;
    return WireTextCheck::Ok;
}

QString WireTextRefusal(WireTextCheck check, const QString &what)
{
    switch (check) {
    case WireTextCheck::Ok:
        break;
    case WireTextCheck::LineBreak:
        return QStringLiteral("The %1 must not contain a line break.\nNothing was sent.").arg(what);
    case WireTextCheck::NotLatin1:
        return QStringLiteral("The %1 contains characters that cannot be sent to the camera.\nNothing was sent.")
            .arg(what);
    case WireTextCheck::TooLong:
        return QStringLiteral("The %1 is too long.\nNothing was sent.").arg(what);
    }
    return QString();
}
