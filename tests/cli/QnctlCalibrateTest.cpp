#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "QnctlRig.h"

namespace {

using Lines = QList<QByteArray>;

// The code forced on a status; the text on standard output (nullptr: none); the wire's last lines.
struct CalibrateCase { const char *name; bool extended; const char *status; int code, exitCode; const char *text; Lines wire; };

const CalibrateCase kCases[] = {
    {"white-balance", false, "AWRS", 2, 1, "Error1 - G image was too bright", {"AWB=2", "AWRS?"}},
    // This model has no exposure once: the camera refuses the start and nothing is asked.
    {"white-balance-exposure", false, "AHRS", 1, 1, nullptr, {"AWB=4"}},
    {"gain-auto", false, "AGCS", 3, 1, "Control Limit", {"AGC=2", "AGCS?"}},
    {"shading", false, "SDRS", 4, 0, "Complete", {"RS=0", "SDRS?"}},
    {"pixel-gain", false, "PGS", 1, 0, "Succeeded", {"PGR=0", "PGS?", "PGS?", "PGS?", "PGS?"}},
    {"pixel-black-factory", true, "PBS00", 3, 1, "Too Dark", {"PBR00=0", "PBS00?", "PBS00?", "PBS00?", "PBS00?"}},
    // A factory recalibration outside extended mode, and an unknown name: usage errors.
    {"pixel-gain-factory", false, "PGS00", 1, 2, nullptr, {}},
    {"white-balance-twice", false, "AWRS", 1, 2, nullptr, {}},
};

QnctlRun calibrate(const QnctlRig &rig, const char *name, bool extended = false, const char *json = "--json")
{
    return rig.Run({kFixedRate, QStringLiteral("--mode"), QLatin1String(extended ? "extended" : "standard"),
                    QLatin1String(json), QStringLiteral("calibrate"), QLatin1String(name)});
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
        const QnctlRun run = calibrate(rig, c.name, c.extended);
        ASSERT_EQ(run.exitCode, c.exitCode) << what << "\n" << Describe(run);
        const Lines wire = camera.ReceivedLines();
        EXPECT_EQ(c.wire.isEmpty() ? wire : wire.mid(wire.size() - c.wire.size()), c.wire) << what;
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        EXPECT_EQ(json.value(QStringLiteral("result")).toString(), QLatin1String(c.text)) << what;
        EXPECT_TRUE(!c.text || (json.value(QStringLiteral("procedure")) == QLatin1String(c.name) &&
                                json.value(QStringLiteral("code")) == c.code)) << what;
    }
    EXPECT_EQ(calibrate(rig, "gain-auto", false, "--fast").out, "Control Limit\n");

    // A camera that takes the start and then says nothing more.
    camera.ClearWireLog();
    calibrate(rig, "shading");
    const qsizetype start = camera.ReceivedLines().indexOf("RS=0");
    ASSERT_GE(start, 0);
    camera.StopAnsweringAfter(static_cast<int>(start) + 1);
    const QnctlRun silent = calibrate(rig, "shading", false, "--fast");
    EXPECT_TRUE(silent.exitCode == 3 && silent.out.isEmpty()) << Describe(silent);
}
