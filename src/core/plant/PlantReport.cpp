#include "core/plant/PlantReport.h"

#include "core/operations/CameraReadouts.h"

#include <QDateTime>
#include <QJsonDocument>

#include "core/plant/Outbox.h"

namespace {

constexpr int kBacklogStatusAfterMs = 1000;
// Telemetry outlives this many periods only while it is renewed.
constexpr int kTelemetryPeriodsKept = 3;

QDateTime now()
{
    return QDateTime::currentDateTimeUtc();
}

} // namespace

PlantReport::PlantReport(PlantSettings settings, Say say) : settings_(std::move(settings)), say_(std::move(say))
{
    const QString statusTopic = StationTopic(settings_.login.address.root, settings_.station.stationId, "status");
    PublisherEvents events;
    events.connected = [this] { connected(); };
    events.disconnected = [this] {
        if (outbox_)
            outbox_->Disconnected();
    };
    events.acknowledged = [this](int ticket) {
        if (outbox_)
            outbox_->Acknowledged(ticket);
    };
    events.message = [this](const QString &text) { say_(QStringLiteral("MQTT: ") + text); };
    publisher_ = std::make_unique<MqttPublisher>(settings_.login, statusTopic,
                                                 StatusPayload(settings_.station, PresenceState::Lost, now(), 0),
                                                 std::move(events));
    if (!settings_.logPath.isEmpty())
        outbox_ = std::make_unique<Outbox>(
            settings_.logPath, settings_.station.stationId,
            [this](const QByteArray &line, const QJsonObject &record) { return sendRecord(line, record); }, say_);
    heartbeat_.setInterval(settings_.telemetrySeconds * 1000);
    QObject::connect(&heartbeat_, &QTimer::timeout, [this] { publishStatus(state_); });
    backlogChanged_.setSingleShot(true);
    backlogChanged_.setInterval(kBacklogStatusAfterMs);
    QObject::connect(&backlogChanged_, &QTimer::timeout, [this] { publishStatus(state_); });
}

PlantReport::~PlantReport()
{
    // The publisher's last events go to the outbox: it goes first.
    publisher_.reset();
}

void PlantReport::Start()
{
    if (outbox_)
        outbox_->Open();
    publisher_->Start();
    heartbeat_.start();
}

void PlantReport::connected()
{
    publishStatus(state_);
    publishCamera();
    if (outbox_)
        outbox_->Pump();
}

qint64 PlantReport::Backlog() const
{
    return outbox_ ? outbox_->Backlog() : 0;
}

void PlantReport::publishStatus(PresenceState state)
{
    const QString topic = StationTopic(settings_.login.address.root, settings_.station.stationId, "status");
    publisher_->PublishReliable(topic, StatusPayload(settings_.station, state, now(), Backlog()), true);
}

void PlantReport::publishCamera()
{
    const QString topic = StationTopic(settings_.login.address.root, settings_.station.stationId, "camera");
    publisher_->PublishReliable(topic, CameraPayload(settings_.station.stationId, camera_), true);
}

void PlantReport::StampRecord(QJsonObject &record)
{
    if (outbox_)
        StampVerdictRecord(record, settings_.station.stationId, outbox_->TakeSequence());
}

void PlantReport::RecordLogged()
{
    if (!outbox_)
        return;
    outbox_->Pump();
    backlogChanged_.start();
}

std::vector<int> PlantReport::sendRecord(const QByteArray &line, const QJsonObject &record)
{
    const QString &root = settings_.login.address.root;
    std::vector<int> tickets;
    const std::optional<int> verdict =
        publisher_->PublishReliable(StationTopic(root, settings_.station.stationId, "verdict"), line, false);
    if (!verdict)
        return tickets;
    tickets.push_back(*verdict);
    const QString cameraId = record.value(QStringLiteral("cameraId")).toString();
    if (!cameraId.isEmpty()) {
        if (const std::optional<int> last = publisher_->PublishReliable(CameraTopic(root, cameraId, "last-verdict"), line, true))
            tickets.push_back(*last);
    }
    if (!backlogChanged_.isActive())
        backlogChanged_.start();
    return tickets;
}

void PlantReport::PublishUnlogged(const QJsonObject &record)
{
    sendRecord(QJsonDocument(record).toJson(QJsonDocument::Compact), record);
}

void PlantReport::SetState(PresenceState state)
{
    if (state == state_)
        return;
    state_ = state;
    publishStatus(state_);
}

void PlantReport::CameraThere(const CameraPresence &camera)
{
    camera_ = camera;
    publishCamera();
}

void PlantReport::CameraGone()
{
    camera_ = CameraPresence{QString(), QString(), QString(), now()};
    publishCamera();
}

void PlantReport::Telemetry(TelemetryReading reading, const CameraReadouts &readouts)
{
    reading.periodSeconds = settings_.telemetrySeconds;
    if (!reading.time.isValid())
        reading.time = now();
    publisher_->PublishVolatile(CameraTopic(settings_.login.address.root, reading.cameraId, "telemetry"),
                                TelemetryPayload(settings_.station.stationId, reading, readouts), true,
                                kTelemetryPeriodsKept * settings_.telemetrySeconds);
}

void PlantReport::CameraOffline(const QString &cameraId, int rate)
{
    Telemetry(TelemetryReading{cameraId, false, rate, settings_.telemetrySeconds, now()}, CameraReadouts{});
}

void PlantReport::Finish(std::uint32_t waitMs)
{
    heartbeat_.stop();
    backlogChanged_.stop();
    publishStatus(PresenceState::Offline);
    publisher_->Finish(waitMs);
    if (!outbox_)
        return;
    outbox_->Flush();
    if (const qint64 waiting = outbox_->Backlog(); waiting > 0)
        say_(QStringLiteral("outbox %1: %2 record(s) still wait for the broker: they go after the next start")
                 .arg(settings_.logPath)
                 .arg(waiting));
}
