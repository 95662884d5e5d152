#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QTimer>

#include "core/plant/MqttPublisher.h"
#include "core/plant/PlantTopics.h"

class Outbox;
struct CameraReadouts;

struct PlantSettings {
    BrokerLogin login;
    StationDescription station;
    int telemetrySeconds = 10;
    QString logPath; // the outbox of the verdicts; empty for a watcher, which has none
};

// What a station or a camera watcher tells the plant's broker: its status (retained, with the
// Last Will "lost"), the camera there now, every verdict through the outbox, and the camera's
// telemetry. The status goes again every telemetry period, so a page sees when it was last
// heard, and a moment after the backlog changed. Nothing here waits for the broker.
class PlantReport {
public:
    using Say = std::function<void(const QString &)>;
    PlantReport(PlantSettings settings, Say say);
    ~PlantReport();
    PlantReport(const PlantReport &) = delete;
    PlantReport &operator=(const PlantReport &) = delete;

    void Start();
    // A station's log record made a verdict message: stamped before it is logged.
    void StampRecord(QJsonObject &record);
    // A record was appended to the log: it goes out, after those that wait.
    void RecordLogged();
    // A record the log did not take: sent once as it is, not kept for a second try.
    void PublishUnlogged(const QJsonObject &record);
    // A watcher's camera that went away leaves the status "lost" until it is back.
    void SetState(PresenceState state);
    void CameraThere(const CameraPresence &camera);
    void CameraGone();
    void Telemetry(TelemetryReading reading, const CameraReadouts &readouts);
    // The camera is away (pulled, powered off): its telemetry says so, its last values expire.
    void CameraOffline(const QString &cameraId, int rate);
    qint64 Backlog() const;
    bool Connected() const { return publisher_->IsConnected(); }
    // Publishes "offline", waits at most waitMs for the broker to take what is in flight, and
    // leaves it cleanly.
    void Finish(std::uint32_t waitMs);

private:
    void connected();
    void publishStatus(PresenceState state);
    void publishCamera();
    std::vector<int> sendRecord(const QByteArray &line, const QJsonObject &record);

    const PlantSettings settings_;
    const Say say_;
    std::unique_ptr<MqttPublisher> publisher_;
    std::unique_ptr<Outbox> outbox_;
    CameraPresence camera_{QString(), QString(), QString(), QDateTime::currentDateTimeUtc()};
    PresenceState state_ = PresenceState::Online;
    QTimer heartbeat_;
    QTimer backlogChanged_;
};
