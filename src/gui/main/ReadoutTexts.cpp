#include "gui/main/ReadoutTexts.h"

#include "gui/main/DecimalText.h"

std::array<std::int32_t, 3> XmlVersionDigits(std::int32_t version)
{
    const std::int32_t hundreds = version / 100;
    const std::int32_t tens = (version - 100 * hundreds) / 10;
    return {hundreds, tens, version - 100 * hundreds - 10 * tens};
}

std::int32_t XmlVersionFromBoxes(const std::array<QString, 3> &boxes)
{
    QString joined;
    for (const QString &box : boxes)
        joined += box.left(1);
    return ParseLeadingInteger(joined);
}
