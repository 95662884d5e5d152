#include <algorithm>

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "core/operations/FullReadSet.h"
#include "gui/tools/CommunicationDialog.h"

namespace {

using Kind = WireEvent::Kind;

std::vector<WireEvent> eventsOf(const CameraSimulator &sim, Kind kind)
{
    std::vector<WireEvent> out;
    for (const WireEvent &event : sim.WireLog()) {
        if (event.kind == kind)
            out.push_back(event);
    }
    return out;
}

// The wake-up burst as the camera saw it: seventy zero bytes, in runs of falling line speed
// down to 9600 bit/s. A pseudo-terminal hands bytes over a little later than they were
// written, so bytes of one rate can arrive in the run of the next, and the last bytes can
// even arrive after the tool has set the rate it tries next: the falling runs then end with
// one run at that rate. The exact fourteen per rate is checked where the test can read the
// line between rates (LinkNegotiationTest).
void expectWakeUpBurst(const CameraSimulator &sim)
{
    std::vector<std::pair<int, int>> runs; // line speed, bytes
    int total = 0;
    for (const WireEvent &event : eventsOf(sim, Kind::ZeroByte)) {
        ++total;
        if (!runs.empty() && runs.back().first == event.lineSpeed)
            ++runs.back().second;
        else
            runs.push_back({event.lineSpeed, 1});
    }
    EXPECT_EQ(total, 70);
    ASSERT_FALSE(runs.empty());
    size_t falling = 1;
    while (falling < runs.size() && runs[falling].first < runs[falling - 1].first)
        ++falling;
    EXPECT_LE(runs.size() - falling, 1u) << "only one late run may follow the falling runs";
    // A camera kept from reading through the whole burst (a loaded machine) sees every byte in
    // one run, at whatever rate the link has by then: that run is the late one.
    if (falling == runs.size() && runs.size() > 1) {
        EXPECT_EQ(runs.back().first, 9600);
    } else if (falling < runs.size()) {
        EXPECT_GT(runs.back().first, runs[falling - 1].first);
    }
}

int indexOf(const QList<QByteArray> &lines, const QByteArray &line, int from = 0)
{
    return lines.indexOf(line, from);
}

QString baudListText(const CCtrlToolDlg &window)
{
    auto *list = qobject_cast<QComboBox *>(window.Communication().FindControl(1027));
    return list ? list->currentText() : QString();
}

QString editText(const CCtrlToolDlg &window, int id)
{
    auto *edit = qobject_cast<QLineEdit *>(window.FindControl(id));
    return edit ? edit->text() : QStringLiteral("<no edit>");
}

} // namespace

TEST(MainWindowStartup, CameraAt9600IsMovedTo115200AndRead)
{
    MainWindowRig rig({.cameraBaud = 9600});
    rig.simulator->SetValue(QStringLiteral("WTC"), 1024);
    rig.simulator->SetValue(QStringLiteral("GA"), 250);
    rig.Start();

    std::vector<WireEvent> received = eventsOf(*rig.simulator, Kind::Received);
    ASSERT_GE(received.size(), 6u);
    EXPECT_EQ(received[0].data, "MD?");
    EXPECT_EQ(received[0].baud, 9600);
    EXPECT_EQ(received[1].data, "EA?");
    EXPECT_EQ(received[1].baud, 9600);
    expectWakeUpBurst(*rig.simulator);
    EXPECT_EQ(received[2].data, "CBDRT=16");
    EXPECT_EQ(received[2].lineSpeed, 9600);
    EXPECT_EQ(received[3].data, "CBDRT=16");
    EXPECT_EQ(received[3].lineSpeed, 115200);
    EXPECT_EQ(baudListText(*rig.window), "115200bps");

    // The reload: the model, then one query per row of the full-read set in table order.
    const QList<QByteArray> lines = rig.Received();
    EXPECT_EQ(lines[4], "MD?");
    const std::vector<int> plan = PlanFullRead(rig.context->controlTable(), rig.context->cameraModel(), 0);
    ASSERT_GE(lines.size(), 5 + static_cast<qsizetype>(plan.size()));
    for (size_t i = 0; i < plan.size(); ++i) {
        const QString mnemonic = rig.context->commandTable().MnemonicOf(rig.context->controlTable().Row(plan[i]).commandId);
        EXPECT_EQ(lines[5 + static_cast<int>(i)], mnemonic.toLatin1() + "?") << "query " << i;
    }
    EXPECT_EQ(indexOf(lines, "STP?"), -1) << "the model lacks STP";
    EXPECT_NE(indexOf(lines, "LROP?"), -1);
    EXPECT_EQ(indexOf(lines, "GAOG?"), -1) << "extended rows are not read in the standard mode";
    EXPECT_EQ(indexOf(lines, "LUTIG?"), -1);
    // The aberration group follows the full read, its cells last (side "Both", red, index 1).
    const int groupStart = 5 + static_cast<int>(plan.size());
    EXPECT_EQ(lines.mid(groupStart), (QList<QByteArray>{"CACM?", "CACM?", "CACSM0?", "CACMT0?", "CACM?", "CACR0R1?",
                                                         "CACR0?", "CACC0R?"}));

    EXPECT_EQ(editText(*rig.window, 1225), "1024") << "the controls show the camera's values";
    EXPECT_EQ(editText(*rig.window, 1041), "250");
    EXPECT_TRUE(rig.dialogs.Messages().empty()) << rig.BoxTexts().join(" | ").toStdString();
}

TEST(MainWindowStartup, CameraAt57600IsFoundByTheScan)
{
    MainWindowRig rig({.cameraBaud = 57600});
    rig.Start();
    const std::vector<WireEvent> received = eventsOf(*rig.simulator, Kind::Received);
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[0].data, "MD?") << "the first query the camera understood is the scan's";
    EXPECT_EQ(received[0].lineSpeed, 57600);
    EXPECT_EQ(received[1].data, "CBDRT=16");
    EXPECT_EQ(received[1].lineSpeed, 57600);
    EXPECT_EQ(received[2].data, "CBDRT=16");
    EXPECT_EQ(received[2].lineSpeed, 115200);
    EXPECT_EQ(baudListText(*rig.window), "115200bps");
    EXPECT_EQ(rig.simulator->Baud(), 115200);
}

TEST(MainWindowStartup, CameraAt115200IsFoundWithoutARateChange)
{
    MainWindowRig rig({.cameraBaud = 115200});
    rig.Start();
    expectWakeUpBurst(*rig.simulator);
    const QList<QByteArray> lines = rig.Received();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], "MD?");
    EXPECT_FALSE(lines.contains("CBDRT=16"));
    EXPECT_FALSE(eventsOf(*rig.simulator, Kind::Garbage).empty()) << "the first look at 9600 bit/s is garbage to it";
    EXPECT_EQ(baudListText(*rig.window), "115200bps");
    auto *exposureTimeMode = qobject_cast<QComboBox *>(rig.window->FindControl(1224));
    ASSERT_NE(exposureTimeMode, nullptr);
    EXPECT_EQ(exposureTimeMode->findText(QStringLiteral("Indivisual")), -1) << "not offered with model code 0";
}

TEST(MainWindowStartup, SilentCameraCostsTheStatedLimitsAndShowsInitialValues)
{
    MainWindowRig rig({.cameraAnswers = false});
    const qint64 elapsed = rig.Start();
    // 1 s "MD" + 5 s "EA" + 1 s "MD" at each of five rates.
    EXPECT_GE(elapsed, 11000);
    EXPECT_LT(elapsed, 13500) << "no further time-out on top";
    EXPECT_TRUE(rig.dialogs.Messages().empty()) << "an open port with no answer is no error";
    EXPECT_EQ(editText(*rig.window, 1225), "4096");
    EXPECT_EQ(editText(*rig.window, 1229), "1");
}

TEST(MainWindowStartup, PortThatCannotOpenSaysFailedToInitialize)
{
    MainWindowRig rig({.portExists = false});
    const qint64 elapsed = rig.Start();
    EXPECT_TRUE(rig.BoxTexts().contains("Failed to initialize!"));
    EXPECT_LT(elapsed, 13500) << "no further time-out on top";
    // The box says why, and so does the message log.
    const auto box = std::find_if(rig.dialogs.Messages().begin(), rig.dialogs.Messages().end(),
                                  [](const MessageRequest &m) { return m.text == "Failed to initialize!"; });
    ASSERT_NE(box, rig.dialogs.Messages().end());
    EXPECT_TRUE(box->detailedText.contains("not there")) << box->detailedText.toStdString();
    EXPECT_TRUE(rig.window->Communication().Log().OldestFirst().join('\n').contains("Failed to initialize: Device: "));
    EXPECT_EQ(editText(*rig.window, 1225), "4096");
}

TEST(MainWindowStartup, FirstModelGetsItsLayoutAndItsRows)
{
    MainWindowRig rig({.model = QStringLiteral("QN-5200R-BDX")});
    rig.Start();
    const QList<QByteArray> lines = rig.Received();
    EXPECT_NE(indexOf(lines, "STP?"), -1);
    EXPECT_EQ(indexOf(lines, "LROP?"), -1) << "the first model lacks LROP";
    auto *whiteBalance = qobject_cast<QComboBox *>(rig.window->FindControl(1408));
    ASSERT_NE(whiteBalance, nullptr);
    EXPECT_NE(whiteBalance->findText(QStringLiteral("Exposure Once")), -1);
}

TEST(MainWindowStartup, UnknownModelIsReportedAndNothingIsRead)
{
    MainWindowRig rig({.model = QStringLiteral("QN-9999")});
    rig.Start();
    EXPECT_TRUE(rig.BoxTexts().contains("Unsupported model: \"QN-9999\""));
    const QList<QByteArray> lines = rig.Received();
    EXPECT_EQ(indexOf(lines, "WTC?"), -1);
    EXPECT_EQ(indexOf(lines, "TM?"), -1);
}
