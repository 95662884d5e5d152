#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A real ser2net serving one serial device (normally the simulator's pseudo-terminal or its
// link) on 127.0.0.1 at a free TCP port, so that tests reach the camera over the network as an
// operator with a serial device server would. ser2net opens the device only when a client
// connects, so the device must be there by then, not at Start(). Everything the program needs
// (configuration, pid file, its output) lives in a temporary folder of this object; the
// program never outlives it. It is spawned without fork(), so that the rig also runs in a
// ThreadSanitizer build, which stops a threaded program that forks and then starts threads.
class Ser2NetServer {
public:
    // Rfc2217: Telnet with the COM Port Control Option ("rfc2217://"); RawTcp: the bytes as
    // they are ("socket://"); Telnet: Telnet without the option, which a client asking for it
    // is refused (addressed as "rfc2217://").
    enum class Mode { Rfc2217, RawTcp, Telnet };

    Ser2NetServer(QString device, int baud, Mode mode);
    ~Ser2NetServer();
    Ser2NetServer(const Ser2NetServer &) = delete;
    Ser2NetServer &operator=(const Ser2NetServer &) = delete;

    // Whether ser2net is installed.
    static bool Available();

    // Starts ser2net (stopping one this object runs) and waits until it listens. A port taken
    // by someone else between the choice and ser2net's bind is chosen again. firstPort, when
    // given, is tried first: Start(Port()) after Kill() brings the server back at the same
    // address while the port is still free. False with Failure() saying why (and what the
    // program printed) when it did not come up.
    bool Start(quint16 firstPort = 0);
    // SIGKILL at once, as a server that crashes or loses power: clients see the connection go.
    void Kill();
    // SIGTERM; SIGKILL when the program has not ended a second later.
    void Stop();

    bool IsRunning() const { return running_; }
    quint16 Port() const { return port_; }
    // "rfc2217://127.0.0.1:PORT" or "socket://127.0.0.1:PORT".
    QString Address() const;
    // The program's process id while it runs (and after, for checking that it is gone).
    qint64 Pid() const { return pid_; }
    QString PidFile() const { return dir_.filePath(QStringLiteral("ser2net.pid")); }
    // Everything the program printed so far (its output goes to a file: a pipe nobody reads
    // could fill and stall it).
    QByteArray Output() const;
    const QString &Failure() const { return failure_; }

private:
    enum class Outcome { Listening, PortTaken, Failed };
    Outcome startOn(const QString &executable, quint16 port);
    QByteArray config(quint16 port) const;
    bool spawn(const QString &executable, const QString &configPath);
    bool listensOn(quint16 port) const;
    // Reaps the program if it ends within the time; true when it has ended.
    bool waitForEnd(int timeoutMs);

    QString device_;
    int baud_;
    Mode mode_;
    QTemporaryDir dir_;
    quint16 port_ = 0;
    pid_t pid_ = 0;
    bool running_ = false;
    int status_ = 0; // as waitpid gave it when the program ended
    QString failure_;
};
