#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "QnctlRig.h"
#include "support/FakeCameraLink.h"

namespace {

QJsonObject jsonOf(const QnctlRun &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.object();
}

} // namespace

TEST(Qnctl, IdentifyFindsACameraAt9600AndMovesItTo115200)
{
    QnctlRig rig(9600);
    rig.Simulator().SetText(QStringLiteral("UD"), QStringLiteral("line4left"));
    const QnctlRun run = rig.Run({QStringLiteral("--json"), QStringLiteral("identify")});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    const QJsonObject json = jsonOf(run);
    EXPECT_EQ(json.value(QStringLiteral("model")).toString(), rig.Simulator().Model());
    EXPECT_EQ(json.value(QStringLiteral("modelCode")).toInt(), 0);
    EXPECT_EQ(json.value(QStringLiteral("firmware")).toString(), rig.Simulator().Text(QStringLiteral("VN")));
    EXPECT_EQ(json.value(QStringLiteral("cameraId")).toString(), rig.Simulator().Text(QStringLiteral("ID")));
    EXPECT_EQ(json.value(QStringLiteral("userId")).toString(), QStringLiteral("line4left"));
    EXPECT_EQ(json.value(QStringLiteral("deviceVersion")).toString(), rig.Simulator().Text(QStringLiteral("DV")));
    EXPECT_EQ(json.value(QStringLiteral("status")).toInt(), 0);
    EXPECT_EQ(rig.Simulator().Baud(), 115200);
}

TEST(Qnctl, GetAndSetByMnemonicAndByLabel)
{
    QnctlRig rig;
    const QnctlRun set = rig.Run({kFixedRate, QStringLiteral("set"), QStringLiteral("GA=150"),
                                  QStringLiteral("CL Configuration=Eighty"), QStringLiteral("image format/width=2048")});
    ASSERT_EQ(set.exitCode, 0) << Describe(set);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("GA")), 150);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("CLCFG")), 4);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("WTC")), 2048);

    rig.Simulator().SetValue(QStringLiteral("GA"), 321);
    const QnctlRun get = rig.Run({kFixedRate, QStringLiteral("--json"), QStringLiteral("get"), QStringLiteral("GA"),
                                  QStringLiteral("CL Configuration")});
    ASSERT_EQ(get.exitCode, 0) << Describe(get);
    const QJsonArray values = jsonOf(get).value(QStringLiteral("parameters")).toArray();
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0].toObject().value(QStringLiteral("value")).toInt(), 321);
    EXPECT_EQ(values[1].toObject().value(QStringLiteral("text")).toString(), QStringLiteral("Eighty"));
    EXPECT_EQ(values[1].toObject().value(QStringLiteral("label")).toString(), QStringLiteral("Image format/CL Configuration"));

    const QnctlRun text = rig.Run({kFixedRate, QStringLiteral("get"), QStringLiteral("GA")});
    EXPECT_TRUE(text.out.startsWith("GA = 321")) << Describe(text);
}

TEST(Qnctl, SfncNamesAreAliases)
{
    QnctlRig rig;
    const QnctlRun set = rig.Run({kFixedRate, QStringLiteral("set"), QStringLiteral("Gain[Red]=200")});
    ASSERT_EQ(set.exitCode, 0) << Describe(set);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("GAR")), 200);
    rig.Simulator().ClearWireLog();
    const QnctlRun get = rig.Run({kFixedRate, QStringLiteral("get"), QStringLiteral("ExposureTime")});
    EXPECT_TRUE(get.out.startsWith("PE = ")) << Describe(get);
    EXPECT_TRUE(rig.Simulator().ReceivedLines().contains("PE?"));
}

TEST(Qnctl, WhatIsRefusedAndWhereItIsRefused)
{
    QnctlRig rig;
    struct Case {
        QStringList arguments;
        int exitCode;
        const char *onStderr;
        bool wireUsed;
    };
    const Case cases[] = {
        // Checked against the control table before the port is even opened.
        {{QStringLiteral("set"), QStringLiteral("GA=99")}, 2, "outside the limits 100 to 3200", false},
        {{QStringLiteral("set"), QStringLiteral("Width=100")}, 2, "\"White Balance/Width\"", false},
        {{QStringLiteral("set"), QStringLiteral("CLCFG=Ninety")}, 2, "give one of Base", false},
        {{QStringLiteral("get"), QStringLiteral("NOPE")}, 2, "no parameter has this mnemonic or label", false},
        {{QStringLiteral("store-area"), QStringLiteral("0")}, 2, "extended mode only", false},
        {{QStringLiteral("send"), QStringLiteral("GA=1\nRST")}, 2, "line break", false},
        {{QStringLiteral("load"), QStringLiteral("/nonexistent/x.cam")}, 4, "could not be read", false},
        // The camera's own refusal: its line on standard error.
        {{QStringLiteral("set"), QStringLiteral("GA=150")}, 1, "Error:commandnotsupported", true},
    };
    rig.Simulator().RefuseMnemonic(QStringLiteral("GA"));
    for (const Case &c : cases) {
        rig.Simulator().ClearWireLog();
        const QnctlRun run = rig.Run(QStringList{kFixedRate} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << Describe(run);
        EXPECT_TRUE(run.err.contains(c.onStderr)) << Describe(run);
        EXPECT_EQ(!rig.Simulator().ReceivedLines().isEmpty(), c.wireUsed) << c.arguments.join(' ').toStdString();
    }
}

TEST(Qnctl, NoCameraAndABusyPortEndWithStatus3)
{
    QnctlRig rig;
    rig.Simulator().StopAnswering();
    const QnctlRun fixed = rig.Run({kFixedRate, QStringLiteral("identify")});
    EXPECT_EQ(fixed.exitCode, 3) << Describe(fixed);
    EXPECT_TRUE(fixed.err.contains("does not answer")) << Describe(fixed);
    EXPECT_LT(fixed.elapsedMs, 3000); // one model query of 1,000 ms

    const QnctlRun searched = rig.Run({QStringLiteral("identify")});
    EXPECT_EQ(searched.exitCode, 3) << Describe(searched);
    EXPECT_LT(searched.elapsedMs, 10000); // six model queries and the burst
    rig.Simulator().ResumeAnswering();

    // Another holder of the device, as a second instance would be (the lock, since the
    // terminal's exclusive mode does not stop a privileged process).
    const int held = ::open(rig.Simulator().SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);
    const QnctlRun busy = rig.Run({kFixedRate, QStringLiteral("identify")});
    ::close(held);
    EXPECT_EQ(busy.exitCode, 3) << Describe(busy);
    EXPECT_TRUE(busy.err.contains("Cannot open")) << Describe(busy);
}

TEST(Qnctl, FastModeSendsTheSameLinesInTheSameOrder)
{
    QnctlRig rig;
    rig.Simulator().ClearWireLog();
    const QnctlRun paced = rig.Run({kFixedRate, QStringLiteral("dump")});
    ASSERT_EQ(paced.exitCode, 0) << Describe(paced);
    const QList<QByteArray> pacedLines = rig.Simulator().ReceivedLines();
    rig.Simulator().ClearWireLog();
    const QnctlRun fast = rig.Run({kFixedRate, QStringLiteral("--fast"), QStringLiteral("dump")});
    ASSERT_EQ(fast.exitCode, 0) << Describe(fast);
    EXPECT_GT(pacedLines.size(), 100);
    EXPECT_EQ(rig.Simulator().ReceivedLines(), pacedLines);
    EXPECT_EQ(fast.out, paced.out);
    EXPECT_LT(fast.elapsedMs * 2, paced.elapsedMs) << fast.elapsedMs << " ms fast, " << paced.elapsedMs << " ms paced";
}

TEST(Qnctl, SaveThenLoadRestoresTheCamera)
{
    QnctlRig rig;
    const QString file = rig.Settings().Folder() + QStringLiteral("/camera.cam");
    const QnctlRun save = rig.Run({kFixedRate, QStringLiteral("save"), file});
    ASSERT_EQ(save.exitCode, 0) << Describe(save);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("GA=")) << bytes.toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\n"));

    const QnctlRun again = rig.Run({kFixedRate, QStringLiteral("save"), file});
    EXPECT_EQ(again.exitCode, 4) << Describe(again);
    EXPECT_TRUE(again.err.contains("--force")) << Describe(again);

    const qint64 gain = *rig.Simulator().Value(QStringLiteral("GA"));
    const qint64 width = *rig.Simulator().Value(QStringLiteral("WTC"));
    rig.Simulator().SetValue(QStringLiteral("GA"), gain + 7);
    rig.Simulator().SetValue(QStringLiteral("WTC"), width / 2);
    const QnctlRun load = rig.Run({kFixedRate, QStringLiteral("load"), file});
    ASSERT_EQ(load.exitCode, 0) << Describe(load);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("GA")), gain);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("WTC")), width);
}

TEST(Qnctl, PreferencesAreWrittenOnlyWhenAskedFor)
{
    QnctlRig rig;
    rig.Settings().WriteRaw("[General]\nBaudrate=9600\nCom%20Port%20No=5\n");
    const QByteArray before = rig.Settings().ReadRaw();
    ASSERT_EQ(rig.Run({QStringLiteral("identify")}).exitCode, 0);
    EXPECT_EQ(rig.Settings().ReadRaw(), before);

    ASSERT_EQ(rig.Run({QStringLiteral("--save-preferences"), QStringLiteral("identify")}).exitCode, 0);
    const QByteArray after = rig.Settings().ReadRaw();
    EXPECT_TRUE(after.contains("Baudrate=115200")) << after.toStdString();
    // A device path is not a COM choice: the stored COM name stays.
    EXPECT_TRUE(after.contains("Com%20Port%20No=5")) << after.toStdString();
    EXPECT_FALSE(after.contains("Ports")) << after.toStdString();
}

TEST(Qnctl, ShadingAndLookUpTablesRoundTripThroughFiles)
{
    QnctlRig rig;
    CameraSimulator &camera = rig.Simulator();
    camera.SetValue(QStringLiteral("SDM"), 1);
    for (int channel = 0; channel < 3; ++channel) {
        for (int index = 1; index <= 1024; ++index)
            camera.SetShadingEntry(channel, index, (channel * 7919 + index * 31) % 65536);
    }
    const QString shading = rig.Settings().Folder() + QStringLiteral("/shading.csv");
    const QnctlRun read = rig.Run({kFixedRate, QStringLiteral("--fast"), QStringLiteral("shading"), QStringLiteral("read"), shading});
    ASSERT_EQ(read.exitCode, 0) << Describe(read);
    for (int channel = 0; channel < 3; ++channel) {
        for (int index = 1; index <= 1024; ++index)
            camera.SetShadingEntry(channel, index, 0);
    }
    const QnctlRun write = rig.Run({kFixedRate, QStringLiteral("--fast"), QStringLiteral("shading"), QStringLiteral("write"), shading});
    ASSERT_EQ(write.exitCode, 0) << Describe(write);
    int differing = 0;
    for (int channel = 0; channel < 3; ++channel) {
        for (int index = 1; index <= 1024; ++index)
            differing += camera.ShadingEntry(channel, index) == (channel * 7919 + index * 31) % 65536 ? 0 : 1;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(camera.ReceivedLines().count("SDDU=0"), 1);

    // A gamma file written to the camera comes back the same.
    QByteArray gamma = "GammaData (R G B)\r\n";
    for (int i = 0; i < 256; ++i)
        gamma += QByteArray::number(i * 16) + ',' + QByteArray::number(4095 - i * 16) + ',' + QByteArray::number(i * 8) + "\r\n";
    const QString sent = rig.Settings().Folder() + QStringLiteral("/sent.csv");
    const QString back = rig.Settings().Folder() + QStringLiteral("/back.csv");
    QFile file(sent);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gamma);
    file.close();
    const QnctlRun lutWrite = rig.Run({kFixedRate, QStringLiteral("--fast"), QStringLiteral("lut"), QStringLiteral("write"), sent});
    ASSERT_EQ(lutWrite.exitCode, 0) << Describe(lutWrite);
    const QnctlRun lutRead = rig.Run({kFixedRate, QStringLiteral("--fast"), QStringLiteral("lut"), QStringLiteral("read"), back});
    ASSERT_EQ(lutRead.exitCode, 0) << Describe(lutRead);
    QFile returned(back);
    ASSERT_TRUE(returned.open(QIODevice::ReadOnly));
    EXPECT_EQ(returned.readAll(), gamma);
}

TEST(Qnctl, TableFilesThatWouldSendGapsOrNothingAreRefused)
{
    QnctlRig rig;
    rig.Simulator().SetValue(QStringLiteral("SDM"), 1);
    struct Case {
        const char *command;
        QByteArray content;
        const char *onStderr;
    };
    const Case cases[] = {
        {"shading", "ShadingData  (G R B)\r\n1,2,3\r\n", "holds 1 of 1024 value lines"},
        {"shading", "ShadingData  (G R B)\r\n1,2,3,4\r\n", "Invaild data count format"},
        {"lut", "GammaData (R G B)\r\n1,2,3\r\n", "holds 1 of 256 table lines"},
        {"lut", "GammaData (R G B)\r\n1,2\r\n", ""},
    };
    const QString path = rig.Settings().Folder() + QStringLiteral("/table.csv");
    for (const Case &c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        rig.Simulator().ClearWireLog();
        const QnctlRun run = rig.Run({kFixedRate, QString::fromLatin1(c.command), QStringLiteral("write"), path});
        EXPECT_EQ(run.exitCode, 4) << Describe(run);
        EXPECT_TRUE(run.err.contains(c.onStderr)) << Describe(run);
        for (const QByteArray &line : rig.Simulator().ReceivedLines())
            EXPECT_FALSE(line.startsWith("SDD") || line.startsWith("LUT")) << line.toStdString();
    }
}

TEST(Qnctl, ACameraLinkPortCarriesTheSameCommands)
{
    QnctlRig rig(9600);
    FakeCameraLinkFolder folder;
    ASSERT_TRUE(folder.Add(QStringLiteral("kind3"), QStringLiteral("libclallserial.so")));
    folder.Configure(QStringLiteral("libclallserial.so"), FakeCameraLinkFolder::ServingConf(rig.Simulator().SlavePath()));
    rig.Settings().WriteRaw("[Ports]\n" + folder.FolderIni());
    const QStringList link = {QStringLiteral("--settings"), rig.Settings().Path(), QStringLiteral("--camera-link"),
                              QStringLiteral("3:1")};
    const QnctlRun identify = rig.RunAsGiven(link + QStringList{QStringLiteral("--json"), QStringLiteral("identify")});
    ASSERT_EQ(identify.exitCode, 0) << Describe(identify);
    EXPECT_EQ(jsonOf(identify).value(QStringLiteral("model")).toString(), rig.Simulator().Model());
    EXPECT_EQ(rig.Simulator().Baud(), 115200);
    const QnctlRun set = rig.RunAsGiven(link + QStringList{QStringLiteral("--rate=115200"), QStringLiteral("set"),
                                                           QStringLiteral("GA=222")});
    ASSERT_EQ(set.exitCode, 0) << Describe(set);
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("GA")), 222);

    const QnctlRun missing = rig.RunAsGiven({QStringLiteral("--settings"), rig.Settings().Path(),
                                             QStringLiteral("--camera-link"), QStringLiteral("2:0"),
                                             QStringLiteral("identify")});
    EXPECT_EQ(missing.exitCode, 3) << Describe(missing);
    EXPECT_TRUE(missing.err.contains("Cannot open")) << Describe(missing);
}
