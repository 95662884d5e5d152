#include "core/formats/DigitFields.h"

#include <algorithm>
#include <limits>

DigitFields ScanDigitFields(const QByteArray &line)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    DigitFields fields;
    std::array<std::int64_t, DigitFields::kCount> values{};
    for (char c : line) {
        if (c >= '0' && c <= '9') {
            std::int64_t &value = values[static_cast<std::size_t>(fields.commas)];
            value = std::min(kMax, value * 10 + (c - '0'));
        } else if (c == ',') {
            if (fields.commas == DigitFields::kCount - 1) {
                fields.tooManyCommas = true;
                break;
            }
            ++fields.commas;
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        fields.values[i] = static_cast<std::int32_t>(values[i]);
    return fields;
}
