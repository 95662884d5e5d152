#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class Command;
class LineLogFanout;
class SerialLink;

// Why a line typed by hand cannot go to the camera as it is; empty when it can.
QString RawLineProblem(const QString &line);

// Sends one line as typed (with CR LF) and collects every line the camera sends within the
// wait, as they arrived. Nothing when the line could not be written.
std::optional<QStringList> ExchangeRawLine(Command &command, SerialLink &link, LineLogFanout &lineLog,
                                           const QString &line, unsigned waitMs);
