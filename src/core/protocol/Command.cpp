#include "core/protocol/Command.h"

#include "core/common/Dialogs.h"
#include "core/common/LineLog.h"
#include "core/protocol/CommandEvents.h"
#include "core/protocol/CommandFormat.h"
#include "core/protocol/WireText.h"
#include "core/transport/SerialLink.h"

namespace {

const QString kErrorCaption = QStringLiteral("Communication Error");

} // namespace

// Marks an exchange (or a timer look) as running for its lifetime; a second one finds the
// engine busy and gives up.
class Command::BusyGuard {
public:
    explicit BusyGuard(Command &command) : command_(command), acquired_(!command.busy_)
    {
        command_.busy_ = true;
    }
    ~BusyGuard()
    {
        if (acquired_)
            command_.busy_ = false;
    }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;
    explicit operator bool() const { return acquired_; }

private:
    Command &command_;
    bool acquired_;
};

namespace {

// A text write borrows the Text value type for one exchange; this gives it back on every way
// out of the exchange.
class ValueTypeOverride {
public:
    ValueTypeOverride(CommandTable &table, int commandId, ValueType type)
        : table_(table), commandId_(commandId), saved_(table.ValueTypeOf(commandId))
    {
        table_.SetValueTypeOf(commandId_, type);
    }
    ~ValueTypeOverride() { table_.SetValueTypeOf(commandId_, saved_); }
    ValueTypeOverride(const ValueTypeOverride &) = delete;
    ValueTypeOverride &operator=(const ValueTypeOverride &) = delete;

private:
    CommandTable &table_;
    int commandId_;
    ValueType saved_;
};

void showCommunicationError(Dialogs &dialogs, const QString &text)
{
    MessageRequest request;
    request.text = text;
    request.caption = kErrorCaption;
    request.icon = MessageIcon::Exclamation;
    request.buttons = MessageButtons::Ok;
    // No other window may start an exchange while the box is up.
    request.applicationModal = true;
    dialogs.ShowMessage(request);
}

} // namespace

Command::Command(CommandTable &table, SerialLink &link, Dialogs &dialogs, LineLog &rxLog,
                 CommandEvents &events, TickClock clock, QObject *parent)
    : QObject(parent), table_(table), link_(link), dialogs_(dialogs), rxLog_(rxLog),
      events_(events), clock_(clock)
{
    timer_.setInterval(kTimerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &Command::onTimer);
}

Command::~Command() = default;

void Command::Create()
{
    timer_.start();
}

void Command::onTimer()
{
    // An exchange in progress (we are inside a message box's event loop) owns the link.
    // The tick takes only what has already arrived: waiting here for bytes that are not there
    // would stall the windows for 10 ms of every 25, and the next tick looks again anyway.
    const BusyGuard guard(*this);
    if (guard)
        readLine(true, 0);
}

bool Command::ReceiveLine(bool log)
{
    return readLine(log, kByteTimeoutMs) == ReadResult::Line;
}

Command::ReadResult Command::readLine(bool log, std::uint32_t byteTimeoutMs)
{
    for (;;) {
        const int got = link_.ReadBytes(buffer_.data() + fill_, 1, byteTimeoutMs);
        if (got > 0) {
            if (buffer_[fill_] == '\n') {
                // Only the carriage return of CR LF is dropped, so a line that ends in a bare
                // line feed keeps its last character.
                int length = fill_;
                if (length > 0 && buffer_[length - 1] == '\r')
                    --length;
                const QString line = QString::fromLatin1(buffer_.data(), length);
                fill_ = 0;
                received_.push_back(line);
                if (log)
                    rxLog_.AddLogLine(QStringLiteral("Rx: ") + line);
                return ReadResult::Line;
            }
            ++fill_;
        }
        if (fill_ >= kLineBufferSize) {
            fill_ = 0;
            showCommunicationError(dialogs_, QStringLiteral("RS-232C receiving buffer overflowed"));
            return ReadResult::Overflow;
        }
        if (got <= 0)
            return ReadResult::NoData;
    }
}

QString Command::TakeOldestLine()
{
    if (received_.empty())
        return QString();
    QString line = received_.front();
    received_.pop_front();
    line.remove(u' ');
    return line;
}

void Command::ClearReceived()
{
    received_.clear();
    fill_ = 0;
}

void Command::discardPending()
{
    // Lines that arrived before this exchange (and that the timer has not collected yet) would
    // otherwise be taken for its reply. They are logged, then dropped with the rest. The
    // transport holds at most one buffer's worth, which bounds the loop.
    for (int looks = 0; looks < kLineBufferSize; ++looks) {
        if (readLine(true, 0) == ReadResult::NoData)
            break;
    }
    ClearReceived();
}

bool Command::failedOnLostLink()
{
    // Nothing reaches a camera whose link is gone, so nothing is sent or waited for: loops
    // over many values run through at once, and the caller reverts as on a time-out.
    if (!link_.IsLost())
        return false;
    events_.SetOnline(false);
    return true;
}

bool Command::awaitLine(std::uint32_t timeoutMs)
{
    const std::uint32_t start = clock_.Now();
    // A fast look does not sleep: reading a line already waits up to the byte time-out for
    // each byte, so the loop follows the line as it arrives without spinning.
    if (!fastReplies_)
        TickClock::SleepMs(kFirstLookMs, [this] { events_.Waiting(); });
    while (!ReceiveLine(true)) {
        // A lost link will not answer: the exchange ends now, as it would on its time-out.
        if (link_.IsLost() || clock_.Since(start) >= timeoutMs || (cancel_ != nullptr && cancel_->load()))
            return false;
        if (!fastReplies_)
            TickClock::SleepMs(kLookIntervalMs);
    }
    return true;
}

bool Command::SetValue(int commandId, std::int32_t value, std::uint32_t timeoutMs)
{
    if (!CommandTable::IsValidId(commandId))
        return false;
    const BusyGuard guard(*this);
    if (!guard)
        return false;
    CommandValue commandValue;
    commandValue.valueType = ValueType::Integer;
    commandValue.integerValue = value;
    return sendSet(commandId, commandValue, timeoutMs);
}

bool Command::SetString(int commandId, const QString &text, std::uint32_t timeoutMs)
{
    if (!CommandTable::IsValidId(commandId))
        return false;
    const BusyGuard guard(*this);
    if (!guard)
        return false;
    const ValueTypeOverride textType(table_, commandId, ValueType::Text);
    CommandValue commandValue;
    commandValue.valueType = ValueType::Text;
    commandValue.text = text;
    return sendSet(commandId, commandValue, timeoutMs);
}

bool Command::sendSet(int commandId, const CommandValue &value, std::uint32_t timeoutMs)
{
    discardPending();
    lastOutcome_ = Outcome::NoAnswer;
    if (failedOnLostLink())
        return false;
    if (!link_.SendLine(FormatSet(commandId, value, true).toLatin1()))
        return false;

    events_.WaitCursor(true);
    const bool answered = awaitLine(timeoutMs);
    events_.WaitCursor(false);
    if (!answered) {
        events_.SetOnline(false);
        return false;
    }

    const QString reply = TakeOldestLine();
    const bool complete = WireText::IsAcknowledgement(reply.toLatin1().toStdString());
    lastOutcome_ = complete ? Outcome::Answered : Outcome::Refused;
    if (!complete)
        showCommunicationError(dialogs_, reply);
    // Any answer, even an error text, shows that the camera is there.
    events_.SetOnline(true);
    return complete;
}

bool Command::Query(int commandId, CommandValue &value, std::uint32_t timeoutMs)
{
    if (MnemonicOf(commandId).isEmpty())
        return false;
    const BusyGuard guard(*this);
    if (!guard)
        return false;

    discardPending();
    lastOutcome_ = Outcome::NoAnswer;
    if (failedOnLostLink())
        return false;
    const QString query = FormatQuery(commandId, false);
    link_.SendLine((query + QStringLiteral("\r\n")).toLatin1());
    if (!awaitLine(timeoutMs)) {
        events_.SetOnline(false);
        return false;
    }

    ReplyRecord record;
    const bool parsed = ParseReply(TakeOldestLine(), record);
    if (parsed && record.mnemonic == MnemonicOf(commandId)) {
        value = record.value;
        events_.SetOnline(true);
        lastOutcome_ = Outcome::Answered;
        return true;
    }
    lastOutcome_ = Outcome::Refused;
    showCommunicationError(dialogs_, QStringLiteral("%1 for %2").arg(record.line, query));
    return false;
}

bool Command::QueryValue(int commandId, std::int32_t &value, std::uint32_t timeoutMs)
{
    CommandValue reply;
    const bool ok = Query(commandId, reply, timeoutMs);
    value = ok ? reply.integerValue : 0;
    return ok;
}

bool Command::QueryString(int commandId, QString &text, std::uint32_t timeoutMs)
{
    CommandValue reply;
    const bool ok = Query(commandId, reply, timeoutMs);
    text = ok ? reply.text : QString();
    return ok;
}

bool Command::ParseReply(const QString &line, ReplyRecord &record) const
{
    return ::ParseReply(table_, line, record);
}

QString Command::FormatSet(int commandId, const CommandValue &value, bool withLineEnd) const
{
    if (!CommandTable::IsValidId(commandId))
        return QString();
    return ::FormatSet(table_, commandId, value, withLineEnd);
}

QString Command::FormatQuery(int commandId, bool withLineEnd) const
{
    if (!CommandTable::IsValidId(commandId))
        return QString();
    return ::FormatQuery(table_, commandId, withLineEnd);
}

QString Command::MnemonicOf(int commandId) const
{
    if (!CommandTable::IsValidId(commandId))
        return QString();
    return table_.MnemonicOf(commandId);
}
