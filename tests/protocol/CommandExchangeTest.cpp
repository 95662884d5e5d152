#include <chrono>
#include <functional>

#include "CommandTestRig.h"
#include "core/protocol/CommandIds.h"

namespace {

qint64 millisecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

TEST_F(CommandOverPty, SetIsAcknowledgedByCompleteInAnyCase)
{
    for (const QByteArray &answer : {QByteArray("Complete"), QByteArray("complete"),
                                     QByteArray("COMPLETE"), QByteArray("CoMpLeTe and more")}) {
        sim->ReplaceNextReply(answer + "\r\n");
        EXPECT_TRUE(command->SetValue(CommandId::CBDRT, 16, 5000)) << answer.toStdString();
        EXPECT_EQ(sim->ReceivedLines().last(), "CBDRT=16");
    }
    EXPECT_EQ(txLog.lines.last(), "Tx: CBDRT=16");
    EXPECT_EQ(rxLog.lines.first(), "Rx: Complete");
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(events.online, std::vector<bool>(4, true));
    // The wait cursor is on for each wait and off again afterwards.
    EXPECT_EQ(events.cursor, (std::vector<bool>{true, false, true, false, true, false, true, false}));
}

TEST_F(CommandOverPty, SetAnsweredWithAnErrorTextShowsIt)
{
    sim->ReplaceNextReply("COMPLET\r\n");
    EXPECT_FALSE(command->SetValue(kGa00, 5, 5000));
    sim->ReplaceNextReply("Error: out of range\r\n");
    EXPECT_FALSE(command->SetValue(kGa00, 5, 5000));

    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.MessageTexts(), (QStringList{"COMPLET", "Error:outofrange"}));
    const MessageRequest &box = dialogs.Messages().back();
    EXPECT_EQ(box.caption, "Communication Error");
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(box.applicationModal);
    // Whatever it says, the camera answered.
    EXPECT_EQ(events.online, (std::vector<bool>{true, true}));
    EXPECT_EQ(events.cursor.back(), false);
}

TEST_F(CommandOverPty, QueryValueReadsEveryReplyForm)
{
    const auto queried = [this](const QByteArray &reply) {
        sim->ReplaceNextReply(reply + "\r\n");
        std::int32_t value = 99;
        EXPECT_TRUE(command->QueryValue(kGa00, value, 1000)) << reply.toStdString();
        return value;
    };
    EXPECT_EQ(queried("GA00=&H1F"), 31);
    EXPECT_EQ(queried("GA00=-12"), -12);
    EXPECT_EQ(queried("GA00=5,7"), 5);
    EXPECT_EQ(queried("GA00 = 6"), 6);
    // A reply that only repeats the query: no value, and still a valid answer.
    EXPECT_EQ(queried("GA00?"), 0);
    EXPECT_EQ(sim->ReceivedLines().last(), "GA00?");
    EXPECT_EQ(txLog.lines.last(), "Tx: GA00?");
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(events.online, std::vector<bool>(5, true));
    EXPECT_TRUE(events.cursor.empty());

    // The camera's own answer, unreplaced.
    sim->SetValue(QStringLiteral("GA00"), 42);
    std::int32_t value = 0;
    EXPECT_TRUE(command->QueryValue(kGa00, value, 1000));
    EXPECT_EQ(value, 42);
}

TEST_F(CommandOverPty, QueryStringReadsText)
{
    QString text = QStringLiteral("old");
    EXPECT_TRUE(command->QueryString(kMd, text, 1000));
    EXPECT_EQ(text, sim->Model());

    sim->ReplaceNextReply("MD?\r\n");
    text = QStringLiteral("old");
    EXPECT_TRUE(command->QueryString(kMd, text, 1000));
    EXPECT_TRUE(text.isEmpty());

    // An Integer command has no text.
    text = QStringLiteral("old");
    EXPECT_TRUE(command->QueryString(kGa00, text, 1000));
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(CommandOverPty, WrongRepliesToAQueryFailWithABox)
{
    std::int32_t value = 99;
    sim->ReplaceNextReply("GA01=5\r\n");
    EXPECT_FALSE(command->QueryValue(kGa00, value, 1000));
    EXPECT_EQ(value, 0);

    sim->ReplaceNextReply("Error: not supported\r\n");
    EXPECT_FALSE(command->QueryValue(kGa00, value, 1000));

    QString text = QStringLiteral("old");
    sim->ReplaceNextReply("XX99=1\r\n");
    EXPECT_FALSE(command->QueryString(kMd, text, 1000));
    EXPECT_TRUE(text.isEmpty());

    EXPECT_EQ(dialogs.MessageTexts(),
              (QStringList{"GA01=5 for GA00?", "Error:notsupported for GA00?", "XX99=1 for MD?"}));
    for (const MessageRequest &box : dialogs.Messages()) {
        EXPECT_EQ(box.caption, "Communication Error");
        EXPECT_EQ(box.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(box.applicationModal);
    }
    // A wrong answer says nothing about the link.
    EXPECT_TRUE(events.online.empty());
}

TEST_F(CommandOverPty, NoAnswerFailsSilentlyAndGoesOffline)
{
    sim->StopAnswering();
    const qint64 setMs = millisecondsOf([this] { EXPECT_FALSE(command->SetValue(kGa00, 5, 200)); });
    EXPECT_GE(setMs, 200);
    EXPECT_LT(setMs, 450); // a few looks late at most, even on a loaded machine
    EXPECT_EQ(events.cursor, (std::vector<bool>{true, false}));

    std::int32_t value = 99;
    const qint64 queryMs = millisecondsOf([&] { EXPECT_FALSE(command->QueryValue(kGa00, value, 200)); });
    EXPECT_GE(queryMs, 200);
    EXPECT_LT(queryMs, 450); // a few looks late at most, even on a loaded machine
    EXPECT_EQ(value, 0);

    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(events.online, (std::vector<bool>{false, false}));
}

// The fixed wait before the first look is lent to the front end: what it does there comes out
// of the wait, so the exchange takes no longer and its first look comes no earlier. Fast
// replies have no such wait to lend.
TEST_F(CommandOverPty, TheFirstWaitIsLentToTheFrontEndWithoutLengtheningTheExchange)
{
    constexpr int kExchanges = 10;
    constexpr unsigned kWorkMs = 12;
    for (const bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "paced");
        command->SetFastReplies(fast);
        events.waits = 0;
        events.waitingWorkMs = kWorkMs;
        const qint64 ms = millisecondsOf([this] {
            std::int32_t value = 0;
            for (int i = 0; i < kExchanges; ++i)
                EXPECT_TRUE(command->QueryValue(kGa00, value, 1000));
        });
        EXPECT_EQ(events.waits, fast ? 0 : kExchanges);
        if (!fast) {
            EXPECT_GE(ms, kExchanges * 20);
            // Work on top of the wait would make it 32 ms an exchange.
            EXPECT_LT(ms, kExchanges * (20 + kWorkMs - 4));
        }
    }
}

TEST_F(CommandOverPty, TimeOutsSurviveTheTickWrap)
{
    // The tick wraps 50 ms into the wait.
    const std::uint32_t bias = 0u - TickClock().Now() - 50u;
    const std::unique_ptr<Command> wrapping = MakeCommand(TickClock(bias));
    sim->StopAnswering();
    const qint64 ms = millisecondsOf([&] {
        std::int32_t value = 0;
        EXPECT_FALSE(wrapping->QueryValue(kGa00, value, 200));
    });
    EXPECT_GE(ms, 200);
    EXPECT_LT(ms, 450); // a few looks late at most, even on a loaded machine
}

TEST_F(CommandOverPty, NothingIsSentForTheEmptyMnemonicOrABadId)
{
    CommandValue value;
    EXPECT_FALSE(command->Query(CommandId::Empty, value, 1000));
    EXPECT_FALSE(command->Query(-1, value, 1000));
    EXPECT_FALSE(command->Query(kCommandCount, value, 1000));
    EXPECT_FALSE(command->SetValue(kCommandCount, 1, 1000));
    EXPECT_FALSE(command->SetString(-1, QStringLiteral("x"), 1000));
    TickClock::SleepMs(30);
    EXPECT_TRUE(sim->ReceivedLines().isEmpty());
    EXPECT_TRUE(txLog.lines.isEmpty());
    EXPECT_TRUE(events.online.empty());
}

TEST_F(CommandOverPty, SetStringBorrowsTheTextTypeForOneExchange)
{
    sim->ReplaceNextReply("COMPLETE\r\n");
    EXPECT_TRUE(command->SetString(kGa00, QStringLiteral("A1 B"), 1000));
    EXPECT_EQ(txLog.lines.last(), "Tx: GA00=A1 B");
    EXPECT_EQ(table.ValueTypeOf(kGa00), ValueType::Integer);

    sim->ReplaceNextReply("Error\r\n");
    EXPECT_FALSE(command->SetString(kGa00, QStringLiteral("x"), 1000));
    EXPECT_EQ(table.ValueTypeOf(kGa00), ValueType::Integer);

    sim->StopAnswering();
    EXPECT_FALSE(command->SetString(kGa00, QStringLiteral("y"), 100));
    EXPECT_EQ(table.ValueTypeOf(kGa00), ValueType::Integer);
    EXPECT_EQ(txLog.lines.last(), "Tx: GA00=y");

    // A Text command keeps its own type too.
    EXPECT_FALSE(command->SetString(kMd, QStringLiteral("z"), 100));
    EXPECT_EQ(table.ValueTypeOf(kMd), ValueType::Text);
}
