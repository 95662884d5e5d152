#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>

#include "PtyPair.h"
#include "core/common/TextFiles.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "core/transport/OpenFailure.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

// The detailed text of a port that would not open, from real failures of the system: another
// process holds the device, the user may not open it, the device is not there.

namespace {

constexpr uid_t kNobody = 65534;

// Runs `work` in a child process and returns what it wrote to the pipe (empty on failure).
QByteArray inChild(const std::function<QByteArray()> &work)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const QByteArray said = work();
        const bool written = write(pipeEnds[1], said.constData(), static_cast<size_t>(said.size())) == said.size();
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t n = 0; child > 0 && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    return said;
}

class OpenFailureReasonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.IsValid());
        temp.WriteRaw(pty.PortsIni(1) + "COM2=/dev/serial/by-id/usb-unplugged-if00-port0\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        port = std::make_unique<ComPort>(*settings, dialogs);
    }

    // The detailed text of an open of `name` (empty when it opened). Checks nothing itself, so
    // that a child process can use it too.
    QString describeOpen(const QString &name)
    {
        if (port->OpenPort(name, 9600))
            return QString();
        return DescribeOpenFailure(port->LastOpenFailure(), settings->Path());
    }

    QString failureText(const QString &name, int errorNumber)
    {
        const QString text = describeOpen(name);
        EXPECT_EQ(port->LastOpenFailure().errorNumber, errorNumber) << name.toStdString();
        return text;
    }

    static void expectSays(const QString &text, const QStringList &parts)
    {
        for (const QString &part : parts)
            EXPECT_TRUE(text.contains(part)) << part.toStdString() << " not in:\n" << text.toStdString();
    }

    PtyPair pty;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> port;
};

TEST_F(OpenFailureReasonTest, HeldByAnotherProcess)
{
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const QByteArray path = QFile::encodeName(pty.SlavePath());
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(path.constData(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        char go = 0;
        (void)!read(done[0], &go, 1); // hold it until the test is through
        _exit(0);
    }
    ASSERT_GT(holder, 0);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    expectSays(failureText(QStringLiteral("COM1"), EWOULDBLOCK),
               {"Device: " + pty.SlavePath(), "Another program holds the device"});

    ASSERT_EQ(write(done[1], "x", 1), 1);
    waitpid(holder, nullptr, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        close(fd);
    EXPECT_TRUE(port->OpenPort(QStringLiteral("COM1"), 9600)) << "free again once the other process is gone";
}

TEST_F(OpenFailureReasonTest, NotThere)
{
    expectSays(failureText(QStringLiteral("COM2"), ENOENT),
               {"Device: /dev/serial/by-id/usb-unplugged-if00-port0", "plugged in", "[Ports]", settings->Path()});
}

// The device node belongs to another user and allows its group nothing: opened by a user who
// is neither its owner nor in its group. Run as root, the open is tried by "nobody" in a child
// process, since root opens any device.
TEST_F(OpenFailureReasonTest, NoPermissionNamesTheDevicesGroup)
{
    const QByteArray path = QFile::encodeName(pty.SlavePath());
    ASSERT_EQ(chmod(path.constData(), S_IRUSR | S_IWUSR), 0);
    const QString group = OwnerGroupOf(pty.SlavePath());
    ASSERT_FALSE(group.isEmpty());

    QString text;
    if (geteuid() == 0) {
        // "nobody" reads the settings file to learn which device COM1 is.
        for (const QString &readable : {FolderOfPath(temp.Path()), temp.Path()})
            ASSERT_EQ(chmod(QFile::encodeName(readable).constData(), 0755), 0) << readable.toStdString();
        text = QString::fromUtf8(inChild([this] {
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
                return QByteArray("could not become nobody");
            return describeOpen(QStringLiteral("COM1")).toUtf8();
        }));
    } else {
        // Our own pseudo-terminal: take our own rights away.
        ASSERT_EQ(chmod(path.constData(), 0), 0);
        text = failureText(QStringLiteral("COM1"), EACCES);
    }
    expectSays(text, {"Device: " + pty.SlavePath(), "Reason: " + QString::fromLocal8Bit(std::strerror(EACCES)),
                      "group \"" + group + "\"", "usermod -aG " + group});
}

} // namespace
