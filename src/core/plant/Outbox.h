#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>
#include <QTimer>

// A station's JSON-lines log as the outbox of its verdicts. Each record is in the log, on the
// disk, before it goes to the broker; a small file beside the log (LOG.sent) keeps the offset up
// to which the broker has acknowledged every record, and the last sequence number among them.
// After an outage or a restart the records after that offset go again, in order, then the new
// ones: each at least once. Records of other stations sharing the log, and lines that are no
// record, are passed over; a state file that is broken or points past the end of a truncated
// log is reported and the log is sent again from its start, never a reason to stop.
class Outbox {
public:
    // Hands one record to the broker: a ticket for each message it made, none when there is no
    // connection (the record waits).
    using Send = std::function<std::vector<int>(const QByteArray &line, const QJsonObject &record)>;
    using Say = std::function<void(const QString &)>;

    Outbox(QString logPath, QString stationId, Send send, Say say);
    ~Outbox();
    Outbox(const Outbox &) = delete;
    Outbox &operator=(const Outbox &) = delete;

    // Reads the state file and counts what waits; the next sequence number follows the highest
    // of this station's in the log and the state file.
    void Open();
    qint64 TakeSequence() { return nextSequence_++; }
    // Records of this station in the log that the broker has not acknowledged yet.
    qint64 Backlog();

    // Sends what waits, up to a window of records in flight; called on a connection, after a
    // record was logged, and by itself as acknowledgements come in.
    void Pump();
    void Acknowledged(int ticket);
    // The connection went: what was in flight waits again.
    void Disconnected();
    // Writes the state file now (it is otherwise written a moment after acknowledgements).
    void Flush();

    static QString StatePath(const QString &logPath);

private:
    struct InFlight {
        qint64 end = 0;      // the offset after the record's line
        int pending = 0;     // its messages not acknowledged yet
        bool ours = false;
    };
    struct Line {
        QByteArray bytes; // without the line end
        qint64 end = 0;
    };

    void readState();
    // The next whole line from the offset, if any; a line too long to be a record comes back
    // empty with its end.
    std::optional<Line> lineAt(qint64 offset);
    bool isOurs(const QJsonObject &record) const;
    // Counts this station's records between the counted end and the log's end.
    void count();
    void restartFromTop(const QString &why);
    void advance();

    const QString logPath_;
    const QString stationId_;
    const Send send_;
    const Say say_;
    QFile log_;
    qint64 acknowledged_ = 0; // every record before this offset is with the broker
    qint64 sequenceFloor_ = 0; // the highest sequence number handed out, as the state file has it
    qint64 readFrom_ = 0;     // the next line to send
    qint64 countedTo_ = 0;
    qint64 backlog_ = 0;
    qint64 nextSequence_ = 1;
    std::deque<InFlight> inFlight_;
    std::unordered_map<int, std::size_t> tickets_; // ticket -> serial of its record
    std::size_t frontSerial_ = 0;                  // serial of inFlight_.front()
    QTimer saveState_;
    bool stateDirty_ = false;
    bool pumping_ = false;
};
