// The outbox on any log and state file: whatever it finds it sends this station's records in
// the log's order, each once while the connection holds, and once every message is
// acknowledged nothing waits. The first byte says how long the state file is.
#include <cstdint>
#include <cstdlib>

#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include "core/plant/Outbox.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 0;
    static const QCoreApplication application(argc, nullptr);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype stateSize = bytes.isEmpty() ? 0 : std::min<qsizetype>(static_cast<std::uint8_t>(bytes[0]), bytes.size() - 1);
    const QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("log.jsonl"));
    QFile logFile(log);
    QFile stateFile(Outbox::StatePath(log));
    if (!logFile.open(QIODevice::WriteOnly) || !stateFile.open(QIODevice::WriteOnly))
        std::abort();
    stateFile.write(bytes.mid(1, stateSize));
    logFile.write(bytes.mid(1 + stateSize));
    logFile.close();
    stateFile.close();
    std::vector<qint64> sent;
    int tickets = 0;
    Outbox outbox(
        log, QStringLiteral("s1"),
        [&](const QByteArray &line, const QJsonObject &record) {
            if (record.value(QStringLiteral("station")).toString() != QStringLiteral("s1") || line.contains('\n'))
                std::abort();
            sent.push_back(record.value(QStringLiteral("sequence")).toInteger());
            return std::vector<int>{++tickets};
        },
        [](const QString &) {});
    outbox.Open();
    const qint64 waiting = outbox.Backlog();
    if (waiting < 0)
        std::abort();
    outbox.Pump();
    for (int ticket = 1; ticket <= tickets; ++ticket) // acknowledging pumps the next window
        outbox.Acknowledged(ticket);
    if (outbox.Backlog() != 0 || static_cast<qint64>(sent.size()) != waiting)
        std::abort();
    return 0;
}
