#include "support/MosquittoBroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <QUuid>

namespace {

int portOf(const QByteArray &ports, const QByteArray &name)
{
    for (const QByteArray &line : ports.split('\n')) {
        if (line.startsWith(name + '='))
            return line.mid(name.size() + 1).toInt();
    }
    return 0;
}

} // namespace

MosquittoBroker::MosquittoBroker()
{
    started_ = rig("start");
    QFile ports(File(QStringLiteral("ports")));
    if (started_ && ports.open(QIODevice::ReadOnly)) {
        const QByteArray text = ports.readAll();
        tcpPort_ = portOf(text, "TCP_PORT");
        tlsPort_ = portOf(text, "TLS_PORT");
        wsPort_ = portOf(text, "WS_PORT");
    }
}

MosquittoBroker::~MosquittoBroker()
{
    Stop();
}

bool MosquittoBroker::rig(const char *action)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("bash"), {QStringLiteral(QN_MOSQUITTO_RIG), QLatin1String(action), folder_.path()});
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString MosquittoBroker::Url(bool tls, const QString &user) const
{
    return tls ? QStringLiteral("mqtts://%1@localhost:%2/plant").arg(user).arg(tlsPort_)
               : QStringLiteral("mqtt://%1@127.0.0.1:%2/plant").arg(user).arg(tcpPort_);
}

QString MosquittoBroker::PasswordFile(const QByteArray &password) const
{
    const QString path = File(QStringLiteral("password-%1").arg(QString::fromLatin1(password.toHex())));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(password + '\n');
    return path;
}

void MosquittoBroker::Kill()
{
    rig("kill");
}

bool MosquittoBroker::Restart()
{
    return rig("restart");
}

void MosquittoBroker::Stop()
{
    if (started_)
        rig("stop");
}

QJsonObject TopicRecorder::Message::Json() const
{
    return QJsonDocument::fromJson(payload).object();
}

TopicRecorder::TopicRecorder(const MosquittoBroker &broker, const QString &filter)
{
    process_.start(QStringLiteral("mosquitto_sub"),
                   {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                    QString::number(broker.TcpPort()), QStringLiteral("-u"), QStringLiteral("dash"), QStringLiteral("-P"),
                    QStringLiteral("dash-secret"), QStringLiteral("-V"), QStringLiteral("mqttv5"), QStringLiteral("-q"),
                    QStringLiteral("1"), QStringLiteral("-c"), QStringLiteral("-i"),
                    QStringLiteral("recorder-") + QUuid::createUuid().toString(QUuid::Id128).left(12),
                    QStringLiteral("-t"), filter, QStringLiteral("-F"), QStringLiteral("%r %t %p")});
    process_.waitForStarted(5000);
    // Subscribed once the broker has seen it: a moment on loopback.
    QThread::msleep(300);
}

TopicRecorder::~TopicRecorder()
{
    process_.kill();
    process_.waitForFinished(5000);
}

QList<TopicRecorder::Message> TopicRecorder::Messages()
{
    process_.waitForReadyRead(0);
    pending_ += process_.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = line.indexOf(' ', first + 1);
        if (first < 0 || second < 0)
            continue;
        messages_.append({QString::fromUtf8(line.mid(first + 1, second - first - 1)), line.mid(second + 1),
                          line.left(first) == "1"});
    }
    return messages_;
}

QList<TopicRecorder::Message> TopicRecorder::On(const QString &suffix)
{
    QList<Message> found;
    for (const Message &message : Messages()) {
        if (message.topic.endsWith(suffix))
            found.append(message);
    }
    return found;
}

bool TopicRecorder::WaitFor(const std::function<bool(TopicRecorder &)> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done(*this)) {
        if (deadline.hasExpired())
            return false;
        process_.waitForReadyRead(50);
    }
    return true;
}
