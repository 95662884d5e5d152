#include "core/common/LineLog.h"

#include <algorithm>

LineLog::~LineLog() = default;

void LineLogFanout::AddLogLine(const QString &line)
{
    for (LineLog *sink : sinks_)
        sink->AddLogLine(line);
}

void LineLogFanout::Register(LineLog &sink)
{
    if (std::find(sinks_.begin(), sinks_.end(), &sink) == sinks_.end())
        sinks_.push_back(&sink);
}

void LineLogFanout::Unregister(LineLog &sink)
{
    sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), &sink), sinks_.end());
}
