#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "QnctlRig.h"

namespace {

using Lines = QList<QByteArray>;

struct CalibrateCase {
    const char *name;
    bool extended;
    const char *status; // the status the simulator reports the code on
    int code;
    int exitCode;
    const char *text; // on standard output; nullptr: no result
    Lines wire;       // the last lines on the wire; none: nothing sent
};

const Lines kPixelGain = {"PGR=0", "PGS?", "PGS?", "PGS?", "PGS?"};

const CalibrateCase kCases[] = {
    {"white-balance", false, "AWRS", 1, 0, "Succeeded", {"AWB=2", "AWRS?"}},
    {"white-balance", false, "AWRS", 2, 1, "Error1 - G image was too bright", {"AWB=2", "AWRS?"}},
    // This model has no exposure once: the camera refuses the start and nothing is asked.
    {"white-balance-exposure", false, "AHRS", 1, 1, nullptr, {"AWB=4"}},
    {"gain-auto", false, "AGCS", 3, 1, "Control Limit", {"AGC=2", "AGCS?"}},
    {"shading", false, "SDRS", 4, 0, "Complete", {"RS=0", "SDRS?"}},
    {"shading", false, "SDRS", 1, 1, "Too Dark", {"RS=0", "SDRS?"}},
    {"pixel-gain", false, "PGS", 1, 0, "Succeeded", kPixelGain},
    {"pixel-gain", false, "PGS", 4, 1, "Timeout Error", kPixelGain},
    {"pixel-black", false, "PBS", 1, 0, "Succeeded", {"PBR=0", "PBS?", "PBS?", "PBS?", "PBS?"}},
    {"pixel-gain-factory", true, "PGS00", 1, 0, "Succeeded", {"PGR00=0", "PGS00?", "PGS00?", "PGS00?", "PGS00?"}},
    {"pixel-black-factory", true, "PBS00", 3, 1, "Too Dark", {"PBR00=0", "PBS00?", "PBS00?", "PBS00?", "PBS00?"}},
    // A factory recalibration outside extended mode, and an unknown name: usage errors.
    {"pixel-black-factory", false, "PBS00", 1, 2, nullptr, {}},
    {"white-balance-twice", false, "AWRS", 1, 2, nullptr, {}},
};

QnctlRun calibrate(const QnctlRig &rig, const char *name, bool extended, bool json)
{
    QStringList arguments{kFixedRate, QStringLiteral("--mode"), extended ? QStringLiteral("extended") : QStringLiteral("standard")};
    if (json)
        arguments << QStringLiteral("--json");
    return rig.Run(arguments + QStringList{QStringLiteral("calibrate"), QString::fromLatin1(name)});
}

} // namespace

TEST(QnctlCalibrate, EachProcedureEndsWithItsResultTextAndStatus)
{
    QnctlRig rig;
    CameraSimulator &camera = rig.Simulator();
    for (const CalibrateCase &c : kCases) {
        const std::string what = std::string(c.name) + " code " + std::to_string(c.code);
        camera.ForceResultCode(QString::fromLatin1(c.status), c.code);
        camera.ClearWireLog();
        const QnctlRun run = calibrate(rig, c.name, c.extended, true);
        ASSERT_EQ(run.exitCode, c.exitCode) << what << "\n" << Describe(run);
        const Lines wire = camera.ReceivedLines();
        EXPECT_EQ(c.wire.isEmpty() ? wire : wire.mid(wire.size() - c.wire.size()), c.wire)
            << what << ": " << wire.join(' ').toStdString();
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        EXPECT_EQ(json.value(QStringLiteral("result")).toString(), QLatin1String(c.text)) << what;
        if (!c.text)
            continue;
        EXPECT_EQ(json.value(QStringLiteral("procedure")).toString(), QLatin1String(c.name)) << what;
        EXPECT_EQ(json.value(QStringLiteral("code")).toInt(), c.code) << what;
    }
    const QnctlRun plain = calibrate(rig, "gain-auto", false, false);
    EXPECT_EQ(plain.out, "Control Limit\n") << Describe(plain);

    // A camera that takes the start and then says nothing more.
    camera.ClearWireLog();
    calibrate(rig, "shading", false, false);
    const qsizetype start = camera.ReceivedLines().indexOf("RS=0");
    ASSERT_GE(start, 0);
    camera.StopAnsweringAfter(static_cast<int>(start) + 1);
    const QnctlRun silent = calibrate(rig, "shading", false, false);
    EXPECT_EQ(silent.exitCode, 3) << Describe(silent);
    EXPECT_TRUE(silent.out.isEmpty()) << Describe(silent);
}
