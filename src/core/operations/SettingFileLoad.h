#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>

class CameraModel;
class Command;
class CommandTable;
class ControlTable;

// What loading a setting file asks of the front end that runs it.
struct SettingLoadHooks {
    std::function<void(int percent)> step;             // before each piece
    std::function<void(bool enable)> enableAberration; // the lens-mode line's rule
    std::function<void()> identifyModel;               // after the model line is written
    // Asked before each piece; true ends the load there (a station stops at a camera that is
    // gone instead of waiting out every line). Without it every piece is sent.
    std::function<bool()> stop{};
    // Told of each line skipped for a value that is not a whole number (its number from 1 and
    // its text), so that the user can mend the file.
    std::function<void(int lineNumber, const QString &text)> malformed{};
};

// Loads the pieces of a setting file into the camera, one after the other: each piece is
// planned by the load rules, then a model line is written (10,000 ms) and the model asked
// again, and a parameter line is written (5,000 ms) and kept in the control table. Returns
// the number of lines that the camera did not take: those written and refused, and those
// skipped for a malformed value.
int LoadSettingPieces(const QList<QByteArray> &pieces, Command &command, const CommandTable &commands,
                      ControlTable &table, const CameraModel &model, bool extendedMode, const SettingLoadHooks &hooks);
