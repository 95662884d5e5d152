#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real mosquitto on 127.0.0.1, started at free ports with a configuration of its own
// (tests/plant/mosquitto-rig.sh): a password file, an ACL, persistence in a temporary folder, a
// plain, a TLS and a WebSocket listener. Users: station (writes) and dash (reads only). Ended
// when the object goes.
class MosquittoBroker {
public:
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    bool Started() const { return started_; }
    int TcpPort() const { return tcpPort_; }
    int TlsPort() const { return tlsPort_; }
    int WebSocketPort() const { return wsPort_; }
    QString File(const QString &name) const { return folder_.filePath(name); }
    // mqtt://USER@127.0.0.1:PORT/plant, or mqtts://USER@localhost:TLS-PORT/plant.
    QString Url(bool tls = false, const QString &user = QStringLiteral("station")) const;
    // A file holding the password, as --mqtt-password-file takes it.
    QString PasswordFile(const QByteArray &password) const;

    void Kill();     // SIGKILL, as a crash
    bool Restart();  // the same ports and data
    void Stop();

private:
    bool rig(const char *action);

    QTemporaryDir folder_;
    bool started_ = false;
    int tcpPort_ = 0;
    int tlsPort_ = 0;
    int wsPort_ = 0;
};

// Everything published under a filter, as a dashboard subscribed with QoS 1 sees it (the
// dash user, mosquitto_sub, a persistent session that a broker restart keeps).
class TopicRecorder {
public:
    struct Message {
        QString topic;
        QByteArray payload;
        bool retained = false;
        QJsonObject Json() const;
    };

    explicit TopicRecorder(const MosquittoBroker &broker, const QString &filter = QStringLiteral("plant/#"));
    ~TopicRecorder();
    TopicRecorder(const TopicRecorder &) = delete;
    TopicRecorder &operator=(const TopicRecorder &) = delete;

    QList<Message> Messages();
    // The messages on topics that end with the suffix ("/verdict").
    QList<Message> On(const QString &suffix);
    // Waits until the test holds for the messages so far; false on the time-out.
    bool WaitFor(const std::function<bool(TopicRecorder &)> &done, int timeoutMs);

private:
    QProcess process_;
    QByteArray pending_;
    QList<Message> messages_;
};
