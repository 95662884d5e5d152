#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// The pure rules of the camera's line format, without Qt: the command engine and the
// CLProtocol library (which cannot link Qt) both read replies with these.
namespace WireText {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kAcknowledgement = "COMPLETE";

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Leading digits only; values beyond 32 bits are clamped rather than wrapped.
constexpr std::int32_t ParseDecimalPrefix(std::string_view text)
{
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        magnitude = std::min(magnitude * 10 + (text[pos] - '0'), kMax + 1);
    return static_cast<std::int32_t>(std::clamp(negative ? -magnitude : magnitude, kMin, kMax));
}

constexpr int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The digits after "&H"; up to eight of them give the 32-bit pattern ("&HFFFFFFFF" is -1).
constexpr std::int32_t ParseHexPrefix(std::string_view digits)
{
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0)
            break;
        value = std::min<std::uint64_t>(value * 16 + static_cast<unsigned>(digit), 0xFFFFFFFFu);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// An integer value of a reply: hexadecimal behind "&H", else decimal.
constexpr std::int32_t ParseIntegerValue(std::string_view text)
{
    return text.substr(0, 2) == "&H" ? ParseHexPrefix(text.substr(2)) : ParseDecimalPrefix(text);
}

// A set is acknowledged by a line whose first eight characters, in any case, are "COMPLETE".
constexpr bool IsAcknowledgement(std::string_view line)
{
    if (line.size() < kAcknowledgement.size())
        return false;
    for (std::size_t i = 0; i < kAcknowledgement.size(); ++i) {
        const char c = line[i] >= 'a' && line[i] <= 'z' ? static_cast<char>(line[i] - 'a' + 'A') : line[i];
        if (c != kAcknowledgement[i])
            return false;
    }
    return true;
}

// The first value of a query reply "MN=value" or "MN=first,second" for the mnemonic asked,
// with spaces dropped as the engine drops them; false when the line answers something else.
// A reply that only repeats the query ("MN?") carries an empty value.
inline bool ReplyValue(std::string_view line, std::string_view mnemonic, std::string &value)
{
    std::string clean;
    for (char c : line) {
        if (c != ' ' && c != '\r' && c != '\n')
            clean += c;
    }
    std::size_t op = clean.find('=');
    if (op == std::string::npos)
        op = clean.find('?');
    if (op == std::string::npos || std::string_view(clean).substr(0, op) != mnemonic)
        return false;
    value = clean.substr(op + 1);
    if (clean[op] == '=') {
        if (const std::size_t comma = value.find(','); comma != std::string::npos)
            value.resize(comma);
    }
    return true;
}

// The lines the tool sends, without their line end: "MN=value" and "MN?".
inline std::string SetLine(std::string_view mnemonic, std::string_view value)
{
    return std::string(mnemonic) + '=' + std::string(value);
}

inline std::string QueryLine(std::string_view mnemonic)
{
    return std::string(mnemonic) + '?';
}

enum class TextCheck { Ok, LineBreak, TooLong };

// Whether single-byte text can travel as the value of one command line; maxBytes < 0: no limit.
constexpr TextCheck CheckLineText(std::string_view bytes, int maxBytes = -1)
{
    if (bytes.find_first_of("\r\n") != std::string_view::npos)
        return TextCheck::LineBreak;
    if (maxBytes >= 0 && bytes.size() > static_cast<std::size_t>(maxBytes))
        return TextCheck::TooLong;
    return TextCheck::Ok;
}

} // namespace WireText
