#include <dlfcn.h>
#include <termios.h>

#include <memory>
#include <vector>

#include <QFile>

#include <gtest/gtest.h>

#include "PtyPair.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkPort.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/FakeCameraLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

// A fake library: the set it was built into and its file name.
struct Lib {
    const char *set;
    const char *file;
};

const Lib kKorvel{"kind1", "clserkorvel.so"};
const Lib kAcme{"kind1", "libclseracme.so"};
const Lib kNoWrite{"kind1-broken", "clserbroken.so"};
const Lib kManufacturers{"kind2", "libclserial.so"};
const Lib kAllPorts{"kind3", "libclallserial.so"};
const Lib kSlow{"kind3-slow", "libclallserial.so"};
const Lib kNoFlush{"kind3-broken", "libclallserial.so"};

// One Camera Link port on a settings file whose Camera Link folder holds copies of the given
// fake libraries, each serving every port on the test's pseudo-terminal.
struct ClRig {
    explicit ClRig(LinkKind kind, const std::vector<Lib> &libs = {}, const QByteArray &extraConf = {})
    {
        for (const Lib &lib : libs) {
            EXPECT_TRUE(folder.Add(QString::fromLatin1(lib.set), QString::fromLatin1(lib.file))) << lib.file;
            folder.Configure(QString::fromLatin1(lib.file), FakeCameraLinkFolder::ServingConf(pty.SlavePath()) + extraConf);
        }
        temp.WriteRaw("[Ports]\n" + folder.FolderIni());
        settings = std::make_unique<SettingsStore>(temp.Path());
        port = std::make_unique<CameraLinkPort>(kind, *settings, dialogs);
    }

    int MasterSpeed() const
    {
        termios line{};
        tcgetattr(pty.Master(), &line);
        switch (cfgetospeed(&line)) {
        case B9600: return 9600;
        case B115200: return 115200;
        default: return 0;
        }
    }

    PtyPair pty;
    FakeCameraLinkFolder folder;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CameraLinkPort> port;
};

QStringList namesOf(const CameraLinkPort &port, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << port.PortName(i);
    return names;
}

} // namespace

TEST(CameraLinkPortList, EachKindListsWhatItFindsAndNothingOutOfRange)
{
    const struct {
        const char *what;
        LinkKind kind;
        std::vector<Lib> libs;
        QStringList names;
        QByteArray conf = {};
    } cases[] = {
        {"kind 1, empty folder", LinkKind::Cameralink2000, {}, {}},
        {"kind 1: library file names; other kinds' libraries do not match", LinkKind::Cameralink2000,
         {kAcme, kKorvel, kAllPorts}, {"clserkorvel.so", "libclseracme.so"}},
        {"kind 2: manufacturer names", LinkKind::Cameralink2001, {kManufacturers}, {"Korvel Imaging", "Acme Grabbers"}},
        {"kind 2 without its library", LinkKind::Cameralink2001, {kAllPorts}, {}},
        {"kind 3: manufacturer - port identifier", LinkKind::CameralinkVer11, {kAllPorts},
         {"Korvel Imaging - CL0", "Korvel Imaging - CL1", "Acme Grabbers - CL0"}},
        {"kind 3 without its library", LinkKind::CameralinkVer11, {kManufacturers}, {}},
        {"kind 2: one it cannot name keeps its place", LinkKind::Cameralink2001, {kManufacturers},
         {"Manufacturer 0 (not reported: invalid index (-10005))", "Acme Grabbers"}, "fail_info=0\n"},
        {"kind 3: one it cannot describe keeps its place", LinkKind::CameralinkVer11, {kAllPorts},
         {"Korvel Imaging - CL0", "Port 1 (not reported: invalid index (-10005))", "Acme Grabbers - CL0"},
         "fail_info=1\n"},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        ClRig rig(row.kind, row.libs, row.conf);
        const int count = rig.port->PortCount();
        EXPECT_EQ(namesOf(*rig.port, count), row.names);
        EXPECT_EQ(rig.port->PortName(-1), QString());
        EXPECT_EQ(rig.port->PortName(count), QString());
        EXPECT_FALSE(rig.port->IsLoaded()) << "listing leaves no library loaded";
    }
}

TEST(CameraLinkPortList, Kind2KeepsItsOldListWhenTheLibraryGoes)
{
    ClRig rig(LinkKind::Cameralink2001, {kManufacturers});
    ASSERT_EQ(rig.port->PortCount(), 2);
    ASSERT_TRUE(QFile::remove(rig.folder.Path() + "/libclserial.so"));
    EXPECT_EQ(rig.port->PortCount(), 2);
    EXPECT_EQ(rig.port->PortName(1), "Acme Grabbers");
}

// The serial index each kind passes to clSerialInit, seen in the library's log.
TEST(CameraLinkPortSelect, OpensTheChosenPortAndReleasesEverythingAtClose)
{
    const struct {
        const char *what;
        LinkKind kind;
        std::vector<Lib> libs;
        int index;
        const char *logged; // the library that must log the open
    } cases[] = {
        {"kind 1: the second library, its serial port 0", LinkKind::Cameralink2000, {kKorvel, kAcme}, 1,
         "libclseracme.so"},
        {"kind 2: the second manufacturer, its serial port 0", LinkKind::Cameralink2001, {kManufacturers}, 1,
         "libclserial.so"},
        {"kind 3: the list position is the serial index", LinkKind::CameralinkVer11, {kAllPorts}, 2,
         "libclallserial.so"},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        ClRig rig(row.kind, row.libs);
        const QString logged = QString::fromLatin1(row.logged);
        ASSERT_TRUE(rig.port->SelectPort(row.index));
        EXPECT_TRUE(rig.port->IsOpen());
        EXPECT_EQ(rig.port->LastOpenFailureText(), QString());
        const int serialIndex = row.kind == LinkKind::CameralinkVer11 ? row.index : 0;
        EXPECT_TRUE(rig.folder.Log(logged).mid(rig.folder.Log(logged).size() - 2) ==
                    QStringList({"load", QStringLiteral("init %1").arg(serialIndex)}))
            << rig.folder.Log(logged).join(", ").toStdString();
        rig.folder.ClearLog(logged);
        rig.port->Close();
        EXPECT_FALSE(rig.port->IsLoaded());
        EXPECT_EQ(rig.folder.Log(logged), QStringList({"close", "unload"}));
        EXPECT_EQ(rig.port->Write("x", 1, 500), false);
        char byte = 0;
        EXPECT_EQ(rig.port->Read(&byte, 1, 10), 0);
    }
}

TEST(CameraLinkPortSelect, APortStillOpenAtTheEndIsClosedAndItsLibraryReleased)
{
    ClRig rig(LinkKind::CameralinkVer11, {kAllPorts});
    ASSERT_TRUE(rig.port->SelectPort(0));
    rig.folder.ClearLog("libclallserial.so");
    rig.port.reset();
    EXPECT_EQ(rig.folder.Log("libclallserial.so"), QStringList({"close", "unload"}));
}

TEST(CameraLinkPortSelect, FailuresLeaveNothingLoadedAndSayWhy)
{
    const struct {
        const char *what;
        LinkKind kind;
        std::vector<Lib> libs;
        QByteArray conf;
        int index;
        const char *reason; // part of the failure text
        const char *file;   // the library whose log is checked, or null
        QStringList log;
    } cases[] = {
        {"kind 1, no library", LinkKind::Cameralink2000, {}, {}, 0, "no Camera Link serial library", nullptr, {}},
        {"kind 1, index past the list", LinkKind::Cameralink2000, {kKorvel}, {}, 1, "no Camera Link serial library",
         nullptr, {}},
        {"kind 1 lacking clSerialWrite", LinkKind::Cameralink2000, {kNoWrite}, {}, 0, "clSerialWrite", "clserbroken.so",
         {"load", "unload"}},
        {"kind 2, no library", LinkKind::Cameralink2001, {}, {}, 0, "libclserial.so", nullptr, {}},
        {"kind 3 lacking clFlushPort", LinkKind::CameralinkVer11, {kNoFlush}, {}, 0, "clFlushPort",
         "libclallserial.so", {"load", "unload"}},
        {"kind 3 whose clSerialInit fails", LinkKind::CameralinkVer11, {kAllPorts}, "fail_init=1\n", 1,
         "clSerialInit(1) failed: port in use (-10003)", "libclallserial.so", {"load", "init 1", "unload"}},
        {"kind 3, a port the library does not have", LinkKind::CameralinkVer11, {kAllPorts}, {}, 7,
         "clSerialInit(7) failed: invalid index (-10005)", "libclallserial.so", {"load", "init 7", "unload"}},
        {"kind 3, negative index", LinkKind::CameralinkVer11, {kAllPorts}, {}, -1, "no Camera Link port -1",
         "libclallserial.so", {}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        ClRig rig(row.kind, row.libs, row.conf);
        EXPECT_FALSE(rig.port->SelectPort(row.index));
        EXPECT_FALSE(rig.port->IsOpen());
        EXPECT_FALSE(rig.port->IsLoaded());
        EXPECT_TRUE(rig.port->LastOpenFailureText().contains(QLatin1String(row.reason), Qt::CaseInsensitive))
            << rig.port->LastOpenFailureText().toStdString();
        if (row.file != nullptr) {
            EXPECT_EQ(rig.folder.Log(QString::fromLatin1(row.file)), row.log);
        }
        EXPECT_TRUE(rig.dialogs.Messages().empty());
    }
}

TEST(CameraLinkPortSelect, ALinkOverAFailedLibraryReportsTheLoadersReason)
{
    ClRig rig(LinkKind::CameralinkVer11, {kNoFlush});
    ComPort com(*rig.settings, rig.dialogs);
    RecordingLog log;
    NoCameraLinkTransport none;
    SerialLink link(*rig.settings, com, {&none, &none, rig.port.get()}, log);
    EXPECT_FALSE(link.Open(3, 9600, 0));
    EXPECT_TRUE(link.LastOpenFailureText().contains("undefined symbol: clFlushPort"))
        << link.LastOpenFailureText().toStdString();
    EXPECT_FALSE(link.CanCarry(9600));
}

// Kinds 2 and 3 look in the Camera Link folder first and then ask the loader by bare name. A
// library the process already holds under that name stands in for one on the loader's path.
TEST(CameraLinkPortSearch, NamedLibrariesComeFromTheFolderFirstThenFromTheLoader)
{
    const struct {
        LinkKind kind;
        Lib lib;
        int ports;
    } cases[] = {{LinkKind::Cameralink2001, kManufacturers, 2}, {LinkKind::CameralinkVer11, kAllPorts, 3}};
    for (const auto &row : cases) {
        SCOPED_TRACE(row.lib.file);
        const QString file = QString::fromLatin1(row.lib.file);
        FakeCameraLinkFolder elsewhere;
        ASSERT_TRUE(elsewhere.Add(QString::fromLatin1(row.lib.set), file));
        void *held = dlopen(QFile::encodeName(elsewhere.Path() + '/' + file).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(held, nullptr);
        {
            ClRig empty(row.kind);
            EXPECT_EQ(empty.port->PortCount(), row.ports) << "found through the loader";
        }
        ClRig inFolder(row.kind, {row.lib});
        elsewhere.Configure(file, FakeCameraLinkFolder::ServingConf(inFolder.pty.SlavePath()));
        ASSERT_TRUE(inFolder.port->SelectPort(0));
        EXPECT_TRUE(inFolder.folder.Log(file).contains("init 0")) << "the folder's copy opened the port";
        EXPECT_FALSE(elsewhere.Log(file).contains("init 0"));
        inFolder.port->Close();
        dlclose(held);
    }
}

TEST(CameraLinkPortBaud, RatesGoToTheLibraryAsTheStandardsBits)
{
    const struct {
        const char *what;
        LinkKind kind;
        Lib lib;
        int rate;
        bool accepted;
        const char *message; // null: no box
        const char *logged;  // null: the library is not asked
        int lineSpeed;
    } cases[] = {
        {"kind 1 at 9600", LinkKind::Cameralink2000, kKorvel, 9600, true, nullptr, nullptr, 9600},
        {"kind 1 has no rate setting", LinkKind::Cameralink2000, kKorvel, 19200, false,
         "Selected baud rate is not supported.", nullptr, 9600},
        {"kind 2 at 115200", LinkKind::Cameralink2001, kManufacturers, 115200, true, nullptr, "baud 16", 115200},
        {"kind 2 beyond its rates", LinkKind::Cameralink2001, kManufacturers, 230400, false,
         "Selected baud rate is not supported.", nullptr, 9600},
        {"kind 3 at 115200", LinkKind::CameralinkVer11, kAllPorts, 115200, true, nullptr, "baud 16", 115200},
        {"kind 3 at 9600", LinkKind::CameralinkVer11, kAllPorts, 9600, true, nullptr, "baud 1", 9600},
        {"kind 3 without 115200 names the port", LinkKind::CameralinkVer11, kSlow, 115200, false,
         "Selected baud rate is not supported in Korvel Imaging - CL0.", nullptr, 9600},
        {"kind 3, a rate the standard has no bit for", LinkKind::CameralinkVer11, kAllPorts, 12345, false,
         "Selected baud rate is not supported in Korvel Imaging - CL0.", nullptr, 9600},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        ClRig rig(row.kind, {row.lib});
        rig.port->PortCount();
        ASSERT_TRUE(rig.port->SelectPort(0));
        EXPECT_EQ(rig.port->CanCarry(row.rate), row.accepted);
        EXPECT_EQ(rig.port->SetBaud(row.rate), row.accepted);
        EXPECT_EQ(rig.dialogs.MessageTexts(),
                  row.message != nullptr ? QStringList{QString::fromLatin1(row.message)} : QStringList{});
        if (row.message != nullptr) {
            EXPECT_EQ(rig.dialogs.Messages()[0].icon, MessageIcon::Exclamation);
        }
        EXPECT_EQ(rig.folder.Log(QString::fromLatin1(row.lib.file)).filter("baud"),
                  row.logged != nullptr ? QStringList{QString::fromLatin1(row.logged)} : QStringList{});
        EXPECT_EQ(rig.MasterSpeed(), row.lineSpeed);
        EXPECT_TRUE(rig.port->IsOpen()) << "a refused rate leaves the port open";
    }
}

TEST(CameraLinkPortBaud, WithoutAnOpenPortRatesAreRefusedSilently)
{
    for (const LinkKind kind : {LinkKind::Cameralink2001, LinkKind::CameralinkVer11}) {
        ClRig rig(kind, {kManufacturers, kAllPorts});
        EXPECT_FALSE(rig.port->SetBaud(9600));
        EXPECT_FALSE(rig.port->CanCarry(9600));
        EXPECT_TRUE(rig.dialogs.Messages().empty());
    }
}

// Bytes over a link of kind 3: what SerialLink writes reaches the line with the 500 ms
// time-out, and reads take one byte with 10 ms each.
TEST(CameraLinkPortBytes, WritesAndReadsGoThroughTheLibraryWithTheLinksTimeOuts)
{
    ClRig rig(LinkKind::CameralinkVer11, {kAllPorts});
    ComPort com(*rig.settings, rig.dialogs);
    RecordingLog log;
    NoCameraLinkTransport none;
    SerialLink link(*rig.settings, com, {&none, &none, rig.port.get()}, log);
    ASSERT_TRUE(link.Open(3, 115200, 1));
    rig.folder.ClearLog("libclallserial.so");

    EXPECT_TRUE(link.SendLine("MD?\r\n"));
    EXPECT_EQ(rig.pty.ReadMaster(5, 2000), "MD?\r\n");
    EXPECT_EQ(rig.folder.Log("libclallserial.so"), QStringList({"write 500"}));

    ASSERT_TRUE(rig.pty.WriteMaster("OK\r\n"));
    char buffer[8] = {};
    EXPECT_EQ(link.ReadBytes(buffer, 4, 2000), 4);
    EXPECT_EQ(QByteArray(buffer, 4), "OK\r\n");

    const std::int64_t start = SteadyMs();
    EXPECT_EQ(rig.port->Read(buffer, 1, SerialLink::kCameraLinkReadStepMs), 0);
    const std::int64_t waited = SteadyMs() - start;
    EXPECT_GE(waited, 9);
    EXPECT_LT(waited, 500);
}

TEST(CameraLinkPortBytes, ASpoiltReadFailsThatByteAndTheNextOneWorks)
{
    const struct {
        const char *fault;
        QByteArray seen; // what three one-byte reads of "ABC" hand out
    } cases[] = {
        {"fault_read=2:garbage\n", "A#C"},
        {"fault_read=2:error\n", "AC"},
        {"fault_read=2:oversize\n", "ABC"},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.fault);
        ClRig rig(LinkKind::CameralinkVer11, {kAllPorts}, row.fault);
        ASSERT_TRUE(rig.port->SelectPort(0));
        ASSERT_TRUE(rig.pty.WriteMaster("ABC"));
        QByteArray seen;
        for (int i = 0; i < 3; ++i) {
            char byte[2] = {0, 0};
            if (rig.port->Read(byte, 1, 1000) == 1)
                seen += byte[0];
        }
        EXPECT_EQ(seen, row.seen);
        // One spoilt read is a glitch, not a lost port.
        EXPECT_TRUE(rig.port->TakeLossReason().isEmpty());
    }
}
