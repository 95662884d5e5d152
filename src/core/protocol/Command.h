#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>

#include <QObject>
#include <QString>
#include <QTimer>

#include "core/common/TickClock.h"
#include "core/protocol/CommandSender.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/CommandValue.h"
#include "core/protocol/ReplyParser.h"

class CommandEvents;
class Dialogs;
class LineLog;
class SerialLink;

// The one object that talks to the camera: builds command lines, sends them through the link,
// assembles the reply lines and checks them. Every exchange blocks the caller; it sleeps
// between looks at the link instead of running the event loop.
//
// Between exchanges a 25 ms timer collects lines that arrive unasked (answers to terminal
// lines), so they reach the log. Only one exchange can run at a time: one that would start
// while another runs (from a slot run by a message box's event loop) fails at once.
class Command final : public QObject, public CommandSender {
    Q_OBJECT

public:
    static constexpr int kLineBufferSize = 1024;
    static constexpr int kTimerPeriodMs = 25;
    static constexpr unsigned kFirstLookMs = 20;
    static constexpr unsigned kLookIntervalMs = 20;
    static constexpr std::uint32_t kByteTimeoutMs = 10;

    // How the last set or query ended: answered as asked, answered otherwise (an error text or
    // a reply that does not fit), or not answered at all (time-out, or the line could not be
    // written). Loops over many values stop on NoAnswer; an answer of any kind lets them go on.
    enum class Outcome { None, Answered, Refused, NoAnswer };

    Command(CommandTable &table, SerialLink &link, Dialogs &dialogs, LineLog &rxLog,
            CommandEvents &events, TickClock clock = TickClock(), QObject *parent = nullptr);
    ~Command() override;

    // Starts the collecting timer.
    void Create();

    bool SetValue(int commandId, std::int32_t value, std::uint32_t timeoutMs) override;
    // Sends the text as it is, whatever the command's own value type.
    bool SetString(int commandId, const QString &text, std::uint32_t timeoutMs);
    bool Query(int commandId, CommandValue &value, std::uint32_t timeoutMs);
    // On failure the value is 0.
    bool QueryValue(int commandId, std::int32_t &value, std::uint32_t timeoutMs);
    // On failure, and for a command that is not Text, the text is empty.
    bool QueryString(int commandId, QString &text, std::uint32_t timeoutMs);

    // Reads what has arrived, up to the end of one line. True when a line was completed and
    // added to the received lines.
    bool ReceiveLine(bool log);
    // The oldest received line with its spaces removed; empty when there is none.
    QString TakeOldestLine();
    void ClearReceived();
    int ReceivedCount() const { return static_cast<int>(received_.size()); }
    bool IsBusy() const { return busy_; }
    // Fast replies: a reply is taken as soon as its line is complete, instead of at the first
    // look 20 ms after the command and then every 20 ms. Time-outs and the wire stay the same.
    // Off unless a front end turns it on (qnctl --fast, the windows' "Fast replies").
    void SetFastReplies(bool fast) { fastReplies_ = fast; }
    bool FastReplies() const { return fastReplies_; }
    Outcome LastOutcome() const { return lastOutcome_; }
    // While the flag is set and true, every wait for a reply ends at once unanswered: a search
    // that the operator stops must not sit out its time-outs. nullptr clears it.
    void SetCancel(const std::atomic<bool> *cancel) { cancel_ = cancel; }

    bool ParseReply(const QString &line, ReplyRecord &record) const;
    QString FormatSet(int commandId, const CommandValue &value, bool withLineEnd) const;
    QString FormatQuery(int commandId, bool withLineEnd) const;
    QString MnemonicOf(int commandId) const;

private:
    enum class ReadResult { Line, NoData, Overflow };

    class BusyGuard;

    ReadResult readLine(bool log, std::uint32_t byteTimeoutMs);
    void discardPending();
    bool sendSet(int commandId, const CommandValue &value, std::uint32_t timeoutMs);
    bool awaitLine(std::uint32_t timeoutMs);
    bool failedOnLostLink();
    void onTimer();

    CommandTable &table_;
    SerialLink &link_;
    Dialogs &dialogs_;
    LineLog &rxLog_;
    CommandEvents &events_;
    TickClock clock_;
    QTimer timer_;

    std::array<char, kLineBufferSize> buffer_{};
    int fill_ = 0;
    std::deque<QString> received_;
    bool busy_ = false;
    bool fastReplies_ = false;
    Outcome lastOutcome_ = Outcome::None;
    const std::atomic<bool> *cancel_ = nullptr;
};
