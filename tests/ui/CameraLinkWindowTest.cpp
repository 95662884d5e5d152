#include <QComboBox>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/operations/FullReadSet.h"
#include "core/settings/SettingsStore.h"
#include "gui/tools/CommunicationDialog.h"
#include "support/FakeCameraLink.h"

namespace {

using Kind = WireEvent::Kind;

// The whole tool with its Camera Link folder holding copies of the fake libraries, which
// serve the simulated camera's pseudo-terminal on every port.
struct CameraLinkWindowRig {
    struct Lib {
        QString set;
        QString file;
    };

    CameraLinkWindowRig(MainWindowRig::Options options, const std::vector<Lib> &libs)
    {
        for (const Lib &lib : libs)
            EXPECT_TRUE(folder.Add(lib.set, lib.file)) << lib.file.toStdString();
        options.ports += folder.FolderIni();
        rig = std::make_unique<MainWindowRig>(options);
        for (const Lib &lib : libs)
            folder.Configure(lib.file, FakeCameraLinkFolder::ServingConf(rig->simulator->SlavePath()));
    }

    std::vector<WireEvent> Events(Kind kind) const
    {
        std::vector<WireEvent> out;
        for (const WireEvent &event : rig->simulator->WireLog()) {
            if (event.kind == kind)
                out.push_back(event);
        }
        return out;
    }

    QComboBox &List(int id) const { return *qobject_cast<QComboBox *>(rig->window->Communication().FindControl(id)); }

    // The queries of a full read, model first, as the camera must see them.
    QList<QByteArray> FullReadLines() const
    {
        QList<QByteArray> lines{"MD?"};
        AppContext &context = *rig->context;
        for (const int row : PlanFullRead(context.controlTable(), context.cameraModel(), 0))
            lines << context.commandTable().MnemonicOf(context.controlTable().Row(row).commandId).toLatin1() + "?";
        return lines;
    }

    // Picks an entry of the communication window's "Category" list as the operator does.
    void ChooseCategory(int kind) const
    {
        QComboBox &category = List(1009);
        category.setCurrentIndex(kind);
        emit category.activated(kind);
    }

    FakeCameraLinkFolder folder;
    std::unique_ptr<MainWindowRig> rig;
};

constexpr int kWidthCommand = 29; // "WTC"

const CameraLinkWindowRig::Lib kKind1{"kind1", "clserkorvel.so"};
const CameraLinkWindowRig::Lib kKind2{"kind2", "libclserial.so"};
const CameraLinkWindowRig::Lib kKind3{"kind3", "libclallserial.so"};
const CameraLinkWindowRig::Lib kKind3Slow{"kind3-slow", "libclallserial.so"};

} // namespace

// Start-up over each kind with the camera at 9600 bit/s: the same order as over a COM port,
// and the wake-up burst, which goes to the COM port alone, puts no zero byte on the line.
TEST(CameraLinkWindow, StartUpOverEachKindFindsMovesAndReadsTheCamera)
{
    const struct {
        const char *what;
        int kind;
        CameraLinkWindowRig::Lib lib;
        int endRate;
        QStringList boxes;
    } cases[] = {
        {"kind 2", 2, kKind2, 115200, {}},
        {"kind 3", 3, kKind3, 115200, {}},
        // The burst's reopen at 115200 bit/s is refused; the camera is not asked to move to a
        // rate the link cannot follow, and everything is read at 9600 bit/s.
        {"kind 3 without 115200", 3, kKind3Slow, 9600, {"Selected baud rate is not supported in Korvel Imaging - CL0."}},
        {"kind 1 (no rate setting)", 1, kKind1, 9600, QStringList(4, "Selected baud rate is not supported.")},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.what);
        CameraLinkWindowRig cl({.cameraBaud = 9600, .linkKind = row.kind}, {row.lib});
        cl.rig->Start();

        const std::vector<WireEvent> received = cl.Events(Kind::Received);
        ASSERT_GE(received.size(), 2u);
        EXPECT_EQ(received[0].data, "MD?");
        EXPECT_EQ(received[1].data, "EA?");
        QList<QByteArray> expected{"MD?", "EA?"};
        if (row.endRate == 115200) {
            ASSERT_GE(received.size(), 4u);
            EXPECT_EQ(received[2].lineSpeed, 9600);
            EXPECT_EQ(received[3].lineSpeed, 115200);
            expected << "CBDRT=16" << "CBDRT=16";
        }
        expected << cl.FullReadLines();
        const QList<QByteArray> lines = cl.rig->Received();
        ASSERT_GE(lines.size(), expected.size());
        EXPECT_EQ(lines.mid(0, expected.size()), expected);
        EXPECT_EQ(received.back().baud, row.endRate);
        EXPECT_TRUE(cl.Events(Kind::ZeroByte).empty());
        EXPECT_TRUE(cl.Events(Kind::Garbage).empty());
        EXPECT_EQ(cl.rig->simulator->Baud(), row.endRate);
        EXPECT_EQ(cl.List(1027).currentText(), QStringLiteral("%1bps").arg(row.endRate));
        EXPECT_EQ(cl.rig->BoxTexts(), row.boxes);

        // The port is closed and its library released when the tool ends.
        cl.folder.ClearLog(row.lib.file);
        cl.rig->Finish();
        const QStringList log = cl.folder.Log(row.lib.file);
        EXPECT_EQ(log.mid(log.size() - 2), QStringList({"close", "unload"})) << log.join(", ").toStdString();
    }
}

// From a COM port to each library kind and back through the "Category" list; the port index
// of each kind is kept, used and stored for the next run.
TEST(CameraLinkWindow, CategorySwitchListsOpensIdentifiesAndReloadsAndComesBack)
{
    CameraLinkWindowRig cl({.cameraBaud = 9600, .preferences = "Cameralink%202001%20Dll%20Index=1\n"},
                           {kKind2, kKind3});
    cl.rig->Start();
    ASSERT_EQ(cl.rig->simulator->Baud(), 115200);

    const struct {
        int kind;
        QStringList ports;
        int index;
        const char *file;
    } cases[] = {
        {2, {"Korvel Imaging", "Acme Grabbers"}, 1, "libclserial.so"},
        {3, {"Korvel Imaging - CL0", "Korvel Imaging - CL1", "Acme Grabbers - CL0"}, 0, "libclallserial.so"},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.kind);
        cl.rig->simulator->ClearWireLog();
        cl.folder.ClearLog(row.file);
        cl.ChooseCategory(row.kind);

        EXPECT_EQ(cl.rig->context->serialLink().GetKind(), row.kind);
        QStringList listed;
        for (int i = 0; i < cl.List(1005).count(); ++i)
            listed << cl.List(1005).itemText(i);
        EXPECT_EQ(listed, row.ports);
        EXPECT_EQ(cl.List(1005).currentIndex(), row.index);
        EXPECT_TRUE(cl.folder.Log(row.file).contains("init " + QString::number(row.kind == 2 ? 0 : row.index)));
        // Identified at 115200 bit/s, then everything read again.
        const QList<QByteArray> expected = QList<QByteArray>{"MD?"} + cl.FullReadLines();
        EXPECT_EQ(cl.rig->Received().mid(0, expected.size()), expected);
        EXPECT_TRUE(cl.Events(Kind::Garbage).empty());
        EXPECT_TRUE(cl.rig->BoxTexts().isEmpty()) << cl.rig->BoxTexts().join(" | ").toStdString();

        cl.rig->simulator->ClearWireLog();
        cl.ChooseCategory(0);
        EXPECT_EQ(cl.rig->context->serialLink().GetKind(), 0);
        EXPECT_EQ(cl.List(1005).count(), 16);
        EXPECT_EQ(cl.List(1005).currentIndex(), 0);
        EXPECT_TRUE(cl.folder.Log(row.file).endsWith("unload")) << "the library goes with its kind";
        ASSERT_FALSE(cl.rig->Received().isEmpty());
        EXPECT_EQ(cl.rig->Received().first(), "MD?") << "the camera answers on COM1 again";
    }

    // ReopenWithKind (2) goes back to the manufacturer last used with that kind.
    cl.folder.ClearLog("libclserial.so");
    ASSERT_TRUE(cl.rig->context->serialLink().ReopenWithKind(2));
    EXPECT_EQ(cl.rig->context->serialLink().CurrentPortIndex(), 1);
    cl.rig->Finish();

    SettingsStore restarted(cl.rig->temp.Path());
    std::int32_t kind = -1;
    std::int32_t kind2Index = -1;
    restarted.ReadInt(SettingIndex::CommunicationMode, kind, -1);
    restarted.ReadInt(SettingIndex::Cameralink2001DllIndex, kind2Index, -1);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(kind2Index, 1);
}

TEST(CameraLinkWindow, ALibraryThatCannotOpenIsReportedWithTheLoadersReason)
{
    CameraLinkWindowRig cl({.cameraBaud = 9600, .linkKind = 3}, {});
    cl.rig->Start();
    const std::vector<MessageRequest> &boxes = cl.rig->dialogs.Messages();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text, "Failed to initialize!");
    EXPECT_TRUE(boxes[0].detailedText.contains("libclallserial.so: cannot open shared object file"))
        << boxes[0].detailedText.toStdString();
    EXPECT_TRUE(cl.rig->Received().isEmpty());
}

// A library that hands out a spoilt byte fails that exchange; the next one works.
TEST(CameraLinkWindow, ASpoiltReadFailsOneExchangeOnly)
{
    CameraLinkWindowRig cl({.cameraBaud = 115200, .linkKind = 3}, {kKind3});
    cl.rig->Start();
    cl.rig->simulator->SetValue(QStringLiteral("WTC"), 2048);
    for (const QByteArray fault : {"garbage", "error"}) {
        SCOPED_TRACE(fault.constData());
        cl.folder.Configure(kKind3.file, FakeCameraLinkFolder::ServingConf(cl.rig->simulator->SlavePath()) +
                                             "fault_read=2:" + fault + "\n");
        ASSERT_TRUE(cl.rig->context->serialLink().Reopen()); // the library reads its fault plan when the port opens
        std::int32_t width = 0;
        EXPECT_FALSE(cl.rig->context->command().QueryValue(kWidthCommand, width, 500));
        EXPECT_TRUE(cl.rig->context->command().QueryValue(kWidthCommand, width, 500));
        EXPECT_EQ(width, 2048);
    }
}
