#include "support/Ser2NetServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>

namespace {

constexpr int kStartAttempts = 5;
constexpr int kListenTimeoutMs = 3000;
constexpr int kPollMs = 20;
constexpr int kStopGraceMs = 1000;
// What ser2net prints, and goes on running without its port, when the port is taken.
constexpr const char *kPortTaken = "Address already in use";

// ser2net lives in sbin, which is not on every user's PATH.
QString program()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(QStringLiteral("ser2net"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
}

// A port that nobody listens on now; 0 when none can be had.
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// The inodes of the sockets a process holds ("socket:[INODE]" in its descriptor folder).
QSet<QByteArray> socketInodes(qint64 pid)
{
    QSet<QByteArray> inodes;
    const QString folder = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &name : QDir(folder).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        char target[64] = {};
        const ssize_t length = ::readlink(path.constData(), target, sizeof target - 1);
        const QByteArray link(target, length > 0 ? static_cast<int>(length) : 0);
        if (link.startsWith("socket:[") && link.endsWith(']'))
            inodes.insert(link.mid(8, link.size() - 9));
    }
    return inodes;
}

} // namespace

Ser2NetServer::Ser2NetServer(QString device, int baud, Mode mode)
    : device_(std::move(device)), baud_(baud), mode_(mode)
{
}

Ser2NetServer::~Ser2NetServer()
{
    Stop();
}

bool Ser2NetServer::Available()
{
    return !program().isEmpty();
}

QString Ser2NetServer::Address() const
{
    const QString scheme = mode_ == Mode::RawTcp ? QStringLiteral("socket") : QStringLiteral("rfc2217");
    return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(port_);
}

QByteArray Ser2NetServer::Output() const
{
    QFile file(dir_.filePath(QStringLiteral("ser2net.out")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Ser2NetServer::config(quint16 port) const
{
    const QByteArray accepter = mode_ == Mode::Rfc2217  ? "telnet(rfc2217),tcp"
                                : mode_ == Mode::Telnet ? "telnet,tcp"
                                                        : "tcp";
    // mdns off keeps the port from being announced on the network; the "Unable to start mdns"
    // line ser2net prints at start-up comes before the configuration is read and stays.
    // chardelay off forwards each reply at once instead of a few character times later, which
    // would triple the time of a fast shading read.
    return "connection: &camera\n"
           "    accepter: " + accepter + ",127.0.0.1," + QByteArray::number(port) + "\n"
           "    enable: on\n"
           "    options:\n"
           "      kickolduser: true\n"
           "      mdns: false\n"
           "      chardelay: false\n"
           "    connector: serialdev," + QFile::encodeName(device_) + ',' + QByteArray::number(baud_) + "n81,local\n";
}

bool Ser2NetServer::Start(quint16 firstPort)
{
    Stop();
    if (!dir_.isValid()) {
        failure_ = QStringLiteral("no temporary folder for ser2net: %1").arg(dir_.errorString());
        return false;
    }
    const QString path = program();
    if (path.isEmpty()) {
        failure_ = QStringLiteral("ser2net is not installed");
        return false;
    }
    quint16 port = firstPort;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (port == 0)
            port = freePort();
        if (port == 0) {
            failure_ = QStringLiteral("no free TCP port on 127.0.0.1");
            return false;
        }
        switch (startOn(path, port)) {
        case Outcome::Listening:
            port_ = port;
            failure_.clear();
            return true;
        case Outcome::Failed:
            return false;
        case Outcome::PortTaken:
            port = 0;
            break;
        }
    }
    failure_ = QStringLiteral("ser2net found the port taken %1 times in a row").arg(kStartAttempts);
    return false;
}

Ser2NetServer::Outcome Ser2NetServer::startOn(const QString &executable, quint16 port)
{
    const QString configPath = dir_.filePath(QStringLiteral("ser2net.yaml"));
    QFile configFile(configPath);
    if (!configFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || configFile.write(config(port)) < 0 ||
        !configFile.flush()) {
        failure_ = QStringLiteral("cannot write %1: %2").arg(configPath, configFile.errorString());
        return Outcome::Failed;
    }
    configFile.close();

    if (!spawn(executable, configPath)) {
        failure_ = QStringLiteral("cannot run %1: %2").arg(executable, QString::fromLocal8Bit(std::strerror(errno)));
        return Outcome::Failed;
    }

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kListenTimeoutMs) {
        if (Output().contains(kPortTaken)) {
            Kill(); // it would go on running without its port, and ignores SIGTERM then
            return Outcome::PortTaken;
        }
        if (listensOn(port))
            return Outcome::Listening;
        if (waitForEnd(kPollMs)) {
            failure_ = QStringLiteral("ser2net ended at start (%1 %2); it printed:\n%3")
                           .arg(WIFSIGNALED(status_) ? QStringLiteral("signal") : QStringLiteral("exit code"))
                           .arg(WIFSIGNALED(status_) ? WTERMSIG(status_) : WEXITSTATUS(status_))
                           .arg(QString::fromLocal8Bit(Output()));
            return Outcome::Failed;
        }
    }
    Kill();
    failure_ = QStringLiteral("ser2net did not listen on 127.0.0.1:%1 within %2 ms; it printed:\n%3")
                   .arg(port)
                   .arg(kListenTimeoutMs)
                   .arg(QString::fromLocal8Bit(Output()));
    return Outcome::Failed;
}

// True when this ser2net, not some other program, holds a socket listening on the port: then
// a connection to it is accepted. Checking without connecting keeps ser2net from opening the
// device before the test's own client comes.
bool Ser2NetServer::listensOn(quint16 port) const
{
    const QSet<QByteArray> owned = socketInodes(pid_);
    if (owned.isEmpty())
        return false;
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray localPort = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    constexpr int kListenState = 0x0A;
    // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ..."
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 9 && fields[1].endsWith(localPort) && fields[3].toInt(nullptr, 16) == kListenState &&
            owned.contains(fields[9]))
            return true;
    }
    return false;
}

bool Ser2NetServer::spawn(const QString &executable, const QString &configPath)
{
    // -n stays in the foreground (the pid is ser2net's own), -d prints its messages instead of
    // sending them to syslog, -u takes no UUCP lock (no root needed, no /var/lock).
    const std::vector<QByteArray> arguments = {QFile::encodeName(executable), "-n", "-d", "-u", "-c",
                                               QFile::encodeName(configPath), "-P", QFile::encodeName(PidFile())};
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    const QByteArray output = QFile::encodeName(dir_.filePath(QStringLiteral("ser2net.out")));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    // Holding none of the test's descriptors: a pseudo-terminal it kept would not hang up.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = 0;
    const int result = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        errno = result;
        return false;
    }
    pid_ = pid;
    running_ = true;
    return true;
}

bool Ser2NetServer::waitForEnd(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (running_) {
        const pid_t ended = ::waitpid(pid_, &status_, WNOHANG);
        if (ended == pid_ || (ended == -1 && errno == ECHILD)) {
            running_ = false;
            break;
        }
        if (clock.elapsed() >= timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(kPollMs, timeoutMs - clock.elapsed())));
    }
    return true;
}

void Ser2NetServer::Kill()
{
    if (!running_)
        return;
    ::kill(pid_, SIGKILL);
    waitForEnd(kStopGraceMs * 10); // SIGKILL cannot be ignored: this returns at once
}

void Ser2NetServer::Stop()
{
    if (!running_)
        return;
    ::kill(pid_, SIGTERM);
    if (!waitForEnd(kStopGraceMs))
        Kill();
}
