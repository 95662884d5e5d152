#pragma once

#include <array>
#include <optional>
#include <span>

#include <QString>

// The camera's identification texts as the tool shows and writes them: the four-part device
// version, ids built from one character per field, and the check that a text typed by the
// operator can travel inside one command line.

inline constexpr int kUserIdMaxBytes = 64;
inline constexpr int kDeviceVersionParts = 4;
inline constexpr int kCameraIdCharacters = 10;

using DeviceVersionParts = std::array<QString, kDeviceVersionParts>;

// The four parts of a reply such as "1.2.3.4" (parts may be empty); nothing unless the reply
// holds exactly three dots.
std::optional<DeviceVersionParts> SplitDeviceVersion(const QString &reply);

// The first character of each field, joined by the separator. An empty field gives nothing
// but keeps its separator: {"12", "3", "", "4"} joined by "." is "1.3..4".
QString JoinFirstCharacters(std::span<const QString> fields, const QString &separator = QString());

enum class WireTextCheck {
    Ok,
    LineBreak, // a CR or LF would end the command line early and start another command
    NotLatin1, // the line is single-byte text; such a character would go as something else
    TooLong,   // more bytes than the limit allows
};

// Whether the text can be sent as the value of one command line; maxBytes < 0 means no limit.
// The bytes counted are those the link sends.
WireTextCheck CheckWireText(const QString &text, int maxBytes = -1);

// The box text for a refused text; empty for Ok. what names the text ("User ID", "camera id").
QString WireTextRefusal(WireTextCheck check, const QString &what);
