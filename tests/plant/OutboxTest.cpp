#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "core/plant/Outbox.h"

namespace {

QByteArray record(const char *station, int sequence)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("station"), QLatin1String(station)},
                                     {QStringLiteral("sequence"), sequence}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

// A log of five lines: two of ours, another station's, a line that is no record, one of ours.
const QByteArray kLog = record("s1", 1) + record("s1", 2) + record("s2", 9) + "{torn\n" + record("s1", 3);

} // namespace

TEST(Outbox, SendsWhatTheBrokerLacksInOrderWhateverStateItFinds)
{
    int argc = 0;
    const QCoreApplication application(argc, nullptr);
    const qsizetype afterSecond = record("s1", 1).size() * 2;
    const struct {
        const char *what;
        QByteArray state; // empty: no state file
        QList<int> sent;
        const char *said; // a piece of what is reported, or ""
    } cases[] = {
        {"no state yet", {}, {1, 2, 3}, "3 record(s) wait"},
        {"two acknowledged", "{\"offset\":" + QByteArray::number(afterSecond) + ",\"sequence\":2}\n", {3}, "1 record(s)"},
        {"offset inside a line", "{\"offset\":" + QByteArray::number(afterSecond - 5) + "}\n", {3}, "inside a line"},
        {"log truncated under it", "{\"offset\":99999}\n", {1, 2, 3}, "shorter than"},
        {"state broken", "{\"offs", {1, 2, 3}, "is broken"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const QString log = folder.filePath(QStringLiteral("line.jsonl"));
        QFile out(log);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kLog + "{\"station\":\"s1\",\"seq"); // and one still being written
        out.close();
        if (!c.state.isEmpty()) {
            QFile state(Outbox::StatePath(log));
            ASSERT_TRUE(state.open(QIODevice::WriteOnly));
            state.write(c.state);
        }
        bool connected = false;
        QList<int> sent;
        QStringList said;
        int ticket = 0;
        Outbox outbox(
            log, QStringLiteral("s1"),
            [&](const QByteArray &, const QJsonObject &object) {
                if (!connected)
                    return std::vector<int>{};
                sent.append(object.value(QStringLiteral("sequence")).toInt());
                return std::vector<int>{++ticket, ++ticket}; // the verdict and the last verdict
            },
            [&](const QString &text) { said.append(text); });
        outbox.Open();
        EXPECT_TRUE(said.join(u'\n').contains(QLatin1String(c.said))) << said.join(u'\n').toStdString();
        EXPECT_EQ(outbox.TakeSequence(), 4) << "after the highest in the log";
        outbox.Pump();
        EXPECT_TRUE(sent.isEmpty()) << "nothing goes without a connection";
        connected = true;
        outbox.Pump();
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(outbox.Backlog(), c.sent.size());
        for (int done = 1; done <= ticket; ++done)
            outbox.Acknowledged(done);
        EXPECT_EQ(outbox.Backlog(), 0);
        outbox.Flush();
        QFile state(Outbox::StatePath(log));
        ASSERT_TRUE(state.open(QIODevice::ReadOnly));
        EXPECT_EQ(QJsonDocument::fromJson(state.readAll()).object().value(QStringLiteral("offset")).toInteger(), kLog.size())
            << "up to the line still being written";
    }
}
