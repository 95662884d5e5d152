// What publishing to the plant's broker costs, against a real mosquitto on loopback, each beside
// its baseline. Run by hand:
//   bench_plant
// Targets: a log record reaches a subscriber within a median of 50 ms (baseline: the same
// message published by a bare libmosquitto client, no log); a backlog of 10,000 records is
// replayed within 5 s (baseline: 20,000 QoS 1 messages from a bare client); a station with
// the publisher stays within 16 MB resident (baseline: the same station without --mqtt).

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <mosquitto.h>

#include "QnctlTiming.h"
#include "cli/JsonLineLog.h"
#include "core/common/EventWait.h"
#include "core/plant/PlantReport.h"
#include "support/MosquittoBroker.h"

namespace {

using Clock = std::chrono::steady_clock;

// A dashboard on its own thread: when each message arrived, by payload.
class Subscriber {
public:
    Subscriber(const MosquittoBroker &broker, const char *topic)
    {
        client_ = mosquitto_new(nullptr, true, this);
        mosquitto_username_pw_set(client_, "dash", "dash-secret");
        mosquitto_message_callback_set(client_, [](mosquitto *, void *self, const mosquitto_message *message) {
            auto *subscriber = static_cast<Subscriber *>(self);
            const std::lock_guard<std::mutex> lock(subscriber->mutex_);
            subscriber->arrived_[QByteArray(static_cast<const char *>(message->payload), message->payloadlen)] = Clock::now();
        });
        mosquitto_connect(client_, "127.0.0.1", broker.TcpPort(), 60);
        mosquitto_subscribe(client_, nullptr, topic, 1);
        mosquitto_loop_start(client_);
        QThread::msleep(300);
    }
    ~Subscriber()
    {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }
    std::optional<Clock::time_point> Arrival(const QByteArray &payload)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = arrived_.find(payload);
        return found == arrived_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    mosquitto *client_ = nullptr;
    std::mutex mutex_;
    std::map<QByteArray, Clock::time_point> arrived_;
};

PlantSettings settingsFor(const MosquittoBroker &broker, const QString &log)
{
    PlantSettings settings;
    settings.login.address = {false, QStringLiteral("station"), QStringLiteral("127.0.0.1"), broker.TcpPort(), QStringLiteral("plant")};
    settings.login.password = QStringLiteral("station-secret");
    settings.login.clientId = QStringLiteral("bench");
    settings.station = {QStringLiteral("b1"), QStringLiteral("station"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("bench")};
    settings.logPath = log;
    return settings;
}

QJsonObject sample(int n)
{
    return {{QStringLiteral("cameraId"), QStringLiteral("QN%1").arg(n, 8, 10, QLatin1Char('0'))},
            {QStringLiteral("result"), QStringLiteral("ok")},
            {QStringLiteral("model"), QStringLiteral("QN-5200RL-BDXP")},
            {QStringLiteral("sha256"), QString(64, u'a')}};
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void latency(const MosquittoBroker &broker, const QTemporaryDir &folder)
{
    Subscriber subscriber(broker, "plant/station/b1/verdict");
    const QString log = folder.filePath(QStringLiteral("latency.jsonl"));
    JsonLineLog file;
    file.Open(log);
    PlantReport report(settingsFor(broker, log), [](const QString &) {});
    report.Start();
    WaitServingEvents(3000, [&report] { return report.Connected(); });
    std::vector<double> ours;
    for (int n = 0; n < 200; ++n) {
        QJsonObject record = sample(n);
        report.StampRecord(record);
        const Clock::time_point start = Clock::now();
        file.Append(record);
        report.RecordLogged();
        const QByteArray payload = QJsonDocument(record).toJson(QJsonDocument::Compact);
        WaitServingEvents(2000, [&] { return subscriber.Arrival(payload).has_value(); });
        if (const auto arrived = subscriber.Arrival(payload))
            ours.push_back(msBetween(start, *arrived));
    }
    mosquitto *bare = mosquitto_new(nullptr, true, nullptr);
    mosquitto_username_pw_set(bare, "station", "station-secret");
    mosquitto_connect(bare, "127.0.0.1", broker.TcpPort(), 60);
    mosquitto_loop_start(bare);
    std::vector<double> baseline;
    for (int n = 0; n < 200; ++n) {
        const QByteArray payload = "bare " + QByteArray::number(n);
        const Clock::time_point start = Clock::now();
        mosquitto_publish(bare, nullptr, "plant/station/b1/verdict", static_cast<int>(payload.size()), payload.constData(), 1, false);
        while (!subscriber.Arrival(payload) && msBetween(start, Clock::now()) < 2000)
            QThread::usleep(100);
        if (const auto arrived = subscriber.Arrival(payload))
            baseline.push_back(msBetween(start, *arrived));
    }
    mosquitto_loop_stop(bare, true);
    mosquitto_destroy(bare);
    report.Finish(2000);
    std::printf("record to subscriber: median %.2f ms over %zu (log written and fsynced first); bare client: median %.2f ms "
                "(target: median <= 50 ms)\n",
                Median(ours), ours.size(), Median(baseline));
}

void replay(const MosquittoBroker &broker, const QTemporaryDir &folder)
{
    constexpr int kRecords = 10000;
    const QString log = folder.filePath(QStringLiteral("backlog.jsonl"));
    QFile out(log);
    out.open(QIODevice::WriteOnly);
    for (int n = 1; n <= kRecords; ++n) {
        QJsonObject record = sample(n);
        StampVerdictRecord(record, QStringLiteral("b1"), n);
        out.write(QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n');
    }
    out.close();
    PlantReport report(settingsFor(broker, log), [](const QString &) {});
    const Clock::time_point start = Clock::now();
    report.Start();
    WaitServingEvents(60000, [&report] { return report.Backlog() == 0; });
    const double ours = msBetween(start, Clock::now());
    const qint64 left = report.Backlog();
    report.Finish(2000);

    mosquitto *bare = mosquitto_new(nullptr, true, nullptr);
    mosquitto_username_pw_set(bare, "station", "station-secret");
    mosquitto_connect(bare, "127.0.0.1", broker.TcpPort(), 60);
    int acknowledged = 0;
    mosquitto_user_data_set(bare, &acknowledged);
    mosquitto_publish_callback_set(bare, [](mosquitto *, void *data, int) { ++*static_cast<int *>(data); });
    const Clock::time_point bareStart = Clock::now();
    const QByteArray payload = QJsonDocument(sample(1)).toJson(QJsonDocument::Compact);
    for (int n = 0; n < 2 * kRecords; ++n)
        mosquitto_publish(bare, nullptr, "plant/bench/bare", static_cast<int>(payload.size()), payload.constData(), 1, false);
    while (acknowledged < 2 * kRecords && msBetween(bareStart, Clock::now()) < 60000)
        mosquitto_loop(bare, 10, 1);
    const double baseline = msBetween(bareStart, Clock::now());
    mosquitto_destroy(bare);
    std::printf("backlog of %d records (two messages each) replayed and acknowledged: %.0f ms, %lld left; bare client, "
                "%d messages: %.0f ms (target: <= 5000 ms)\n",
                kRecords, ours, static_cast<long long>(left), 2 * kRecords, baseline);
}

// The station's peak resident memory after its first camera, with and without the publisher.
long stationPeakKb(const MosquittoBroker &broker, const QTemporaryDir &folder, bool publishing)
{
    const QString camera = folder.filePath(publishing ? QStringLiteral("cam-mqtt") : QStringLiteral("cam-plain"));
    QProcess simulator;
    simulator.start(QStringLiteral(QN_SIM_PATH), {QStringLiteral("--link"), camera});
    for (int i = 0; i < 50 && !QFile::exists(camera); ++i)
        QThread::msleep(100);
    QFile setting(folder.filePath(QStringLiteral("line.cam")));
    setting.open(QIODevice::WriteOnly);
    setting.write("GA=150\r\nWTC=2048\r\n");
    setting.close();
    QStringList arguments{QStringLiteral("--settings"), folder.filePath(QStringLiteral("qnctl.ini")), QStringLiteral("--port"),
                          camera, QStringLiteral("station"), setting.fileName(), QStringLiteral("--log"),
                          folder.filePath(QStringLiteral("station.jsonl")), QStringLiteral("--telemetry-every"), QStringLiteral("1")};
    if (publishing)
        arguments += {QStringLiteral("--station-id"), QStringLiteral("mem"), QStringLiteral("--mqtt"), broker.Url(),
                      QStringLiteral("--mqtt-password-file"), broker.PasswordFile("station-secret")};
    QProcess station;
    station.start(QStringLiteral(QNCTL_PATH), arguments);
    station.setReadChannel(QProcess::StandardOutput);
    station.waitForReadyRead(30000);
    QThread::sleep(4); // a few telemetry periods
    long peak = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(station.processId()));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    station.terminate();
    station.waitForFinished(10000);
    simulator.terminate();
    simulator.waitForFinished(5000);
    return peak;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const MosquittoBroker broker;
    if (!broker.Started()) {
        std::fprintf(stderr, "bench_plant: the broker did not start\n");
        return 1;
    }
    const QTemporaryDir folder;
    latency(broker, folder);
    replay(broker, folder);
    const long plain = stationPeakKb(broker, folder, false);
    const long publishing = stationPeakKb(broker, folder, true);
    std::printf("station peak resident memory: %.1f MB with the publisher, %.1f MB without (target: <= 16 MB)\n",
                publishing / 1024.0, plain / 1024.0);
    return 0;
}
