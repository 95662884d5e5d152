#include "core/plant/Outbox.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

namespace {

// Records in flight at a time: enough to keep a loopback connection busy, few enough that a
// backlog of thousands is never all in memory.
constexpr std::size_t kWindow = 64;
// A record stays far below this; a longer line is no record of a station's.
constexpr qint64 kLongestLine = 256 * 1024;
constexpr int kSaveStateAfterMs = 200;

} // namespace

Outbox::Outbox(QString logPath, QString stationId, Send send, Say say)
    : logPath_(std::move(logPath)), stationId_(std::move(stationId)), send_(std::move(send)), say_(std::move(say)),
      log_(logPath_)
{
    saveState_.setSingleShot(true);
    saveState_.setInterval(kSaveStateAfterMs);
    QObject::connect(&saveState_, &QTimer::timeout, [this] { Flush(); });
}

Outbox::~Outbox()
{
    Flush();
}

QString Outbox::StatePath(const QString &logPath)
{
    return logPath + QStringLiteral(".sent");
}

void Outbox::readState()
{
    QFile state(StatePath(logPath_));
    if (!state.exists())
        return;
    if (!state.open(QIODevice::ReadOnly)) {
        say_(QStringLiteral("outbox %1: %2 cannot be read (%3): every record of the log goes again")
                 .arg(logPath_, state.fileName(), state.errorString()));
        return;
    }
    QJsonParseError error{};
    const QJsonObject object = QJsonDocument::fromJson(state.read(4096), &error).object();
    const qint64 offset = object.value(QStringLiteral("offset")).toInteger(-1);
    if (error.error != QJsonParseError::NoError || offset < 0) {
        say_(QStringLiteral("outbox %1: %2 is broken: every record of the log goes again").arg(logPath_, state.fileName()));
        return;
    }
    acknowledged_ = offset;
    sequenceFloor_ = object.value(QStringLiteral("sequence")).toInteger(0);
}

void Outbox::Open()
{
    readState();
    if (!log_.open(QIODevice::ReadOnly)) {
        say_(QStringLiteral("outbox %1: cannot be read (%2): records go to the broker once it can")
                 .arg(logPath_, log_.errorString()));
    } else if (acknowledged_ > log_.size()) {
        restartFromTop(QStringLiteral("it is shorter than the %1 bytes the broker has (truncated or replaced?)")
                           .arg(acknowledged_));
    } else if (acknowledged_ > 0) {
        char before = '\n';
        log_.seek(acknowledged_ - 1);
        if (!log_.getChar(&before) || before != '\n') {
            // Not where a line starts: the line that holds the offset is taken as sent.
            const std::optional<Line> line = lineAt(acknowledged_);
            say_(QStringLiteral("outbox %1: the offset of %2 is inside a line: going on after it")
                     .arg(logPath_, StatePath(logPath_)));
            acknowledged_ = line ? line->end : log_.size();
        }
    }
    readFrom_ = countedTo_ = acknowledged_;
    nextSequence_ = sequenceFloor_ + 1;
    count();
    if (backlog_ > 0)
        say_(QStringLiteral("outbox %1: %2 record(s) wait for the broker").arg(logPath_).arg(backlog_));
}

void Outbox::restartFromTop(const QString &why)
{
    say_(QStringLiteral("outbox %1: %2: the log goes again from its start").arg(logPath_, why));
    acknowledged_ = readFrom_ = countedTo_ = 0;
    backlog_ = 0;
    inFlight_.clear();
    tickets_.clear();
    stateDirty_ = true;
}

std::optional<Outbox::Line> Outbox::lineAt(qint64 offset)
{
    if (!log_.isOpen() || !log_.seek(offset))
        return std::nullopt;
    QByteArray bytes = log_.readLine(kLongestLine + 1);
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
        return Line{bytes, offset + bytes.size() + 1};
    }
    if (bytes.size() <= kLongestLine)
        return std::nullopt; // a line still being written, or torn: looked at again later
    // Far too long for a record: passed over up to its end.
    qint64 end = offset + bytes.size();
    for (;;) {
        const QByteArray more = log_.readLine(kLongestLine);
        if (more.isEmpty())
            return std::nullopt;
        end += more.size();
        if (more.endsWith('\n'))
            return Line{QByteArray(), end};
    }
}

bool Outbox::isOurs(const QJsonObject &record) const
{
    return record.value(QStringLiteral("station")).toString() == stationId_;
}

void Outbox::count()
{
    if (log_.isOpen() && log_.size() < countedTo_)
        restartFromTop(QStringLiteral("it was truncated"));
    while (const std::optional<Line> line = lineAt(countedTo_)) {
        countedTo_ = line->end;
        const QJsonObject record = QJsonDocument::fromJson(line->bytes).object();
        if (!isOurs(record))
            continue;
        ++backlog_;
        nextSequence_ = std::max(nextSequence_, record.value(QStringLiteral("sequence")).toInteger(0) + 1);
    }
}

qint64 Outbox::Backlog()
{
    count();
    return backlog_;
}

void Outbox::Pump()
{
    // Sending may bring acknowledgements that pump again: one pump at a time keeps the order.
    if (pumping_)
        return;
    pumping_ = true;
    count();
    while (inFlight_.size() < kWindow) {
        const std::optional<Line> line = lineAt(readFrom_);
        if (!line)
            break;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line->bytes, &error);
        InFlight entry{line->end, 0, false};
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            if (!line->bytes.trimmed().isEmpty())
                say_(QStringLiteral("outbox %1: the line at byte %2 is no record: passed over").arg(logPath_).arg(readFrom_));
        } else if (isOurs(document.object())) {
            const std::vector<int> tickets = send_(line->bytes, document.object());
            if (tickets.empty())
                break; // no connection: it waits
            entry.ours = true;
            entry.pending = static_cast<int>(tickets.size());
            for (const int ticket : tickets)
                tickets_[ticket] = frontSerial_ + inFlight_.size();
        }
        inFlight_.push_back(entry);
        readFrom_ = line->end;
    }
    pumping_ = false;
    advance();
}

void Outbox::Acknowledged(int ticket)
{
    const auto found = tickets_.find(ticket);
    if (found == tickets_.end())
        return;
    const std::size_t index = found->second - frontSerial_;
    tickets_.erase(found);
    if (index < inFlight_.size())
        --inFlight_[index].pending;
    advance();
    Pump();
}

void Outbox::advance()
{
    while (!inFlight_.empty() && inFlight_.front().pending <= 0) {
        const InFlight &done = inFlight_.front();
        acknowledged_ = done.end;
        if (done.ours)
            --backlog_;
        inFlight_.pop_front();
        ++frontSerial_;
        stateDirty_ = true;
    }
    if (stateDirty_ && !saveState_.isActive())
        saveState_.start();
}

void Outbox::Disconnected()
{
    inFlight_.clear();
    tickets_.clear();
    readFrom_ = acknowledged_;
}

void Outbox::Flush()
{
    saveState_.stop();
    if (!stateDirty_)
        return;
    QSaveFile state(StatePath(logPath_));
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QStringLiteral("offset"), acknowledged_},
                                  {QStringLiteral("sequence"), std::max(sequenceFloor_, nextSequence_ - 1)}})
            .toJson(QJsonDocument::Compact) +
        '\n';
    if (state.open(QIODevice::WriteOnly) && state.write(bytes) == bytes.size() && state.commit()) {
        stateDirty_ = false;
        return;
    }
    say_(QStringLiteral("outbox %1: %2 not written (%3): records may go twice after a restart")
             .arg(logPath_, state.fileName(), state.errorString()));
}
