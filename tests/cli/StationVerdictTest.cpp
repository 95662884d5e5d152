#include <gtest/gtest.h>

#include "cli/StationVerdict.h"

namespace {

StationCamera cameraWith(StationResult result, int differences)
{
    StationCamera camera;
    camera.cameraId = QStringLiteral("QN00000007");
    camera.model = QStringLiteral("QN-5200RL-BDXP");
    camera.firmware = QStringLiteral("2.1.0.7");
    camera.result = result;
    for (int i = 0; i < differences; ++i)
        camera.differences.push_back({QStringLiteral("P%1").arg(i), QString(), i, i % 2 ? std::optional<std::int32_t>(-i)
                                                                                         : std::nullopt});
    return camera;
}

} // namespace

TEST(StationVerdict, LineSplitsOnBlanksWhateverTheCameraSays)
{
    struct Case {
        const char *name;
        StationCamera camera;
        const char *line;
    };
    StationCamera unknown;
    unknown.reason = QStringLiteral("lost while identifying");
    StationCamera blanks = cameraWith(StationResult::Stopped, 0);
    blanks.cameraId = QStringLiteral("line 4 \"left\"");
    blanks.reason = QStringLiteral("stopped before storing");
    const Case cases[] = {
        {"passed", cameraWith(StationResult::Ok, 0), "OK QN00000007 QN-5200RL-BDXP 2.1.0.7"},
        {"differs", cameraWith(StationResult::Differs, 2),
         "DIFF QN00000007 QN-5200RL-BDXP 2.1.0.7 P0:file=0,camera=? P1:file=1,camera=-1"},
        {"many differences",
         cameraWith(StationResult::Differs, kVerdictDifferences + 2),
         "DIFF QN00000007 QN-5200RL-BDXP 2.1.0.7 P0:file=0,camera=? P1:file=1,camera=-1 P2:file=2,camera=? "
         "P3:file=3,camera=-3 P4:file=4,camera=? P5:file=5,camera=-5 P6:file=6,camera=? P7:file=7,camera=-7 +2 more"},
        {"nothing known", unknown, "FAIL - - - lost while identifying"},
        {"blanks and quotes", blanks, "STOP \"line 4 \\\"left\\\"\" QN-5200RL-BDXP 2.1.0.7 stopped before storing"},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(VerdictLine(test.camera).toStdString(), test.line);
    }
}
