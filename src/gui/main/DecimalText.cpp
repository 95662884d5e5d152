#include "gui/main/DecimalText.h"

#include <algorithm>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

} // namespace

std::int64_t ParseLeadingInteger64(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Any magnitude past 2^40 already saturates both results, so stop growing there.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(kCeiling, value * 10 + (text[i].unicode() - u'0'));
    return negative ? -value : value;
}

std::int32_t ParseLeadingInteger(QStringView text)
{
    const std::int64_t value = ParseLeadingInteger64(text);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
