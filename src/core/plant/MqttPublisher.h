#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/plant/BrokerAddress.h"

class QSocketNotifier;
struct mosquitto;
struct BrokerLookup;

struct BrokerLogin {
    BrokerAddress address;
    QString password; // empty: none
    QString caFile;   // empty: the system's CA store, with TLS
    QString clientId;
    int keepAliveSeconds = 60;
};

// What the publisher tells its owner. All are called on the publisher's thread, from its
// event-loop handlers, never from inside a call of the owner's.
struct PublisherEvents {
    std::function<void()> connected;
    std::function<void()> disconnected;            // what was in flight will not be acknowledged
    std::function<void(int ticket)> acknowledged;   // the broker took a QoS 1 message
    std::function<void(const QString &)> message;  // for the operator: a problem once, and the link's news
};

// An MQTT client that publishes only, driven by the thread's Qt event loop: libmosquitto's
// socket on socket notifiers and its housekeeping on a timer, no thread of its own. It speaks
// MQTT 5 and falls back to 3.1.1 for a broker that does not; it connects again by itself after
// any failure, waiting 1 s, then twice as long each time up to 60 s, with some jitter. No call
// blocks: a name is looked up on a short-lived thread, the connection is made without waiting,
// and a message is handed to the socket or dropped (QoS 0) or refused (QoS 1) when there is no
// connection. Every connection starts a clean session: what was not acknowledged is the
// owner's to send again.
class MqttPublisher final : public QObject {
public:
    MqttPublisher(BrokerLogin login, QString willTopic, QByteArray willPayload, PublisherEvents events);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher &) = delete;
    MqttPublisher &operator=(const MqttPublisher &) = delete;

    void Start();
    bool IsConnected() const { return state_ == State::Connected; }
    // The MQTT version of the connection: 5, or 4 for 3.1.1.
    int ProtocolVersion() const { return protocol_; }

    // QoS 1: a ticket when handed to the connection, followed by acknowledged(ticket) or by
    // disconnected(); none without a connection.
    std::optional<int> PublishReliable(const QString &topic, const QByteArray &payload, bool retain);
    // QoS 0, sent only while connected; under MQTT 5 the broker drops it after expirySeconds.
    void PublishVolatile(const QString &topic, const QByteArray &payload, bool retain, int expirySeconds);
    int Unacknowledged() const { return static_cast<int>(unacknowledged_.size()); }

    // Waits, serving the event loop, until every message handed over is acknowledged or the
    // time is up, then leaves the broker cleanly, so that the Last Will is not sent.
    void Finish(std::uint32_t waitMs);

private:
    enum class State { Idle, LookingUp, Connecting, Connected, Waiting, Finished };

    void attempt();
    void connectTo(const QByteArray &host);
    void lookedUp();
    void housekeeping();
    void serve(bool readable, bool writable);
    void settle(int loopResult);
    void ended(int result);
    void refused(int code);
    void retryLater();
    void watchSocket();
    void dropConnection();
    void report(const QString &problem);
    QString describe(int result) const;

    // libmosquitto's callbacks.
    struct Hooks;

    const BrokerLogin login_;
    const QString willTopic_;
    const QByteArray willPayload_;
    const PublisherEvents events_;
    State state_ = State::Idle;
    int protocol_ = 5;
    mosquitto *client_ = nullptr;
    QSocketNotifier *readNotifier_ = nullptr;
    QSocketNotifier *writeNotifier_ = nullptr;
    QTimer housekeeping_;
    QTimer retry_;
    std::uint32_t retryDelayMs_ = 0;
    qint64 connectStarted_ = 0;
    std::shared_ptr<BrokerLookup> lookup_;
    std::set<int> unacknowledged_;
    // What the connection's callbacks saw, handled once libmosquitto's call has returned.
    std::optional<int> connack_;
    bool closed_ = false;
    std::vector<int> acknowledged_;
    QString refusal_;
    QString tlsError_;
    QString lastProblem_;
    bool triedOlderProtocol_ = false;
};
