#include "gui/tools/TerminalStamp.h"

QString TerminalStamp(const QTime &utc)
{
    return QString::asprintf("%02d:%02d:%03d  ", utc.minute(), utc.second(), utc.msec());
}
