#include "core/operations/RawLineExchange.h"

#include "core/common/LineLog.h"
#include "core/common/TickClock.h"
#include "core/protocol/Command.h"
#include "core/transport/SerialLink.h"

namespace {

// Keeps the lines the camera sends, as they arrived.
class ReceivedLines final : public LineLog {
public:
    void AddLogLine(const QString &line) override
    {
        if (line.startsWith(QLatin1String("Rx: ")))
            lines.append(line.mid(4));
    }
    QStringList lines;
};

} // namespace

QString RawLineProblem(const QString &line)
{
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
        return QStringLiteral("the line must not hold a line break");
    for (QChar c : line) {
        if (c.unicode() >= 256)
            return QStringLiteral("the line holds characters the camera's line cannot carry");
    }
    return QString();
}

std::optional<QStringList> ExchangeRawLine(Command &command, SerialLink &link, LineLogFanout &lineLog,
                                           const QString &line, unsigned waitMs)
{
    ReceivedLines received;
    lineLog.Register(received);
    command.ClearReceived();
    const bool sent = link.SendLine((line + QStringLiteral("\r\n")).toLatin1());
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    while (sent && clock.Since(start) < waitMs)
        command.ReceiveLine(true);
    lineLog.Unregister(received);
    if (!sent)
        return std::nullopt;
    return received.lines;
}
