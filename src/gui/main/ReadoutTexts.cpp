#include "gui/main/ReadoutTexts.h"

#include "gui/main/DecimalText.h"

namespace {

struct StatusText {
    std::int32_t status;
    const char *text;
};

constexpr StatusText kCounterStatusTexts[] = {
    {0, "Counter Idle"},
    {2, "Counter Active"},
    {4, "Counter Overflow"},
};

} // namespace

QString CounterStatusText(std::int32_t status)
{
    for (const StatusText &entry : kCounterStatusTexts) {
        if (entry.status == status)
            return QString::fromLatin1(entry.text);
    }
    return QStringLiteral("---");
}

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
