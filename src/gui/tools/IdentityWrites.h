#pragma once

#include <span>

#include <QString>

class Command;
class Dialogs;

// The writes of the identification windows, each with its own boxes. A text that cannot travel
// inside one command line (line break, character outside Latin-1, too long) is refused with a
// box before anything is sent.

// "Save User ID" of the About window and "Save" of the user id window.
bool SaveUserId(Command &command, Dialogs &dialogs, const QString &text);
// The first character of each of the four fields, joined by dots.
bool SaveDeviceVersion(Command &command, Dialogs &dialogs, std::span<const QString> fields);
// The first character of each of the ten fields, after the unlock.
bool SaveCameraId(Command &command, Dialogs &dialogs, std::span<const QString> fields);
