#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "LinkClient.h"
#include "PlugSchedule.h"

namespace {

constexpr int kHangUpWaitMs = 1000;
const QByteArray kModelAnswer = "MD=QN-5200RL-BDXP\r\n";

// A descriptor the tool holds on the slave side, raw, so that the hang-up is seen as it is.
class HeldSlave {
public:
    explicit HeldSlave(const QString &path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
    }
    ~HeldSlave()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HeldSlave(const HeldSlave &) = delete;
    HeldSlave &operator=(const HeldSlave &) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // POLLHUP within the wait; a read gives end of file (Linux hangs the slave up; older
    // kernels failed it with EIO) and a write fails with EIO.
    bool SeesHangUp() const
    {
        pollfd wait{fd_, POLLIN, 0};
        if (::poll(&wait, 1, kHangUpWaitMs) != 1 || (wait.revents & POLLHUP) == 0)
            return false;
        char byte = 0;
        const ssize_t read = ::read(fd_, &byte, 1);
        if (read != 0 && !(read < 0 && errno == EIO))
            return false;
        return ::write(fd_, "x", 1) < 0 && errno == EIO;
    }

private:
    int fd_;
};

// A camera behind a link path, and the tool's port opened through that path.
class Plugging : public ::testing::Test {
protected:
    void SetUp() override { newCamera(); }

    // A camera out of the box, in a folder of its own.
    void newCamera()
    {
        simulator.reset();
        dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir->isValid());
        options.linkPath = dir->filePath(QStringLiteral("camera"));
        options.statePath = dir->filePath(QStringLiteral("state.json"));
        simulator = std::make_unique<CameraSimulator>(options);
        ASSERT_TRUE(simulator->Start());
    }

    QByteArray ask(const QByteArray &line, int baud = 9600)
    {
        LinkClient port;
        if (!port.Open(options.linkPath, baud))
            return "<cannot open>";
        port.Write(line + "\r\n");
        return port.ReadLine(kReplyMs);
    }

    bool linkPointsAtSlave() const
    {
        return QFileInfo(options.linkPath).symLinkTarget() == simulator->SlavePath();
    }

    std::unique_ptr<QTemporaryDir> dir;
    SimulatorOptions options;
    std::unique_ptr<CameraSimulator> simulator;
};

TEST_F(Plugging, PullingHangsUpTheToolAndReplugComesBackWithTheSameState)
{
    struct Case {
        const char *name;
        void (CameraSimulator::*pull)();
        bool pathStays;
    };
    const Case cases[] = {
        {"unplug", &CameraSimulator::Unplug, false},
        {"hang-up", &CameraSimulator::HangUp, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        simulator->ClearWireLog();
        EXPECT_EQ(ask("GA=300"), "COMPLETE\r\n");
        const QString oldSlave = simulator->SlavePath();
        const HeldSlave held(oldSlave);
        ASSERT_TRUE(held.IsOpen());

        (simulator.get()->*c.pull)();
        EXPECT_TRUE(held.SeesHangUp());
        EXPECT_FALSE(simulator->IsPlugged());
        EXPECT_EQ(QFileInfo(options.linkPath).isSymLink(), c.pathStays);
        EXPECT_FALSE(QFileInfo::exists(options.linkPath)) << "nothing to open while unplugged";
        (simulator.get()->*c.pull)(); // a second pull changes nothing
        EXPECT_FALSE(simulator->IsPlugged());

        ASSERT_TRUE(simulator->Replug());
        EXPECT_TRUE(simulator->IsPlugged());
        EXPECT_NE(simulator->SlavePath(), oldSlave);
        EXPECT_TRUE(linkPointsAtSlave());
        EXPECT_EQ(ask("MD?"), kModelAnswer);
        EXPECT_EQ(ask("GA?"), "GA=300\r\n");
        EXPECT_EQ(simulator->ReceivedLines(), (QList<QByteArray>{"GA=300", "MD?", "GA?"}));
    }
}

TEST_F(Plugging, ReplugWhilePluggedInIsAQuickUnplug)
{
    const HeldSlave held(simulator->SlavePath());
    ASSERT_TRUE(held.IsOpen());
    const QString oldSlave = simulator->SlavePath();
    ASSERT_TRUE(simulator->Replug());
    EXPECT_TRUE(held.SeesHangUp());
    EXPECT_NE(simulator->SlavePath(), oldSlave);
    EXPECT_TRUE(linkPointsAtSlave());
    EXPECT_EQ(ask("MD?"), kModelAnswer);
}

// The camera boots from its boot area; without one chosen, area 0 holds the defaults.
TEST_F(Plugging, PowerCycleBringsBackThePowerUpValuesAt9600)
{
    struct Case {
        const char *name;
        bool unplug;
        int bootArea;
        QByteArray gain;
    };
    const Case cases[] = {
        {"replug, defaults", true, 0, "GA=100\r\n"},
        {"replug, boot area", true, 1, "GA=400\r\n"},
        {"in place, defaults", false, 0, "GA=100\r\n"},
        {"in place, boot area", false, 1, "GA=400\r\n"},
    };
    const CameraSimulator fresh;
    const QByteArray defaultIndex = "SDDI=" + QByteArray::number(*fresh.Value(QStringLiteral("SDDI"))) + "\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        newCamera();
        EXPECT_EQ(ask("GA=400"), "COMPLETE\r\n");
        EXPECT_EQ(ask("SA=1"), "COMPLETE\r\n");
        EXPECT_EQ(ask("BAS00=" + QByteArray::number(c.bootArea)), "COMPLETE\r\n");
        EXPECT_EQ(ask("GA=3000"), "COMPLETE\r\n");
        EXPECT_EQ(ask("SDDI=500"), "COMPLETE\r\n"); // not a stored setting
        EXPECT_EQ(ask("CBDRT=16"), "COMPLETE\r\n");
        EXPECT_EQ(ask("GA?", 115200), "GA=3000\r\n");

        if (c.unplug)
            ASSERT_TRUE(simulator->Replug({true, std::nullopt, std::nullopt}));
        else
            simulator->PowerCycle();
        EXPECT_EQ(simulator->Baud(), 9600);
        EXPECT_EQ(ask("GA?"), c.gain);
        EXPECT_EQ(ask("SDDI?"), defaultIndex);
        EXPECT_EQ(ask("EA?"), "EA=" + QByteArray::number(c.bootArea) + "\r\n");
        EXPECT_EQ(ask("MD?"), kModelAnswer);
    }
}

TEST_F(Plugging, ComesBackAsAnotherCamera)
{
    struct Case {
        PlugOptions plug;
        QString model;
        QString cameraId;
    };
    const QString model = QStringLiteral("QN-5200RL-BDXP");
    const QString otherModel = QStringLiteral("QN-5200R-BDX");
    const Case cases[] = {
        {{false, otherModel, std::nullopt}, otherModel, QStringLiteral("QN52000417")},
        {{false, std::nullopt, QStringLiteral("QN52000999")}, model, QStringLiteral("QN52000999")},
        {{true, otherModel, QStringLiteral("QN52000123")}, otherModel, QStringLiteral("QN52000123")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cameraId.toStdString());
        newCamera();
        simulator->SetText(QStringLiteral("UD"), QStringLiteral("line 4"));
        simulator->Unplug();
        ASSERT_TRUE(simulator->Replug(c.plug));
        EXPECT_EQ(ask("MD?"), "MD=" + c.model.toLatin1() + "\r\n");
        EXPECT_EQ(ask("ID?"), "ID=" + c.cameraId.toLatin1() + "\r\n");
        EXPECT_EQ(ask("UD?"), "UD=line 4\r\n") << "what is not given is kept";
        simulator.reset();
        const CameraSimulator afterRestart(options); // the new identification is in the state file
        EXPECT_EQ(afterRestart.Model(), c.model);
        EXPECT_EQ(afterRestart.Text(QStringLiteral("ID")), c.cameraId);
    }
}

TEST(PlugScheduleText, AcceptsStepsInTimeOrder)
{
    using Action = PlugStep::Action;
    QString error;
    const auto steps =
        ParsePlugSchedule(QStringLiteral("unplug@3, replug@5,unplug@9.25,replug@9.25:power-cycle:model=QN-5200R-BDX:"
                                         "id=QN52000999,power-cycle@12,replug@0012.5"),
                          error);
    ASSERT_TRUE(steps) << error.toStdString();
    ASSERT_EQ(steps->size(), 6u);
    const std::pair<Action, std::int64_t> expected[] = {
        {Action::Unplug, 3000},  {Action::Replug, 5000},     {Action::Unplug, 9250},
        {Action::Replug, 9250},  {Action::PowerCycle, 12000}, {Action::Replug, 12500},
    };
    for (std::size_t i = 0; i < steps->size(); ++i) {
        EXPECT_EQ((*steps)[i].action, expected[i].first) << i;
        EXPECT_EQ((*steps)[i].atMs, expected[i].second) << i;
    }
    EXPECT_FALSE((*steps)[1].options.powerCycle);
    EXPECT_FALSE((*steps)[1].options.model);
    const PlugOptions &full = (*steps)[3].options;
    EXPECT_TRUE(full.powerCycle);
    EXPECT_EQ(full.model, QStringLiteral("QN-5200R-BDX"));
    EXPECT_EQ(full.cameraId, QStringLiteral("QN52000999"));
}

TEST(PlugScheduleText, RejectsWithTheStepAndTheReason)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "step 1 \"\": expected unplug@SECONDS"},
        {"unplug", "expected unplug@SECONDS"},
        {"unplug@3,,replug@5", "step 2 \"\""},
        {"pull@3", "step 1 \"pull@3\": expected"},
        {"unplug@", "\"\" is not a number of seconds"},
        {"unplug@soon", "\"soon\" is not a number of seconds"},
        {"unplug@-1", "\"-1\" is not a number of seconds"},
        {"unplug@inf", "is not a number of seconds"},
        {"unplug@5,replug@3", "step 2 \"replug@3\": steps must be in time order"},
        {"unplug@3:power-cycle", "only a replug takes options"},
        {"replug@3:fast", "unknown option \"fast\""},
        {"replug@3:model=", "unknown option \"model=\""},
        {"replug@3:id=A:id=B", "\"id\" is given twice"},
        {"replug@3:power-cycle:power-cycle", "\"power-cycle\" is given twice"},
    };
    for (const auto &[text, reason] : cases) {
        QString error;
        EXPECT_FALSE(ParsePlugSchedule(QString::fromLatin1(text), error)) << text;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << text << ": " << error.toStdString();
    }
}

} // namespace
