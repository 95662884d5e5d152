#pragma once

#include <QString>
#include <QTime>

// "mm:ss:mmm  " of a universal time: minute, second, millisecond and two blanks. The hour is
// left out, so lines an hour apart can carry the same stamp.
QString TerminalStamp(const QTime &utc);
