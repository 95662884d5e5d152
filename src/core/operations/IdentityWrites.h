#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>

class Command;
class Dialogs;

// The identification writes of every front end, each with its own boxes (the windows' texts). A
// text that cannot travel inside one command line (line break, character outside Latin-1, too
// long) is refused with a box before anything is sent.

inline constexpr std::uint32_t kIdentityWriteMs = 5000;
inline constexpr std::uint32_t kDeviceVersionWriteMs = 10000;
// "ULCK" takes this before "ID00" writes the camera id.
inline constexpr std::int32_t kCameraIdUnlockValue = 5918274;

enum class IdentityWrite {
    Written,
    NotSent, // the text was refused: nothing went to the camera
    Failed,  // the camera did not take it (or did not answer)
};

// Why the text cannot be written, in the words of the windows' boxes; empty when it can.
QString UserIdRefusal(const QString &text);
QString CameraIdRefusal(const QString &id);

// "Save User ID" of the About window and "Save" of the user id window.
IdentityWrite SaveUserId(Command &command, Dialogs &dialogs, const QString &text);
// The first character of each of the four fields, joined by dots.
IdentityWrite SaveDeviceVersion(Command &command, Dialogs &dialogs, std::span<const QString> fields);
// The first character of each of the ten fields, after the unlock.
IdentityWrite SaveCameraId(Command &command, Dialogs &dialogs, std::span<const QString> fields);
// The camera id's ten fields of a text of ten characters; none for another length.
std::optional<std::array<QString, 10>> CameraIdFields(const QString &id);
