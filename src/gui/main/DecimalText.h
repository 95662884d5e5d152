#pragma once

#include <cstdint>

#include <QStringView>

// Text to number the way the C library's atoi reads it: leading blanks skipped, an optional
// sign, then digits up to the first other character; no digits gives 0. Unlike atoi, a number
// too large for the result saturates instead of being undefined.
std::int64_t ParseLeadingInteger64(QStringView text);
std::int32_t ParseLeadingInteger(QStringView text);
