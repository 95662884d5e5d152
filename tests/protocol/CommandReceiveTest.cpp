#include <QCoreApplication>
#include <QElapsedTimer>

#include "CommandTestRig.h"

namespace {

// Runs the event loop, as the main window's does between exchanges.
void runEventLoop(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The timer needs an application object; the other tests do without one.
class CommandWithTimer : public CommandOverPty {
protected:
    void SetUp() override
    {
        CommandOverPty::SetUp();
        command->Create();
    }

    int argc = 1;
    char name[8] = "tests";
    char *argv[1] = {name};
    QCoreApplication app{argc, argv};
};

// Stands in for a box whose event loop lets the operator start another exchange.
class ReenteringDialogs final : public Dialogs {
public:
    std::function<void()> whileShown;
    int shown = 0;

    MessageAnswer ShowMessage(const MessageRequest &) override
    {
        ++shown;
        if (whileShown)
            whileShown();
        return MessageAnswer::Ok;
    }
    FileDialogResult ChooseFile(const FileDialogRequest &) override { return {}; }
};

} // namespace

TEST_F(CommandOverPty, LineEnds)
{
    // A line feed alone is an empty line.
    sim->ReplaceNextReply("\n");
    SendUnasked("GA00?\r\n");
    ASSERT_TRUE(command->ReceiveLine(true));
    ASSERT_EQ(command->ReceivedCount(), 1);
    EXPECT_EQ(command->TakeOldestLine(), "");
    EXPECT_EQ(rxLog.lines.last(), "Rx: ");

    // Only a carriage return before the line feed is dropped.
    sim->ReplaceNextReply("A B\n");
    SendUnasked("GA00?\r\n");
    ASSERT_TRUE(command->ReceiveLine(true));
    EXPECT_EQ(rxLog.lines.last(), "Rx: A B");
    EXPECT_EQ(command->TakeOldestLine(), "AB");

    // Nothing more there: no line, after one 10 ms look.
    EXPECT_FALSE(command->ReceiveLine(true));
    EXPECT_EQ(command->ReceivedCount(), 0);
    EXPECT_TRUE(command->TakeOldestLine().isEmpty());
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(CommandOverPty, PartialLinesWaitForTheirEnd)
{
    sim->ReplaceNextReply("GA00=1");
    SendUnasked("GA00?\r\n");
    EXPECT_FALSE(command->ReceiveLine(true));
    sim->ReplaceNextReply("23\r\n");
    SendUnasked("GA00?\r\n");
    ASSERT_TRUE(command->ReceiveLine(false));
    EXPECT_EQ(command->TakeOldestLine(), "GA00=123");
    EXPECT_TRUE(rxLog.lines.isEmpty()); // not asked to log

    sim->ReplaceNextReply("half");
    SendUnasked("GA00?\r\n");
    EXPECT_FALSE(command->ReceiveLine(true));
    command->ClearReceived();
    sim->ReplaceNextReply("whole\r\n");
    SendUnasked("GA00?\r\n");
    ASSERT_TRUE(command->ReceiveLine(true));
    EXPECT_EQ(command->TakeOldestLine(), "whole");
}

TEST_F(CommandOverPty, TheLineBufferHoldsOneKilobyte)
{
    // 1,022 characters with CR LF: the longest line that fits.
    sim->ReplaceNextReply(QByteArray(1022, 'A') + "\r\n");
    SendUnasked("GA00?\r\n");
    TickClock::SleepMs(100); // about 90 ms on the wire
    ASSERT_TRUE(command->ReceiveLine(true));
    EXPECT_EQ(command->TakeOldestLine(), QString(1022, u'A'));
    EXPECT_TRUE(dialogs.Messages().empty());

    // 1,024 bytes without a line feed.
    sim->ReplaceNextReply(QByteArray(1023, 'B') + "\r");
    SendUnasked("GA00?\r\n");
    TickClock::SleepMs(100);
    EXPECT_FALSE(command->ReceiveLine(true));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest &box = dialogs.Messages().front();
    EXPECT_EQ(box.text, "RS-232C receiving buffer overflowed");
    EXPECT_EQ(box.caption, "Communication Error");
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_EQ(command->ReceivedCount(), 0);

    // The overflowed line is gone; the buffer starts again with what follows.
    sim->ReplaceNextReply("next\r\n");
    SendUnasked("GA00?\r\n");
    ASSERT_TRUE(command->ReceiveLine(true));
    EXPECT_EQ(command->TakeOldestLine(), "next");
}

TEST_F(CommandOverPty, AnOverflowDuringAQueryEndsInItsTimeOut)
{
    sim->ReplaceNextReply(QByteArray(2000, 'C'));
    std::int32_t value = 99;
    EXPECT_FALSE(command->QueryValue(kGa00, value, 400));
    EXPECT_EQ(dialogs.MessageTexts(), QStringList{"RS-232C receiving buffer overflowed"});
    EXPECT_EQ(events.online, std::vector<bool>{false});
}

TEST_F(CommandOverPty, LinesWaitingBeforeAnExchangeAreNotItsReply)
{
    // Answers to lines sent past the engine are still waiting when the exchange begins.
    sim->ReplaceNextReply("GA00=77\r\n");
    SendUnasked("GA00?\r\n");
    sim->ReplaceNextReply("COMPLETE\r\n");
    SendUnasked("GA00=1\r\n");
    sim->SetValue(QStringLiteral("GA00"), 3);

    std::int32_t value = 0;
    EXPECT_TRUE(command->QueryValue(kGa00, value, 1000));
    EXPECT_EQ(value, 3);
    // They still reach the log.
    EXPECT_TRUE(rxLog.lines.contains("Rx: GA00=77"));
    EXPECT_TRUE(rxLog.lines.contains("Rx: COMPLETE"));
    EXPECT_EQ(command->ReceivedCount(), 0);
    EXPECT_TRUE(dialogs.Messages().empty());

    // A stale acknowledgement must not pass for the answer to a set the camera ignores.
    sim->ReplaceNextReply("COMPLETE\r\n");
    SendUnasked("GA00=1\r\n");
    sim->StopAnswering();
    EXPECT_FALSE(command->SetValue(kGa00, 2, 200));
}

TEST_F(CommandWithTimer, IdleLinesAreLoggedAndDiscardedByTheNextExchange)
{
    sim->ReplaceNextReply("GA00=77\r\n");
    SendUnasked("GA00?\r\n");
    sim->ReplaceNextReply("GA00=78\r\n");
    SendUnasked("GA00?\r\n");
    EXPECT_TRUE(rxLog.lines.isEmpty());
    runEventLoop(150);
    EXPECT_EQ(rxLog.lines, (QStringList{"Rx: GA00=77", "Rx: GA00=78"}));
    EXPECT_EQ(command->ReceivedCount(), 2);

    sim->SetValue(QStringLiteral("GA00"), 4);
    std::int32_t value = 0;
    EXPECT_TRUE(command->QueryValue(kGa00, value, 1000));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(command->ReceivedCount(), 0);
}

TEST_F(CommandWithTimer, ASecondExchangeCannotStartWhileOneRuns)
{
    ReenteringDialogs boxes;
    const std::unique_ptr<Command> engine =
        std::make_unique<Command>(table, *link, boxes, rxLog, events);
    engine->Create();
    command.reset();

    bool busyInside = false;
    bool nestedQuery = true;
    bool nestedSet = true;
    boxes.whileShown = [&] {
        busyInside = engine->IsBusy();
        std::int32_t value = 0;
        nestedQuery = engine->QueryValue(kGa00, value, 500);
        nestedSet = engine->SetValue(kGa00, 1, 500);
        // A line that the terminal sends meanwhile is left for later: the timer does not read
        // while the exchange owns the link.
        sim->ReplaceNextReply("GA00=55\r\n");
        link->SendLine("GA00?\r\n");
        runEventLoop(100);
        EXPECT_EQ(engine->ReceivedCount(), 0);
    };

    sim->ReplaceNextReply("GA01=5\r\n");
    const int linesBefore = static_cast<int>(sim->ReceivedLines().size());
    std::int32_t value = 0;
    EXPECT_FALSE(engine->QueryValue(kGa00, value, 1000));
    EXPECT_EQ(boxes.shown, 1);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(nestedQuery);
    EXPECT_FALSE(nestedSet);
    // Only the outer query and the terminal's line reached the camera.
    EXPECT_EQ(sim->ReceivedLines().size(), linesBefore + 2);
    EXPECT_FALSE(engine->IsBusy());

    runEventLoop(100);
    EXPECT_EQ(rxLog.lines.last(), "Rx: GA00=55");
    EXPECT_EQ(engine->ReceivedCount(), 1);
}
