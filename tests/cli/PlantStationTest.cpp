#include <csignal>

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "QnctlRig.h"
#include "support/MosquittoBroker.h"

namespace {

constexpr int kWaitMs = 30000;

// A station on a pluggable camera, publishing to a broker of its own.
struct PlantBench {
    MosquittoBroker broker;
    QnctlRig rig{9600, QnctlRig::Link::PluggableLink};
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("line.cam"));
    QString log = folder.filePath(QStringLiteral("line.jsonl"));

    explicit PlantBench(int fileLines = 2)
    {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("GA=150\r\n" + QByteArray("WTC=2048\r\n").repeated(fileLines - 1));
    }
    std::unique_ptr<QnctlProcess> Start() const
    {
        return rig.Start({QStringLiteral("--fast"), QStringLiteral("station"), file, QStringLiteral("--log"), log,
                          QStringLiteral("--station-id"), QStringLiteral("line1"), QStringLiteral("--mqtt"), broker.Url(),
                          QStringLiteral("--mqtt-password-file"), broker.PasswordFile("station-secret")});
    }
    void NextCamera(QnctlProcess &station, int waits, const QString &id)
    {
        rig.Simulator().Unplug();
        ASSERT_TRUE(station.WaitForError("Waiting for a camera", kWaitMs, waits));
        PlugOptions options;
        options.powerCycle = true;
        options.cameraId = id;
        ASSERT_TRUE(rig.Simulator().Replug(options));
    }
};

QStringList events(TopicRecorder &recorder)
{
    QStringList seen;
    for (const TopicRecorder::Message &message : recorder.On(QStringLiteral("/station/line1/verdict")))
        seen.append(message.Json().value(QStringLiteral("event")).toString());
    return seen;
}

QStringList logged(const QString &log)
{
    QFile in(log);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    QStringList seen;
    for (const QByteArray &line : in.readAll().split('\n')) {
        if (!line.isEmpty())
            seen.append(QJsonDocument::fromJson(line).object().value(QStringLiteral("event")).toString());
    }
    return seen;
}

QString lastState(TopicRecorder &recorder)
{
    const QList<TopicRecorder::Message> status = recorder.On(QStringLiteral("/station/line1/status"));
    return status.isEmpty() ? QString() : status.last().Json().value(QStringLiteral("state")).toString();
}

// Each verdict once at least, in the log's order once duplicates are dropped.
void expectEveryVerdictInOrder(TopicRecorder &recorder, const QString &log, int count)
{
    ASSERT_TRUE(recorder.WaitFor([&](TopicRecorder &r) { return events(r).size() >= count; }, kWaitMs))
        << events(recorder).join(u' ').toStdString();
    QStringList unique;
    for (const QString &event : events(recorder)) {
        if (!unique.contains(event))
            unique.append(event);
    }
    EXPECT_EQ(unique, logged(log));
    EXPECT_EQ(unique.size(), count);
}

} // namespace

TEST(PlantStation, ThreeCamerasVerdictsCameraStatusAndLastVerdictsReachTheBroker)
{
    PlantBench bench(200);
    ASSERT_TRUE(bench.broker.Started());
    TopicRecorder recorder(bench.broker);
    CameraSimulator &camera = bench.rig.Simulator();
    const std::unique_ptr<QnctlProcess> station = bench.Start();
    ASSERT_TRUE(station->WaitForLines(1, kWaitMs)) << station->Error().toStdString();

    camera.RefuseMnemonic(QStringLiteral("GA"));
    bench.NextCamera(*station, 2, QStringLiteral("QN00000002"));
    ASSERT_TRUE(station->WaitForLines(2, kWaitMs)) << station->Error().toStdString();
    camera.AcceptMnemonic(QStringLiteral("GA"));
    // The third is pulled while the file goes in.
    bench.NextCamera(*station, 3, QStringLiteral("QN00000003"));
    ASSERT_TRUE(station->WaitForError("loading", kWaitMs, 3));
    camera.Unplug();
    ASSERT_TRUE(station->WaitForLines(3, kWaitMs)) << station->Error().toStdString();

    expectEveryVerdictInOrder(recorder, bench.log, 3);
    const struct {
        const char *camera;
        const char *result;
    } expected[] = {{nullptr, "ok"}, {"QN00000002", "differs"}, {"QN00000003", "failed"}};
    const QList<TopicRecorder::Message> verdicts = recorder.On(QStringLiteral("/verdict"));
    for (int i = 0; i < 3; ++i) {
        const QJsonObject record = verdicts[i].Json();
        EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QLatin1String(expected[i].result)) << i;
        EXPECT_FALSE(verdicts[i].retained);
        EXPECT_EQ(record.value(QStringLiteral("schema")).toString(), QStringLiteral("qn-station-verdict/1"));
        const QString id = record.value(QStringLiteral("cameraId")).toString();
        if (expected[i].camera != nullptr) {
            EXPECT_EQ(id, QLatin1String(expected[i].camera));
        }
        const QString lastTopic = QStringLiteral("/camera/%1/last-verdict").arg(id);
        ASSERT_TRUE(recorder.WaitFor([&](TopicRecorder &r) { return !r.On(lastTopic).isEmpty(); }, 5000)) << i;
        const QList<TopicRecorder::Message> last = recorder.On(lastTopic);
        ASSERT_EQ(last.size(), 1) << id.toStdString();
        EXPECT_EQ(last[0].payload, verdicts[i].payload);
    }
    // What a dashboard that connects now is given: the retained topics, complete.
    TopicRecorder late(bench.broker);
    ASSERT_TRUE(late.WaitFor([](TopicRecorder &r) { return r.On(QStringLiteral("/last-verdict")).size() == 3; }, 5000));
    // The third camera was pulled: none is there once the station has seen it go.
    EXPECT_TRUE(late.WaitFor(
        [](TopicRecorder &r) {
            const QList<TopicRecorder::Message> camera = r.On(QStringLiteral("/station/line1/camera"));
            return !camera.isEmpty() && camera.last().Json().value(QStringLiteral("cameraId")).isNull();
        },
        kWaitMs));
    EXPECT_TRUE(late.On(QStringLiteral("/station/line1/camera"))[0].retained);
    EXPECT_EQ(lastState(late), QStringLiteral("online"));

    station->Signal(SIGTERM);
    station->Finish(10000);
    EXPECT_TRUE(recorder.WaitFor([](TopicRecorder &r) { return lastState(r) == QStringLiteral("offline"); }, 5000));
}

TEST(PlantStation, BrokerDownAtStartThenKilledMidwayLosesNoVerdictAndAKilledStationIsLost)
{
    PlantBench bench;
    ASSERT_TRUE(bench.broker.Started());
    TopicRecorder recorder(bench.broker);
    bench.broker.Stop();
    const std::unique_ptr<QnctlProcess> station = bench.Start();
    ASSERT_TRUE(station->WaitForLines(1, kWaitMs)) << station->Error().toStdString();
    bench.NextCamera(*station, 2, QStringLiteral("QN00000002"));
    ASSERT_TRUE(station->WaitForLines(2, kWaitMs));
    ASSERT_TRUE(station->WaitForError("refused", kWaitMs)) << station->Error().toStdString();

    ASSERT_TRUE(bench.broker.Restart());
    expectEveryVerdictInOrder(recorder, bench.log, 2);

    // A crash of the broker between two cameras, and one more camera while it is away.
    bench.broker.Kill();
    bench.NextCamera(*station, 3, QStringLiteral("QN00000003"));
    ASSERT_TRUE(station->WaitForLines(3, kWaitMs));
    ASSERT_TRUE(bench.broker.Restart());
    expectEveryVerdictInOrder(recorder, bench.log, 3);
    EXPECT_TRUE(recorder.WaitFor([](TopicRecorder &r) { return lastState(r) == QStringLiteral("online"); }, kWaitMs));

    ::kill(station->Pid(), SIGKILL);
    EXPECT_TRUE(recorder.WaitFor([](TopicRecorder &r) { return lastState(r) == QStringLiteral("lost"); }, kWaitMs))
        << "the Last Will";
}
