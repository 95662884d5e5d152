#include "core/plant/MqttPublisher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include "core/common/EventWait.h"
#include "core/transport/NameLookup.h"

namespace {

constexpr std::uint32_t kFirstRetryMs = 1000;
constexpr std::uint32_t kLastRetryMs = 60000;
constexpr int kHousekeepingMs = 250;
constexpr std::uint32_t kLookupMs = 3000;
// A broker that takes a connection but never answers it is given up after this.
constexpr qint64 kConnackMs = 10000;
constexpr int kVersion5 = MQTT_PROTOCOL_V5;
constexpr int kVersion311 = MQTT_PROTOCOL_V311;

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QByteArray numericAddress(const TcpEndpoint &endpoint)
{
    char host[NI_MAXHOST] = {};
    if (getnameinfo(reinterpret_cast<const sockaddr *>(&endpoint.address), endpoint.length, host, sizeof host, nullptr,
                    0, NI_NUMERICHOST) != 0)
        return QByteArray();
    return QByteArray(host);
}

bool isNumericHost(const QString &host)
{
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *found = nullptr;
    const bool numeric = getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found) == 0;
    if (found != nullptr)
        freeaddrinfo(found);
    return numeric;
}

// The properties of one message under MQTT 5, freed with it.
class Properties {
public:
    Properties() = default;
    ~Properties() { mosquitto_property_free_all(&list_); }
    Properties(const Properties &) = delete;
    Properties &operator=(const Properties &) = delete;
    void ContentTypeJson() { mosquitto_property_add_string(&list_, MQTT_PROP_CONTENT_TYPE, "application/json"); }
    void Expiry(int seconds)
    {
        if (seconds > 0)
            mosquitto_property_add_int32(&list_, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL, static_cast<std::uint32_t>(seconds));
    }
    mosquitto_property *List() { return list_; }

private:
    mosquitto_property *list_ = nullptr;
};

QString loginRefusal(int code)
{
    switch (code) {
    case CONNACK_REFUSED_BAD_USERNAME_PASSWORD:
    case CONNACK_REFUSED_NOT_AUTHORIZED:
    case MQTT_RC_BAD_USERNAME_OR_PASSWORD:
    case MQTT_RC_NOT_AUTHORIZED:
        return QStringLiteral("the broker refused the login (%1): check the user in the URL and the password file")
            .arg(QString::fromUtf8(code < 128 ? mosquitto_connack_string(code) : mosquitto_reason_string(code)));
    default:
        return QStringLiteral("the broker refused the connection: %1")
            .arg(QString::fromUtf8(code < 128 ? mosquitto_connack_string(code) : mosquitto_reason_string(code)));
    }
}

} // namespace

// The name looked up on a thread of its own; the publisher looks at the result from its
// housekeeping timer, so the thread never touches the publisher, which may be gone by then.
struct BrokerLookup {
    std::mutex mutex;
    bool done = false;
    NameLookup result;
};

struct MqttPublisher::Hooks {
    static void connect(mosquitto *, void *self, int code, int, const mosquitto_property *)
    {
        static_cast<MqttPublisher *>(self)->connack_ = code;
    }
    static void disconnect(mosquitto *, void *self, int, const mosquitto_property *)
    {
        static_cast<MqttPublisher *>(self)->closed_ = true;
    }
    static void publish(mosquitto *, void *self, int ticket, int code, const mosquitto_property *)
    {
        auto *publisher = static_cast<MqttPublisher *>(self);
        // A refusal (an ACL that denies the topic, under MQTT 5) is no delivery: the message
        // stays unacknowledged and goes again after the next connection.
        if (code >= MQTT_RC_UNSPECIFIED) {
            publisher->refusal_ = QString::fromUtf8(mosquitto_reason_string(code));
            return;
        }
        if (publisher->unacknowledged_.erase(ticket) != 0)
            publisher->acknowledged_.push_back(ticket);
    }
    static void log(mosquitto *, void *self, int level, const char *text)
    {
        if (level == MOSQ_LOG_ERR && std::strstr(text, "OpenSSL") != nullptr)
            static_cast<MqttPublisher *>(self)->tlsError_ = QString::fromUtf8(text);
    }
};

MqttPublisher::MqttPublisher(BrokerLogin login, QString willTopic, QByteArray willPayload, PublisherEvents events)
    : login_(std::move(login)), willTopic_(std::move(willTopic)), willPayload_(std::move(willPayload)),
      events_(std::move(events))
{
    initialiseLibrary();
    housekeeping_.setInterval(kHousekeepingMs);
    connect(&housekeeping_, &QTimer::timeout, this, [this] { housekeeping(); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] { attempt(); });
}

MqttPublisher::~MqttPublisher()
{
    dropConnection();
}

void MqttPublisher::Start()
{
    if (state_ != State::Idle)
        return;
    housekeeping_.start();
    attempt();
}

void MqttPublisher::attempt()
{
    if (state_ == State::Finished)
        return;
    const QString &host = login_.address.host;
    if (host == QLatin1String("localhost") || isNumericHost(host)) {
        connectTo(host.toUtf8());
        return;
    }
    state_ = State::LookingUp;
    lookup_ = std::make_shared<BrokerLookup>();
    std::thread([lookup = lookup_, name = host.toUtf8(), port = QByteArray::number(login_.address.port)] {
        NameLookup result = LookUpName(name, port, kLookupMs, -1);
        const std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->result = std::move(result);
        lookup->done = true;
    }).detach();
}

void MqttPublisher::lookedUp()
{
    NameLookup result;
    {
        const std::lock_guard<std::mutex> lock(lookup_->mutex);
        if (!lookup_->done)
            return;
        result = lookup_->result;
    }
    lookup_.reset();
    const QString &host = login_.address.host;
    if (result.outcome != NameLookup::Outcome::Found || result.endpoints.empty()) {
        report(result.outcome == NameLookup::Outcome::TimedOut
                   ? QStringLiteral("the broker's host %1 is not known: the name service did not answer").arg(host)
                   : QStringLiteral("the broker's host %1 is not known: %2")
                         .arg(host, QString::fromLocal8Bit(gai_strerror(result.status))));
        retryLater();
        return;
    }
    // With TLS the certificate is checked against the name, so libmosquitto gets the name
    // (the resolver has just answered it); without, the address that was found.
    connectTo(login_.address.tls ? host.toUtf8() : numericAddress(result.endpoints.front()));
}

void MqttPublisher::connectTo(const QByteArray &host)
{
    dropConnection();
    connack_.reset();
    closed_ = false;
    tlsError_.clear();
    client_ = mosquitto_new(login_.clientId.toUtf8().constData(), true, this);
    if (client_ == nullptr) {
        report(QStringLiteral("no MQTT client could be made: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        retryLater();
        return;
    }
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, protocol_);
    mosquitto_connect_v5_callback_set(client_, &Hooks::connect);
    mosquitto_disconnect_v5_callback_set(client_, &Hooks::disconnect);
    mosquitto_publish_v5_callback_set(client_, &Hooks::publish);
    mosquitto_log_callback_set(client_, &Hooks::log);
    if (!login_.address.user.isEmpty())
        mosquitto_username_pw_set(client_, login_.address.user.toUtf8().constData(),
                                  login_.password.isEmpty() ? nullptr : login_.password.toUtf8().constData());
    if (!willTopic_.isEmpty()) {
        // On success libmosquitto owns the properties and frees them with the client.
        mosquitto_property *properties = nullptr;
        if (protocol_ == kVersion5)
            mosquitto_property_add_string(&properties, MQTT_PROP_CONTENT_TYPE, "application/json");
        if (mosquitto_will_set_v5(client_, willTopic_.toUtf8().constData(), static_cast<int>(willPayload_.size()),
                                  willPayload_.constData(), 1, true, properties) != MOSQ_ERR_SUCCESS)
            mosquitto_property_free_all(&properties);
    }
    if (login_.address.tls) {
        int result = MOSQ_ERR_SUCCESS;
        if (login_.caFile.isEmpty())
            result = mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            result = mosquitto_tls_set(client_, QFile::encodeName(login_.caFile).constData(), nullptr, nullptr, nullptr,
                                       nullptr);
        if (result != MOSQ_ERR_SUCCESS) {
            report(QStringLiteral("TLS cannot be set up with %1: %2")
                       .arg(login_.caFile.isEmpty() ? QStringLiteral("the system's CA store") : login_.caFile,
                            describe(result)));
            retryLater();
            return;
        }
        mosquitto_tls_opts_set(client_, 1, nullptr, nullptr);
    }
    state_ = State::Connecting;
    connectStarted_ = QDateTime::currentMSecsSinceEpoch();
    const int result = mosquitto_connect_async(client_, host.constData(), login_.address.port, login_.keepAliveSeconds);
    if (result != MOSQ_ERR_SUCCESS) {
        ended(result);
        return;
    }
    watchSocket();
    serve(false, true);
}

void MqttPublisher::watchSocket()
{
    const int fd = mosquitto_socket(client_);
    if (fd < 0)
        return;
    readNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, [this] { serve(true, false); });
    writeNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { serve(false, true); });
}

void MqttPublisher::serve(bool readable, bool writable)
{
    if (client_ == nullptr)
        return;
    int result = MOSQ_ERR_SUCCESS;
    if (readable)
        result = mosquitto_loop_read(client_, 1);
    if (result == MOSQ_ERR_SUCCESS && writable && mosquitto_want_write(client_))
        result = mosquitto_loop_write(client_, 1);
    settle(result);
}

void MqttPublisher::housekeeping()
{
    if (lookup_) {
        lookedUp();
        return;
    }
    if (client_ == nullptr)
        return;
    if (state_ == State::Connecting && QDateTime::currentMSecsSinceEpoch() - connectStarted_ > kConnackMs) {
        ended(MOSQ_ERR_TIMEOUT);
        return;
    }
    settle(mosquitto_loop_misc(client_));
}

void MqttPublisher::settle(int loopResult)
{
    if (connack_) {
        const int code = *connack_;
        connack_.reset();
        if (code != MOSQ_ERR_SUCCESS) {
            refused(code);
            return;
        }
        state_ = State::Connected;
        retryDelayMs_ = 0;
        triedOlderProtocol_ = false;
        lastProblem_.clear();
        if (events_.message)
            events_.message(QStringLiteral("connected to %1 (MQTT %2)")
                                .arg(BrokerAddressText(login_.address),
                                     protocol_ == kVersion5 ? QStringLiteral("5") : QStringLiteral("3.1.1")));
        if (events_.connected)
            events_.connected();
    }
    if (!refusal_.isEmpty()) {
        report(QStringLiteral("the broker refused a message: %1").arg(refusal_));
        refusal_.clear();
    }
    std::vector<int> acknowledged;
    acknowledged.swap(acknowledged_);
    for (const int ticket : acknowledged) {
        if (events_.acknowledged)
            events_.acknowledged(ticket);
    }
    if (client_ == nullptr)
        return;
    if (loopResult != MOSQ_ERR_SUCCESS || closed_) {
        ended(loopResult == MOSQ_ERR_SUCCESS ? MOSQ_ERR_CONN_LOST : loopResult);
        return;
    }
    if (writeNotifier_ != nullptr)
        writeNotifier_->setEnabled(mosquitto_want_write(client_));
}

void MqttPublisher::refused(int code)
{
    dropConnection();
    if (protocol_ == kVersion5 &&
        (code == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION || code == CONNACK_REFUSED_PROTOCOL_VERSION)) {
        protocol_ = kVersion311;
        if (events_.message)
            events_.message(QStringLiteral("the broker does not speak MQTT 5: going on with 3.1.1"));
        attempt();
        return;
    }
    report(loginRefusal(code));
    retryLater();
}

void MqttPublisher::ended(int result)
{
    const bool wasUp = state_ == State::Connected;
    const QString reason = describe(result);
    dropConnection();
    if (wasUp) {
        report(QStringLiteral("the connection to %1 was lost: %2; connecting again")
                   .arg(BrokerAddressText(login_.address), reason));
        retryLater();
        return;
    }
    // A broker of MQTT 3.1.1 only may close a connection that asks for 5 without an answer:
    // it is asked once in 3.1.1 before this counts as a failure.
    const bool unanswered = (result == MOSQ_ERR_CONN_LOST || result == MOSQ_ERR_PROTOCOL) && tlsError_.isEmpty();
    if (unanswered && !triedOlderProtocol_) {
        triedOlderProtocol_ = true;
        protocol_ = protocol_ == kVersion5 ? kVersion311 : kVersion5;
        attempt();
        return;
    }
    triedOlderProtocol_ = false;
    protocol_ = kVersion5;
    report(QStringLiteral("cannot connect to %1: %2").arg(BrokerAddressText(login_.address), reason));
    retryLater();
}

void MqttPublisher::retryLater()
{
    if (state_ == State::Finished)
        return;
    state_ = State::Waiting;
    retryDelayMs_ = retryDelayMs_ == 0 ? kFirstRetryMs : std::min(retryDelayMs_ * 2, kLastRetryMs);
    // A fifth either way, so that the stations of a line that lost the broker together do
    // not all come back in the same instant.
    const double jitter = 0.8 + 0.4 * QRandomGenerator::global()->generateDouble();
    retry_.start(static_cast<int>(retryDelayMs_ * jitter));
}

void MqttPublisher::dropConnection()
{
    // This may run inside a notifier's own signal: it goes once that has returned.
    for (QSocketNotifier **notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier != nullptr) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (client_ != nullptr) {
        mosquitto_destroy(client_);
        client_ = nullptr;
    }
    unacknowledged_.clear();
    if (state_ == State::Connected) {
        state_ = State::Idle;
        if (events_.disconnected)
            events_.disconnected();
    }
}

void MqttPublisher::report(const QString &problem)
{
    if (problem == lastProblem_)
        return;
    lastProblem_ = problem;
    if (events_.message)
        events_.message(problem);
}

QString MqttPublisher::describe(int result) const
{
    if (!tlsError_.isEmpty() || result == MOSQ_ERR_TLS) {
        const QString detail = tlsError_.isEmpty() ? QStringLiteral("the TLS handshake failed") : tlsError_;
        if (detail.contains(QLatin1String("certificate verify failed")))
            return QStringLiteral("the broker's certificate does not verify against %1 (%2)")
                .arg(login_.caFile.isEmpty() ? QStringLiteral("the system's CA store") : login_.caFile, detail);
        return detail;
    }
    if (result == MOSQ_ERR_ERRNO) {
        const int error = errno;
        if (error == ECONNREFUSED)
            return QStringLiteral("the connection was refused (is the broker running on port %1?)")
                .arg(login_.address.port);
        return QString::fromLocal8Bit(std::strerror(error));
    }
    if (result == MOSQ_ERR_CONN_LOST && state_ == State::Connecting)
        return login_.address.tls
                   ? QStringLiteral("the broker closed the connection before it answered")
                   : QStringLiteral("the broker closed the connection before it answered (a TLS port needs mqtts://)");
    if (result == MOSQ_ERR_PROTOCOL && state_ == State::Connecting && !login_.address.tls)
        return QStringLiteral("the broker does not answer in MQTT (a TLS port needs mqtts://)");
    if (result == MOSQ_ERR_TIMEOUT)
        return QStringLiteral("the broker did not answer within %1 s").arg(kConnackMs / 1000);
    return QString::fromUtf8(mosquitto_strerror(result));
}

std::optional<int> MqttPublisher::PublishReliable(const QString &topic, const QByteArray &payload, bool retain)
{
    if (state_ != State::Connected)
        return std::nullopt;
    Properties properties;
    if (protocol_ == kVersion5)
        properties.ContentTypeJson();
    int ticket = 0;
    const int result = mosquitto_publish_v5(client_, &ticket, topic.toUtf8().constData(), static_cast<int>(payload.size()),
                                            payload.constData(), 1, retain, properties.List());
    if (result != MOSQ_ERR_SUCCESS) {
        settle(result);
        return std::nullopt;
    }
    unacknowledged_.insert(ticket);
    settle(MOSQ_ERR_SUCCESS);
    if (state_ != State::Connected)
        return std::nullopt;
    return ticket;
}

void MqttPublisher::PublishVolatile(const QString &topic, const QByteArray &payload, bool retain, int expirySeconds)
{
    if (state_ != State::Connected)
        return;
    Properties properties;
    if (protocol_ == kVersion5) {
        properties.ContentTypeJson();
        properties.Expiry(expirySeconds);
    }
    const int result = mosquitto_publish_v5(client_, nullptr, topic.toUtf8().constData(), static_cast<int>(payload.size()),
                                            payload.constData(), 0, retain, properties.List());
    settle(result);
}

void MqttPublisher::Finish(std::uint32_t waitMs)
{
    if (state_ == State::Connected) {
        WaitServingEvents(waitMs, [this] { return unacknowledged_.empty() || state_ != State::Connected; });
        if (state_ == State::Connected) {
            mosquitto_disconnect_v5(client_, MQTT_RC_NORMAL_DISCONNECTION, nullptr);
            mosquitto_loop_write(client_, 1);
        }
    }
    retry_.stop();
    housekeeping_.stop();
    state_ = State::Finished;
    dropConnection();
}
