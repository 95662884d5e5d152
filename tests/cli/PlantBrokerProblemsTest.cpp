#include <algorithm>
#include <csignal>
#include <memory>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "QnctlRig.h"
#include "support/MosquittoBroker.h"

namespace {

constexpr int kCameraMs = 30000;

QStringList brokerArguments(const MosquittoBroker &broker, const QString &url, const QByteArray &password,
                            const QString &stationId)
{
    return {QStringLiteral("--mqtt"), url, QStringLiteral("--mqtt-password-file"), broker.PasswordFile(password),
            QStringLiteral("--station-id"), stationId};
}

// Whether a message after the first `from` is on a topic ending in the suffix with key: value.
bool seenSince(TopicRecorder &recorder, qsizetype from, const QString &suffix, const char *key, const QJsonValue &value)
{
    const QList<TopicRecorder::Message> messages = recorder.Messages().sliced(from);
    return std::any_of(messages.begin(), messages.end(), [&](const TopicRecorder::Message &message) {
        return message.topic.endsWith(suffix) && message.Json().value(QLatin1String(key)) == value;
    });
}

// Every line the camera received asks; none sets.
void expectOnlyQueries(const CameraSimulator &camera)
{
    const QList<QByteArray> received = camera.ReceivedLines();
    const auto asks = [](const QByteArray &line) { return line.endsWith('?'); };
    EXPECT_TRUE(!received.isEmpty() && std::ranges::all_of(received, asks)) << received.join(' ').data();
}

} // namespace

// The broker is out of reach for a reason the station's operator can mend: the camera is still
// provisioned and logged, and the reason is said once however often the station tries again.
TEST(PlantBrokerProblems, StationGivesItsVerdictAndNamesTheBrokerProblemOnce)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Started());
    TopicRecorder recorder(broker);
    // Side by side, each with a camera of its own.
    struct Case {
        const char *id;
        QString url;
        QByteArray password;
        QString ca;
        QByteArray said; // nothing: it works
        QnctlRig rig{9600, QnctlRig::Link::PluggableLink};
        QTemporaryDir folder{};
        std::unique_ptr<QnctlProcess> station{};
    } cases[] = {
        {"wrong-password", broker.Url(), "wrong", {}, "refused the login"},
        {"other-ca", broker.Url(true), "station-secret", broker.File(QStringLiteral("other-ca.crt")),
         "does not verify"},
        {"plain-to-tls", QStringLiteral("mqtt://station@127.0.0.1:%1/plant").arg(broker.TlsPort()),
         "station-secret", {}, "a TLS port needs mqtts://"},
        {"tls", broker.Url(true), "station-secret", broker.File(QStringLiteral("ca.crt")), {}},
    };
    for (Case &c : cases) {
        QFile setting(c.folder.filePath(QStringLiteral("line-setup.cam")));
        ASSERT_TRUE(setting.open(QIODevice::WriteOnly) && setting.write("GA=150\r\n") > 0);
        setting.close();
        QStringList arguments{QStringLiteral("--fast"), QStringLiteral("station"), setting.fileName(),
                              QStringLiteral("--log"), c.folder.filePath(QStringLiteral("log.jsonl"))};
        if (!c.ca.isEmpty())
            arguments += {QStringLiteral("--mqtt-ca"), c.ca};
        c.station = c.rig.Start(arguments + brokerArguments(broker, c.url, c.password, QLatin1String(c.id)));
    }
    for (Case &c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(c.station->WaitForLines(1, kCameraMs)) << c.station->Error().toStdString();
        EXPECT_TRUE(c.station->Lines()[0].startsWith("OK ")) << c.station->Lines()[0].toStdString();
        const QString verdict = QStringLiteral("/%1/verdict").arg(QLatin1String(c.id));
        const auto published = [&](TopicRecorder &r) { return seenSince(r, 0, verdict, "result", "ok"); };
        EXPECT_TRUE(c.said.isEmpty() ? recorder.WaitFor(published, 10000) : c.station->WaitForError(c.said, 10000))
            << c.station->Error().toStdString();
    }
    QThread::msleep(4500); // tried again after about 1 s and 3 s more
    for (Case &c : cases) {
        SCOPED_TRACE(c.id);
        c.station->Signal(SIGINT);
        const QnctlRun run = c.station->Finish(10000);
        EXPECT_EQ(run.exitCode, 0) << Describe(run);
        EXPECT_EQ(run.err.count(c.said.isEmpty() ? QByteArray("MQTT: connected") : c.said), 1) << Describe(run);
        QFile log(c.folder.filePath(QStringLiteral("log.jsonl")));
        EXPECT_TRUE(log.open(QIODevice::ReadOnly) && log.readAll().count("\"result\":\"ok\"") == 1);
    }
}

TEST(PlantWatch, PullAndReplugStopTelemetryMarkLostThenBothComeBack)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Started());
    TopicRecorder recorder(broker);
    QnctlRig rig{9600, QnctlRig::Link::PluggableLink};
    const std::unique_ptr<QnctlProcess> watch =
        rig.Start(QStringList{QStringLiteral("watch"), QStringLiteral("--telemetry-every"), QStringLiteral("1")} +
                  brokerArguments(broker, broker.Url(), "station-secret", QStringLiteral("w1")));
    const auto status = [&recorder](qsizetype from, const char *state) {
        return seenSince(recorder, from, QStringLiteral("/w1/status"), "state", QLatin1String(state));
    };
    const auto online = [&recorder](qsizetype from) {
        return seenSince(recorder, from, QStringLiteral("/telemetry"), "online", true);
    };
    const auto bothThereSince = [&](qsizetype from) {
        return recorder.WaitFor([&](TopicRecorder &) { return status(from, "online") && online(from); }, kCameraMs);
    };
    ASSERT_TRUE(bothThereSince(0));

    qsizetype mark = recorder.Messages().size();
    rig.Simulator().Unplug();
    ASSERT_TRUE(recorder.WaitFor([&](TopicRecorder &) { return status(mark, "lost"); }, 8000));
    mark = recorder.Messages().size();
    EXPECT_FALSE(recorder.WaitFor([&](TopicRecorder &) { return online(mark); }, 2500)) << "telemetry goes on";
    TopicRecorder latecomer(broker, QStringLiteral("plant/station/w1/status")); // is told at once
    EXPECT_TRUE(latecomer.WaitFor([](TopicRecorder &r) { return !r.Messages().isEmpty(); }, 3000));
    EXPECT_TRUE(latecomer.Messages().value(0).retained && latecomer.Messages().value(0).Json()["state"] == "lost");

    mark = recorder.Messages().size();
    ASSERT_TRUE(rig.Simulator().Replug({.powerCycle = true, .model = {}, .cameraId = {}}));
    ASSERT_TRUE(bothThereSince(mark));
    watch->Signal(SIGINT);
    EXPECT_EQ(watch->Finish(8000).exitCode, 0);
    EXPECT_TRUE(recorder.WaitFor([&](TopicRecorder &) { return status(mark, "offline"); }, 5000));
    expectOnlyQueries(rig.Simulator());
}

TEST(PlantWatch, WithoutBrokerOneJsonLinePerPeriodOnStandardOutputAndOnlyQueries)
{
    QnctlRig rig{9600, QnctlRig::Link::PluggableLink};
    const std::unique_ptr<QnctlProcess> watch =
        rig.Start({QStringLiteral("watch"), QStringLiteral("--telemetry-every"), QStringLiteral("1")});
    ASSERT_TRUE(watch->WaitForLines(2, kCameraMs)) << watch->Error().toStdString();
    for (const QByteArray &line : watch->Lines().first(2)) // an unreadable line has no temperature
        EXPECT_TRUE(QJsonDocument::fromJson(line).object()[QStringLiteral("temperature")].isDouble()) << line.data();
    watch->Signal(SIGINT);
    EXPECT_EQ(watch->Finish(5000).exitCode, 0);
    expectOnlyQueries(rig.Simulator());
}
