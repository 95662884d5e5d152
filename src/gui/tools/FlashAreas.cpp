#include "gui/tools/FlashAreas.h"

QString FlashAreaText(int area)
{
    if (area < 0 || area >= static_cast<int>(kFlashAreaNames.size()))
        return QStringLiteral("Unkown");
    return QString::fromLatin1(kFlashAreaNames[static_cast<std::size_t>(area)]);
}
