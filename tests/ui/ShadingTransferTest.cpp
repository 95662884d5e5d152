#include <array>
#include <chrono>
#include <vector>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/common/TextFiles.h"
#include "gui/operations/ShadingTransfer.h"
#include "support/FileBytes.h"

using namespace OperatorActions;

namespace {

using Lines = QList<QByteArray>;

constexpr int kReadButton = 1336;
constexpr int kWriteButton = 1337;
constexpr int kStoreButton = 1338;

std::int32_t pattern(int channel, int index)
{
    return (index * 53 + channel * 20011) % 65536;
}

void fillCamera(CameraSimulator &camera, int valuesPerChannel)
{
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= valuesPerChannel; ++index)
            camera.SetShadingEntry(channel, index, pattern(channel, index));
    }
}

void clearCamera(CameraSimulator &camera)
{
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kShadingValues; ++index)
            camera.SetShadingEntry(channel, index, 0);
    }
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What the progress window showed, seen from the event loop that every step runs.
struct ProgressWatch {
    explicit ProgressWatch(MainWindowRig &rig) : progress(rig.context->progress()), windows(rig.context->windowList())
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (!progress.IsVisible())
                return;
            const std::pair<QString, int> now{progress.Message(), progress.Progress()};
            if (seen.empty() || seen.back() != now)
                seen.push_back(now);
            for (QWidget *window : windows.Windows())
                anyWindowEnabled = anyWindowEnabled || window->isEnabled();
        });
        timer.start(0);
    }

    // The bar's position while the message was shown, -1 when it never was.
    int ProgressAt(const QString &message) const
    {
        for (const auto &[text, percent] : seen) {
            if (text == message)
                return percent;
        }
        return -1;
    }

    CProgressBarDialog &progress;
    WindowList &windows;
    QTimer timer;
    std::vector<std::pair<QString, int>> seen;
    bool anyWindowEnabled = false;
};

bool allWindowsEnabled(MainWindowRig &rig)
{
    for (QWidget *window : rig.context->windowList().Windows()) {
        if (!window->isEnabled())
            return false;
    }
    return rig.window->isEnabled();
}

// A shading rig: a started window, its camera in a shading mode, a folder for files.
struct ShadingRig {
    ShadingRig() : rig({})
    {
        rig.Start();
        rig.simulator->SetValue(QStringLiteral("SDM"), 1);
    }

    // A transfer of part of the tables on the same window, link and dialogs.
    std::unique_ptr<ShadingTransfer> Part(int channels, int valuesPerChannel)
    {
        AppContext &context = *rig.context;
        return std::make_unique<ShadingTransfer>(
            ShadingTransfer::Services{context.command(), context.dialogs(), context.settings(), context.progress(),
                                      context.windowList(), context.operations()},
            rig.window.get(), ShadingTransfer::Shape{channels, valuesPerChannel});
    }

    void Clear()
    {
        rig.simulator->ClearWireLog();
        rig.dialogs.Clear();
    }

    QString Path(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }

    MainWindowRig rig;
    QTemporaryDir folder;
};

} // namespace

TEST(ShadingTransferWindow, ShadingModeOffStopsBothDirectionsAndStoreSendsItsCommand)
{
    ShadingRig shading;
    CCtrlToolDlg &window = *shading.rig.window;
    shading.rig.simulator->SetValue(QStringLiteral("SDM"), 0);
    for (int button : {kReadButton, kWriteButton}) {
        shading.Clear();
        shading.rig.dialogs.QueueFilePath(shading.Path("never.csv"));
        Click(window, button);
        EXPECT_EQ(shading.rig.Received(), Lines{"SDM?"}) << button;
        ASSERT_EQ(shading.rig.dialogs.Messages().size(), 1u) << button;
        EXPECT_EQ(shading.rig.dialogs.Messages()[0].text, "Shading Mode is OFF");
        EXPECT_EQ(shading.rig.dialogs.Messages()[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(shading.rig.dialogs.FileRequests().empty()) << button;
    }
    // A mode query that fails ends without a box of its own.
    shading.Clear();
    shading.rig.simulator->RefuseMnemonic(QStringLiteral("SDM"));
    Click(window, kReadButton);
    EXPECT_EQ(shading.rig.Received(), Lines{"SDM?"});
    EXPECT_EQ(shading.rig.dialogs.Messages().size(), 1u) << "only the engine's report";
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].caption, "Communication Error");

    shading.Clear();
    Click(window, kStoreButton);
    EXPECT_EQ(shading.rig.Received(), Lines{"SDDA=0"});
    EXPECT_TRUE(shading.rig.dialogs.Messages().empty());
}

TEST(ShadingTransferWindow, FullReadFromTheButtonCountsToTheEndAndSavesTheCameraTables)
{
    ShadingRig shading;
    fillCamera(*shading.rig.simulator, kShadingValues);
    const QString path = shading.Path("full.csv");
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(path);
    ProgressWatch watch(shading.rig);
    // What is checked here is the whole transfer's sequence, progress and file, not its pace:
    // the engine takes each reply as soon as it is complete (bench_shading measures the
    // paced transfer against its floor). The wire is the same either way.
    shading.rig.context->command().SetFastReplies(true);
    Click(*shading.rig.window, kReadButton);

    // Steps faster than the screen's frames are shown together, so which counts appear
    // depends on the pace; every count shown goes with its own bar position, in order.
    const QString message = QStringLiteral("Now, reading camera shading data");
    EXPECT_EQ(watch.ProgressAt(message + "  (1 / 3072)"), 0);
    EXPECT_EQ(watch.ProgressAt(message + "  (3072 / 3072)"), 100);
    int lastCount = 0;
    int counts = 0;
    for (const auto &[text, percent] : watch.seen) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^Now, reading camera shading data  \\((\\d+) / 3072\\)$")).match(text);
        if (!match.hasMatch())
            continue;
        const int count = match.captured(1).toInt();
        EXPECT_GE(count, lastCount) << text.toStdString();
        EXPECT_EQ(percent, static_cast<int>(static_cast<double>(count) / 3072 * 100.0)) << text.toStdString();
        counts += count != lastCount ? 1 : 0;
        lastCount = count;
    }
    EXPECT_GE(counts, 3) << "the count moves while the values come in";
    EXPECT_FALSE(watch.anyWindowEnabled) << "the window list stays disabled while values move";
    EXPECT_TRUE(allWindowsEnabled(shading.rig));
    EXPECT_FALSE(shading.rig.context->progress().IsVisible());

    const Lines lines = shading.rig.Received();
    ASSERT_EQ(lines.size(), 1 + 3 + 2 * 3072);
    EXPECT_EQ(lines.mid(0, 4), (Lines{"SDM?", "SDDS=0", "SDDI=1", "SDD?"}));
    EXPECT_EQ(lines.mid(2 + 2 * 1024, 3), (Lines{"SDDS=1", "SDDI=1", "SDD?"}));
    EXPECT_EQ(lines.last(), "SDD?");

    QByteArray expected = "ShadingData  (G R B)\r\n";
    for (int index = 1; index <= kShadingValues; ++index)
        expected += QByteArray::number(pattern(0, index)) + ", " + QByteArray::number(pattern(1, index)) + ", " +
                    QByteArray::number(pattern(2, index)) + "\r\n";
    EXPECT_EQ(FileBytes(path), expected);
    EXPECT_TRUE(shading.rig.dialogs.Messages().empty()) << shading.rig.BoxTexts().join(" | ").toStdString();
}

TEST(ShadingTransferWindow, RoundTripThroughAFileGivesTheCameraItsTablesBack)
{
    constexpr int kValues = 40;
    ShadingRig shading;
    CameraSimulator &camera = *shading.rig.simulator;
    fillCamera(camera, kValues);
    const std::unique_ptr<ShadingTransfer> transfer = shading.Part(3, kValues);
    const QString path = shading.Path("round.csv");

    shading.Clear();
    shading.rig.dialogs.QueueFilePath(path);
    ProgressWatch watch(shading.rig);
    transfer->ReadShadingData();
    EXPECT_EQ(watch.ProgressAt(QStringLiteral("Now, reading camera shading data  (120 / 120)")), 100);
    ASSERT_TRUE(QFile::exists(path));

    clearCamera(camera);
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(path);
    transfer->WriteShadingData();
    EXPECT_EQ(watch.ProgressAt(QStringLiteral("Now, writing camera shading data  (120 / 120)")), 100);
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kValues; ++index)
            ASSERT_EQ(camera.ShadingEntry(channel, index), pattern(channel, index)) << channel << "/" << index;
        EXPECT_EQ(camera.ShadingEntry(channel, kValues + 1), 0) << "nothing past the transfer";
    }
    const Lines lines = shading.rig.Received();
    EXPECT_EQ(lines.mid(0, 5), (Lines{"SDM?", "SDDS=0", "SDDI=1", "SDD=" + QByteArray::number(pattern(0, 1)),
                                      "SDDI=2"}));
    EXPECT_EQ(lines.last(), "SDDU=0");
    EXPECT_TRUE(shading.rig.dialogs.Messages().empty()) << shading.rig.BoxTexts().join(" | ").toStdString();
    EXPECT_TRUE(allWindowsEnabled(shading.rig));
}

TEST(ShadingTransferWindow, FileLinesFollowTheReadingRulesAndTheTablesKeepTheirContents)
{
    constexpr int kValues = 16;
    ShadingRig shading;
    CameraSimulator &camera = *shading.rig.simulator;
    fillCamera(camera, kValues);
    const std::unique_ptr<ShadingTransfer> transfer = shading.Part(3, kValues);
    const QString saved = shading.Path("saved.csv");
    shading.rig.dialogs.QueueFilePath(saved);
    transfer->ReadShadingData();
    clearCamera(camera);

    // Ten lines after a read: those ten values, the read values for the rest. Signs and points
    // vanish, a missing field is 0.
    QByteArray ten = "ShadingData  (G R B)\r\n-5, 1.5, 7\r\n3, 4\r\n";
    for (int line = 2; line < 10; ++line)
        ten += QByteArray::number(line * 100) + ", " + QByteArray::number(line * 100 + 1) + ", " +
               QByteArray::number(line * 100 + 2) + "\r\n";
    const QString tenPath = shading.Path("ten.csv");
    writeFile(tenPath, ten);
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(tenPath);
    transfer->WriteShadingData();
    EXPECT_TRUE(shading.rig.dialogs.Messages().empty());
    const std::array<std::array<qint64, 3>, 2> firstTwo = {{{5, 15, 7}, {3, 4, 0}}};
    for (int channel = 0; channel < kShadingChannels; ++channel) {
        for (int index = 1; index <= kValues; ++index) {
            qint64 expected = pattern(channel, index);
            if (index <= 2)
                expected = firstTwo[static_cast<std::size_t>(index - 1)][static_cast<std::size_t>(channel)];
            else if (index <= 10)
                expected = (index - 1) * 100 + channel;
            EXPECT_EQ(camera.ShadingEntry(channel, index), expected) << channel << "/" << index;
        }
    }

    // 1,024 lines and a trailing empty one: "Too many data", and the values still go out.
    QByteArray full = "header\r\n";
    for (int line = 0; line < kShadingValues; ++line)
        full += QByteArray::number(line + 1000) + ", 1, 2\r\n";
    const QString fullPath = shading.Path("full.csv");
    writeFile(fullPath, full + "\r\n");
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(fullPath);
    transfer->WriteShadingData();
    ASSERT_EQ(shading.rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].text, "Too many data");
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(camera.ShadingEntry(0, kValues), 1000 + kValues - 1);
    EXPECT_EQ(shading.rig.Received().last(), "SDDU=0");

    // A third comma: the box, nothing sent; the lines before it are in the table.
    const QString commas = shading.Path("commas.csv");
    writeFile(commas, "h\r\n11, 12, 13\r\n1, 2, 3, 4\r\n");
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(commas);
    transfer->WriteShadingData();
    EXPECT_EQ(shading.rig.BoxTexts(), QStringList{"Invaild data count format"});
    EXPECT_EQ(shading.rig.Received(), Lines{"SDM?"});
    EXPECT_EQ(transfer->Table()[2][0], 13);
    EXPECT_EQ(transfer->Table()[0][1], 1001) << "the line after the error kept its value";

    // A file that cannot be opened: its box, nothing sent.
    const QString missing = shading.Path("missing.csv");
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(missing);
    transfer->WriteShadingData();
    EXPECT_EQ(shading.rig.BoxTexts(), QStringList{missing + "\nCouldn't open this file"});
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(shading.rig.Received(), Lines{"SDM?"});
}

TEST(ShadingTransferWindow, SavingAfterAReadAsksBeforeReplacingAndKeepsAFileItCannotReplace)
{
    ShadingRig shading;
    const std::unique_ptr<ShadingTransfer> transfer = shading.Part(1, 4);
    const QString existing = shading.Path("old.csv");
    writeFile(existing, "OLD\r\n");

    shading.Clear();
    shading.rig.dialogs.QueueFilePath(existing);
    shading.rig.dialogs.QueueAnswer(MessageAnswer::No);
    transfer->ReadShadingData();
    ASSERT_EQ(shading.rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].text, existing + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(FileBytes(existing), "OLD\r\n");
    ASSERT_EQ(shading.rig.dialogs.FileRequests().size(), 1u);
    EXPECT_TRUE(shading.rig.dialogs.FileRequests()[0].save);
    EXPECT_EQ(shading.rig.dialogs.FileRequests()[0].nameFilter, "Camera shading data (*.csv)");
    EXPECT_EQ(shading.rig.dialogs.FileRequests()[0].defaultSuffix, "csv");

    const QString unwritable = shading.Path("no/such/folder/x.csv");
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(unwritable);
    transfer->ReadShadingData();
    EXPECT_EQ(shading.rig.BoxTexts(), QStringList{unwritable + "\nCouldn't open this file"});

    shading.Clear();
    shading.rig.dialogs.QueueFilePath(existing);
    shading.rig.dialogs.QueueAnswer(MessageAnswer::Yes);
    transfer->ReadShadingData();
    EXPECT_TRUE(FileBytes(existing).startsWith("ShadingData  (G R B)\r\n4096, 0, 0\r\n"));
}

TEST(ShadingTransferWindow, CameraThatStopsAnsweringEndsTheReadWithOneBoxAndNoFile)
{
    ShadingRig shading;
    shading.Clear();
    // "SDM?", "SDDS=0" and 500 values of two lines each are answered, then nothing.
    shading.rig.simulator->StopAnsweringAfter(2 + 2 * 500);
    shading.rig.dialogs.QueueFilePath(shading.Path("stale.csv"));
    Click(*shading.rig.window, kReadButton);
    const auto returned = std::chrono::steady_clock::now();

    ASSERT_EQ(shading.rig.dialogs.Messages().size(), 1u) << shading.rig.BoxTexts().join(" | ").toStdString();
    EXPECT_EQ(shading.rig.dialogs.Messages()[0].text,
              "The camera stopped answering at value 501 of 3072.\nThe transfer has been stopped.");
    EXPECT_TRUE(shading.rig.dialogs.FileRequests().empty()) << "no file is offered";
    EXPECT_FALSE(QFile::exists(shading.Path("stale.csv")));
    EXPECT_TRUE(allWindowsEnabled(shading.rig));
    EXPECT_FALSE(shading.rig.context->progress().IsVisible());
    const Lines lines = shading.rig.Received();
    EXPECT_EQ(lines.last(), "SDDI=501") << "nothing is sent after the first unanswered exchange";

    // From the last answer to the end: one time-out, the progress window's second, slack.
    qint64 lastAnswerUs = 0;
    for (const WireEvent &event : shading.rig.simulator->WireLog()) {
        if (event.kind == WireEvent::Kind::Sent)
            lastAnswerUs = event.timeUs;
    }
    const qint64 nowUs =
        std::chrono::duration_cast<std::chrono::microseconds>(returned.time_since_epoch()).count();
    EXPECT_LT(nowUs - lastAnswerUs, 6'000'000);
}

TEST(ShadingTransferWindow, WriteStopsSendingWhenTheCameraGoesSilentButGoesOnThroughErrorTexts)
{
    ShadingRig shading;
    const std::unique_ptr<ShadingTransfer> transfer = shading.Part(3, 8);
    const QString path = shading.Path("eight.csv");
    writeFile(path, "h\r\n1, 2, 3\r\n");

    shading.Clear();
    // "SDM?", then channel 0 (1 + 16 lines) and the selection of channel 1 and its first index.
    shading.rig.simulator->StopAnsweringAfter(1 + 17 + 2);
    shading.rig.dialogs.QueueFilePath(path);
    transfer->WriteShadingData();
    shading.rig.simulator->ResumeAnswering();
    EXPECT_EQ(shading.rig.BoxTexts(),
              QStringList{"The camera stopped answering at value 9 of 24.\nThe transfer has been stopped."});
    EXPECT_EQ(shading.rig.Received().last(), "SDD=2") << "no completion is sent";
    EXPECT_TRUE(allWindowsEnabled(shading.rig));

    // A camera that refuses values is still there: every value is tried, then completion.
    shading.Clear();
    shading.rig.simulator->RefuseMnemonic(QStringLiteral("SDD"));
    shading.rig.dialogs.QueueFilePath(path);
    transfer->WriteShadingData();
    int values = 0;
    for (const QByteArray &line : shading.rig.Received())
        values += line.startsWith("SDD=") ? 1 : 0;
    EXPECT_EQ(values, 24);
    EXPECT_EQ(shading.rig.Received().last(), "SDDU=0");
    EXPECT_EQ(shading.rig.dialogs.Messages().size(), 24u) << "the engine's report of each refusal, nothing else";
}

// A pulled cable in mid-read: the read ends at once with one box, no file is offered or
// written, and the windows are usable again.
TEST(ShadingTransferWindow, UnpluggedDuringTheReadStopsAtOnceWithOneBoxAndNoFile)
{
    ShadingRig shading;
    shading.Clear();
    shading.rig.dialogs.QueueFilePath(shading.Path("lost.csv"));
    const Unplugger unplugger(*shading.rig.simulator, 2 + 2 * 300);
    Click(*shading.rig.window, kReadButton);
    const qint64 endedAfterMs = unplugger.MsSinceUnplug();

    ASSERT_GE(endedAfterMs, 0) << "the read ended before the cable was pulled";
    EXPECT_LT(endedAfterMs, 1500); // the progress window's closing second included
    ASSERT_EQ(shading.rig.dialogs.Messages().size(), 1u) << shading.rig.BoxTexts().join(" | ").toStdString();
    EXPECT_TRUE(shading.rig.dialogs.Messages()[0].text.startsWith("The camera stopped answering at value"));
    EXPECT_TRUE(shading.rig.dialogs.FileRequests().empty()) << "no file is offered";
    EXPECT_FALSE(QFile::exists(shading.Path("lost.csv")));
    EXPECT_TRUE(allWindowsEnabled(shading.rig));
    EXPECT_FALSE(shading.rig.context->progress().IsVisible());
    EXPECT_FALSE(shading.rig.context->onlineStatus().IsOnline());
}
