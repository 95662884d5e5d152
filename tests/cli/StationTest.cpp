#include <csignal>

#include <sys/resource.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "QnctlRig.h"

namespace {

constexpr int kCameraMs = 30000;
// Gain, width and CL configuration away from the power-up values, so a value that is not
// written shows.
constexpr char kSettingFile[] = "GA=150\r\nWTC=2048\r\nCLCFG=4\r\n";

struct StationBench {
    QnctlRig rig{9600, QnctlRig::Link::PluggableLink};
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("line-setup.cam"));
    QString log = folder.filePath(QStringLiteral("provisioning.jsonl"));

    explicit StationBench(const QByteArray &setting = kSettingFile)
    {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(setting);
    }

    std::unique_ptr<QnctlProcess> Start(const QStringList &extra = {}, bool outputClosed = false) const
    {
        const QStringList station{QStringLiteral("--fast"), QStringLiteral("station"), file, QStringLiteral("--log")};
        return rig.Start(station + QStringList{log} + extra, outputClosed);
    }

    // The next camera: unplugged until the station waits again, then plugged in as after
    // power-up, under another id.
    void Replug(QnctlProcess &station, const QString &cameraId, const QString &model = {})
    {
        rig.Simulator().Unplug();
        ++cameras_;
        ASSERT_TRUE(station.WaitForError("Waiting for a camera", kCameraMs, cameras_ + 1));
        PlugOptions options;
        options.powerCycle = true;
        options.cameraId = cameraId;
        if (!model.isEmpty())
            options.model = model;
        ASSERT_TRUE(rig.Simulator().Replug(options));
    }

private:
    int cameras_ = 0;
};

std::string describe(const QnctlProcess &station)
{
    QByteArray out;
    for (const QByteArray &line : station.Lines())
        out += line + '\n';
    return "out: " + out.toStdString() + "\nerr: " + station.Error().toStdString();
}

QList<QJsonObject> logRecords(const QString &path)
{
    QFile in(path);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    QList<QJsonObject> records;
    const QByteArray bytes = in.readAll();
    EXPECT_TRUE(bytes.endsWith('\n')) << "every line whole";
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        records.append(document.object());
    }
    return records;
}

} // namespace

TEST(Station, ThreeCamerasOneAfterAnotherEachWithItsVerdictAndLogLine)
{
    StationBench bench;
    CameraSimulator &camera = bench.rig.Simulator();
    const QString firstId = camera.Text(QStringLiteral("ID"));
    const std::unique_ptr<QnctlProcess> station = bench.Start({QStringLiteral("--store-area"), QStringLiteral("1")});

    ASSERT_TRUE(station->WaitForLines(1, kCameraMs)) << describe(*station);
    EXPECT_EQ(station->Lines()[0], "OK " + firstId.toUtf8() + ' ' + camera.Model().toUtf8() + ' ' +
                                       camera.Text(QStringLiteral("VN")).toUtf8());
    EXPECT_EQ(camera.Value(QStringLiteral("GA")), 150);

    // The second camera refuses the gain, written or asked: its verdict names the difference.
    ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs)) << describe(*station);
    camera.RefuseMnemonic(QStringLiteral("GA"));
    bench.Replug(*station, QStringLiteral("QN00000002"));
    ASSERT_TRUE(station->WaitForLines(2, kCameraMs)) << describe(*station);
    EXPECT_TRUE(station->Lines()[1].startsWith("DIFF QN00000002 "));
    EXPECT_TRUE(station->Lines()[1].endsWith(" GA:file=150,camera=?")) << describe(*station);
    EXPECT_NE(camera.Value(QStringLiteral("GA")), 150);

    camera.AcceptMnemonic(QStringLiteral("GA"));
    bench.Replug(*station, QStringLiteral("QN00000003"), QStringLiteral("QN-5200R-BDX"));
    ASSERT_TRUE(station->WaitForLines(3, kCameraMs)) << describe(*station);
    EXPECT_TRUE(station->Lines()[2].startsWith("OK QN00000003 QN-5200R-BDX ")) << describe(*station);

    // Ctrl-C while the third camera is still plugged in: the station ends at once.
    ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs)) << describe(*station);
    const QnctlRun run = [&] {
        station->Signal(SIGINT);
        return station->Finish(5000);
    }();
    EXPECT_EQ(run.exitCode, 1) << "the second camera did not pass\n" << run.err.toStdString();
    EXPECT_LT(run.elapsedMs, 1500);
    EXPECT_TRUE(run.err.contains("3 camera(s), 2 passed")) << run.err.toStdString();

    QFile setting(bench.file);
    ASSERT_TRUE(setting.open(QIODevice::ReadOnly));
    const QString sha256 = QString::fromLatin1(QCryptographicHash::hash(setting.readAll(), QCryptographicHash::Sha256).toHex());
    const QList<QJsonObject> records = logRecords(bench.log);
    ASSERT_EQ(records.size(), 3);
    const QString ids[] = {firstId, QStringLiteral("QN00000002"), QStringLiteral("QN00000003")};
    const char *results[] = {"ok", "differs", "ok"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject &record = records[i];
        const QDateTime time = QDateTime::fromString(record.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
        EXPECT_TRUE(time.isValid());
        EXPECT_EQ(time.timeSpec(), Qt::UTC);
        EXPECT_LT(std::abs(time.secsTo(QDateTime::currentDateTimeUtc())), 120);
        EXPECT_EQ(record.value(QStringLiteral("cameraId")).toString(), ids[i]);
        EXPECT_EQ(record.value(QStringLiteral("userId")).toString(), camera.Text(QStringLiteral("UD")));
        EXPECT_EQ(record.value(QStringLiteral("firmware")).toString(), camera.Text(QStringLiteral("VN")));
        EXPECT_EQ(record.value(QStringLiteral("file")).toString(), QFileInfo(bench.file).absoluteFilePath());
        EXPECT_EQ(record.value(QStringLiteral("sha256")).toString(), sha256);
        EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QLatin1String(results[i]));
    }
    EXPECT_EQ(records[0].value(QStringLiteral("storedArea")).toInt(), 1);
    EXPECT_TRUE(records[1].value(QStringLiteral("storedArea")).isNull()) << "a camera that differs is not stored";
    EXPECT_EQ(records[2].value(QStringLiteral("model")).toString(), QStringLiteral("QN-5200R-BDX"));
    const QJsonArray differences = records[1].value(QStringLiteral("differences")).toArray();
    ASSERT_EQ(differences.size(), 1);
    const QJsonObject gain = differences[0].toObject();
    EXPECT_EQ(gain.value(QStringLiteral("mnemonic")).toString(), QStringLiteral("GA"));
    EXPECT_TRUE(gain.value(QStringLiteral("label")).toString().endsWith(QStringLiteral("Gain All")));
    EXPECT_EQ(gain.value(QStringLiteral("file")).toInt(), 150);
    EXPECT_TRUE(gain.value(QStringLiteral("camera")).isNull()) << "not read";
}

TEST(Station, StopSignalWhileWaitingEndsAtOnceWithNothingReported)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        StationBench bench;
        bench.rig.Simulator().Unplug();
        const std::unique_ptr<QnctlProcess> station = bench.Start();
        ASSERT_TRUE(station->WaitForError("Waiting for a camera on " + bench.rig.DevicePath().toUtf8(), 10000))
            << describe(*station);
        station->Signal(signal);
        const QnctlRun run = station->Finish(5000);
        EXPECT_EQ(run.exitCode, 0) << "no camera failed\n" << run.err.toStdString();
        EXPECT_LT(run.elapsedMs, 1000);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(QFileInfo(bench.log).size(), 0);
    }
}

// The adapter stays plugged in and only the camera's cable is swapped: the device path never
// goes away, the station sees the cameras come and go by their answers and their ids.
TEST(Station, AdapterThatStaysGetsNoVerdictWhileEmptyAndSeesCamerasComeAndGo)
{
    StationBench bench;
    CameraSimulator &camera = bench.rig.Simulator();
    camera.StopAnswering(); // an empty adapter
    const std::unique_ptr<QnctlProcess> station = bench.Start();
    ASSERT_TRUE(station->WaitForError("Waiting for a camera", kCameraMs)) << describe(*station);
    // A search asks twice at 9600 bit/s (first and last): the third query is the next look.
    ASSERT_TRUE(camera.WaitForReceivedLines(3, kCameraMs)) << describe(*station);
    const QList<QByteArray> searched = camera.ReceivedLines();
    EXPECT_EQ(searched.count("MD?"), searched.size()) << "nothing but the search reaches an empty adapter";
    EXPECT_TRUE(station->Lines().isEmpty()) << describe(*station);

    // The first camera's cable is pulled; the second is swapped for the third between two looks,
    // and the third answers at once at the rate the second was left at.
    const struct {
        QString id;
        bool pulled; // else swapped for the next one while answering
    } cameras[] = {{QStringLiteral("QN00000005"), true}, {QStringLiteral("QN00000006"), false},
                   {QStringLiteral("QN00000007"), true}};
    camera.SetText(QStringLiteral("ID"), cameras[0].id);
    camera.PowerCycle();
    camera.ResumeAnswering();
    for (std::size_t i = 0; i < std::size(cameras); ++i) {
        SCOPED_TRACE(cameras[i].id.toStdString());
        const int done = static_cast<int>(i) + 1;
        ASSERT_TRUE(station->WaitForLines(done, kCameraMs)) << describe(*station);
        EXPECT_TRUE(station->Lines().last().startsWith("OK " + cameras[i].id.toUtf8() + ' ')) << describe(*station);
        ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs, done)) << describe(*station);
        if (cameras[i].pulled) {
            camera.StopAnswering(); // the cable is pulled; the adapter stays
            ASSERT_TRUE(station->WaitForError("Waiting for a camera", kCameraMs, done + 1)) << describe(*station);
            if (i + 1 < std::size(cameras)) {
                camera.SetText(QStringLiteral("ID"), cameras[i + 1].id);
                camera.PowerCycle();
                camera.ResumeAnswering();
            }
        } else {
            camera.SetText(QStringLiteral("ID"), cameras[i + 1].id);
        }
    }
    EXPECT_EQ(camera.Value(QStringLiteral("GA")), 150);
    EXPECT_FALSE(station->Error().contains("does not answer")) << describe(*station);
    EXPECT_EQ(station->Error().count("Waiting for a camera"), 4) << "one line per wait, not per look";

    // Ctrl-C while the empty adapter is being searched: the search ends with the wait.
    QThread::msleep(1500);
    station->Signal(SIGINT);
    const QnctlRun run = station->Finish(5000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_LT(run.elapsedMs, 1000);
    EXPECT_TRUE(run.err.contains("3 camera(s), 3 passed")) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), 3) << "no verdict for the empty adapter\n" << run.out.toStdString();
    const QList<QJsonObject> records = logRecords(bench.log);
    ASSERT_EQ(records.size(), 3);
    for (std::size_t i = 0; i < std::size(cameras); ++i)
        EXPECT_EQ(records[static_cast<qsizetype>(i)].value(QStringLiteral("cameraId")).toString(), cameras[i].id);
}

TEST(Station, StopSignalDuringACameraEndsAfterTheCurrentStep)
{
    StationBench bench;
    CameraSimulator &camera = bench.rig.Simulator();
    camera.SetReplyDelayMs(300); // the load takes about a second
    const std::unique_ptr<QnctlProcess> station = bench.Start({QStringLiteral("--rate=9600")});
    ASSERT_TRUE(station->WaitForError(": loading ", kCameraMs)) << describe(*station);
    station->Signal(SIGINT);
    const QnctlRun run = station->Finish(kCameraMs);
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("STOP " + camera.Text(QStringLiteral("ID")).toUtf8() + ' '));
    EXPECT_TRUE(run.out.endsWith(" stopped before verifying\n")) << run.out.toStdString();
    // The load was one step: the whole file went in.
    EXPECT_EQ(camera.Value(QStringLiteral("GA")), 150);
    EXPECT_EQ(camera.Value(QStringLiteral("CLCFG")), 4);
    const QList<QJsonObject> records = logRecords(bench.log);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(QStringLiteral("result")).toString(), QStringLiteral("stopped"));
}

TEST(Station, LogLineThatCannotBeWrittenIsReportedAndTheStationGoesOn)
{
    StationBench bench;
    bench.log = QStringLiteral("/dev/full"); // every write fails: no space left
    const std::unique_ptr<QnctlProcess> station = bench.Start();
    ASSERT_TRUE(station->WaitForLines(1, kCameraMs)) << describe(*station);
    EXPECT_TRUE(station->Lines()[0].startsWith("OK "));
    ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs)) << describe(*station);
    EXPECT_TRUE(station->Error().contains("/dev/full: log line not written: ")) << describe(*station);
    station->Signal(SIGINT);
    EXPECT_EQ(station->Finish(5000).exitCode, 4);
}

TEST(Station, UnusableCommandLinesSendNothing)
{
    StationBench bench;
    struct Case {
        const char *name;
        QStringList arguments;
        int exitCode;
    };
    const QString file = bench.file;
    const Case cases[] = {
        {"no file", {QStringLiteral("station")}, 2},
        {"two files", {QStringLiteral("station"), file, file}, 2},
        {"an area that does not exist", {QStringLiteral("station"), file, QStringLiteral("--store-area=4")}, 2},
        {"the factory area in the standard mode",
         {QStringLiteral("--mode=standard"), QStringLiteral("station"), file, QStringLiteral("--store-area"),
          QStringLiteral("0")},
         2},
        {"a log without a name", {QStringLiteral("station"), file, QStringLiteral("--log")}, 2},
        {"a file that is not there", {QStringLiteral("station"), file + QStringLiteral(".missing")}, 4},
        {"a log that cannot be opened",
         {QStringLiteral("station"), file, QStringLiteral("--log"), bench.folder.filePath(QStringLiteral("no/such.jsonl"))},
         4},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        const QnctlRun run = bench.rig.Run(test.arguments, 10000);
        EXPECT_EQ(run.exitCode, test.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const QnctlRun cameraLink = bench.rig.RunAsGiven({QStringLiteral("--settings"), bench.rig.Settings().Path(),
                                                      QStringLiteral("--camera-link=1:0"), QStringLiteral("station"), file});
    EXPECT_EQ(cameraLink.exitCode, 2);
    EXPECT_TRUE(cameraLink.err.contains("serial device")) << cameraLink.err.toStdString();
    EXPECT_TRUE(bench.rig.Simulator().ReceivedLines().isEmpty());
}

// No camera passes, is stored or renamed: only readable lines of this model's file are sent.
TEST(Station, FilesThatVerifyNothingHoldTyposOrAreForAnotherModelPassNoCamera)
{
    const struct {
        QByteArray file;
        const char *verdict;
        const char *said; // in the verdict
        const char *result;
        QList<QByteArray> written;
    } cases[] = {
        {"", "NONE ", "nothing was verified", "nothing-verified", {}},
        {"GA=150\r\nWTC=2O48\r\n", "DIFF ", "line 2 unreadable: WTC=2O48", "differs", {"GA=150"}},
        {"MD00=QN-5200R-BDX\r\nGA=150\r\n", "FAIL ", "is for the QN-5200R-BDX, the camera is the QN-5200RL-BDXP",
         "failed", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.said);
        const bool namesLine = QByteArray(c.said).startsWith("line "); // named on standard error too
        StationBench bench(c.file);
        const auto station = bench.Start({QStringLiteral("--rate=9600"), QStringLiteral("--store-area=1")});
        ASSERT_TRUE(station->WaitForLines(1, kCameraMs)) << describe(*station);
        station->Signal(SIGINT);
        const QnctlRun run = station->Finish(5000);
        EXPECT_EQ(run.exitCode, 1) << Describe(run);
        EXPECT_TRUE(run.out.startsWith(c.verdict) && run.out.contains(c.said)) << Describe(run);
        EXPECT_EQ(run.err.contains(c.said), namesLine) << Describe(run);
        QList<QByteArray> written = bench.rig.Simulator().ReceivedLines();
        written.removeIf([](const QByteArray &line) { return !line.contains('='); });
        EXPECT_EQ(written, c.written);
        const QList<QJsonObject> records = logRecords(bench.log);
        ASSERT_EQ(records.size(), 1);
        EXPECT_EQ(records[0].value(QStringLiteral("result")).toString(), QLatin1String(c.result));
        EXPECT_EQ(records[0].value(QStringLiteral("unreadable")).toArray().size(), namesLine ? 1 : 0);
    }
}

// Whatever happens to the verdicts' reader or the log's disk, no record is lost or torn.
TEST(Station, ClosedOutputAndFileSizeLimitLoseNoRecordAndTearNoLine)
{
    const StationBench closed;
    const QnctlRun run = closed.Start({}, true)->Finish(kCameraMs); // ends by itself after the camera
    EXPECT_EQ(run.exitCode, 7) << Describe(run);
    EXPECT_TRUE(run.err.contains("Station ended: 1 camera(s), 1 passed")) << Describe(run);
    EXPECT_EQ(logRecords(closed.log).size(), 1);
    // The second camera's record (a difference more) does not fit under the limit; the third,
    // as long as the first, does, and starts a line of its own.
    StationBench bench;
    const std::unique_ptr<QnctlProcess> station = bench.Start();
    ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs)) << describe(*station);
    const rlimit limit{static_cast<rlim_t>(2 * QFileInfo(bench.log).size() + 20), RLIM_INFINITY};
    ASSERT_EQ(prlimit(station->Pid(), RLIMIT_FSIZE, &limit, nullptr), 0); // its files' size limit
    bench.rig.Simulator().RefuseMnemonic(QStringLiteral("GA"));
    bench.Replug(*station, QStringLiteral("QN00000002"));
    ASSERT_TRUE(station->WaitForError("log line not written: only", kCameraMs)) << describe(*station);
    bench.rig.Simulator().AcceptMnemonic(QStringLiteral("GA"));
    bench.Replug(*station, QStringLiteral("QN00000003"));
    ASSERT_TRUE(station->WaitForLines(3, kCameraMs)) << describe(*station);
    station->Signal(SIGINT);
    EXPECT_EQ(station->Finish(5000).exitCode, 4);
    const QList<QJsonObject> records = logRecords(bench.log);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1].value(QStringLiteral("cameraId")), QStringLiteral("QN00000003"));
}

TEST(Station, CalibrationsRunAfterTheVerifyAndAFailureCodeFailsTheCameraUnstored)
{
    StationBench bench;
    CameraSimulator &camera = bench.rig.Simulator();
    const std::unique_ptr<QnctlProcess> station =
        bench.Start({QStringLiteral("--calibrate"), QStringLiteral("white-balance"), QStringLiteral("--calibrate=shading"),
                     QStringLiteral("--store-area"), QStringLiteral("1")});
    ASSERT_TRUE(station->WaitForError("Unplug the camera", kCameraMs)) << describe(*station);
    camera.ForceResultCode(QStringLiteral("SDRS"), 3);
    bench.Replug(*station, QStringLiteral("QN00000002"));
    ASSERT_TRUE(station->WaitForLines(2, kCameraMs)) << describe(*station);
    EXPECT_TRUE(station->Lines()[1].startsWith("FAIL QN00000002 ") && station->Lines()[1].endsWith(" Correction Limit"))
        << describe(*station);
    station->Signal(SIGINT);
    station->Finish(5000);

    const QList<QJsonObject> records = logRecords(bench.log);
    ASSERT_EQ(records.size(), 2);
    const QJsonArray failed = records[1].value(QStringLiteral("calibrations")).toArray();
    ASSERT_EQ(failed.size(), 2) << "white balance, then shading";
    EXPECT_EQ(failed[1].toObject(), (QJsonObject{{QStringLiteral("procedure"), QStringLiteral("shading")},
                                                 {QStringLiteral("code"), 3},
                                                 {QStringLiteral("result"), QStringLiteral("Correction Limit")}}));
    EXPECT_EQ(records[0].value(QStringLiteral("storedArea")).toInt(), 1) << "calibrated, then stored";
    EXPECT_TRUE(records[1].value(QStringLiteral("storedArea")).isNull()) << "a failed calibration is not stored";
}
