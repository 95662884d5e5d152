#include <gtest/gtest.h>

#include "QnctlRig.h"

// The readouts, the counter reset and the identity writes of qnctl put the windows' lines on
// the wire; a text the windows refuse sends nothing.
TEST(QnctlIdentityReadouts, EachPutsTheWindowsLinesOnTheWireOrNothingWhenRefused)
{
    QnctlRig rig;
    const struct {
        QStringList arguments;
        int exitCode;
        const char *said; // a piece of standard output or error
        QList<QByteArray> wire;
    } cases[] = {
        {{QStringLiteral("get"), QStringLiteral("Temperature"), QStringLiteral("Counter 2"), QStringLiteral("LRMIN")},
         0, "CV2 = 0    (Counter 2, Counter Idle)", {"TMP0?", "CV2?", "CS2?", "LRMIN?"}},
        {{QStringLiteral("counter-reset"), QStringLiteral("3")}, 0, "Counter 3 = 0 (Counter Idle)", {"CR3=0", "CV3?", "CS3?"}},
        {{QStringLiteral("counter-reset"), QStringLiteral("4")}, 2, "0 to 3", {}},
        {{QStringLiteral("set-user-id"), QStringLiteral("bench7")}, 0, "has been completed", {"UD=bench7"}},
        {{QStringLiteral("set-user-id"), QStringLiteral("caf\u00e9\u20ac")}, 2, "Nothing was sent", {}},
        {{QStringLiteral("set-camera-id"), QStringLiteral("QN00000042")}, 2, "extended mode", {}},
        {{QStringLiteral("--mode"), QStringLiteral("extended"), QStringLiteral("set-camera-id"), QStringLiteral("QN42")},
         2, "ten characters", {}},
        {{QStringLiteral("--mode"), QStringLiteral("extended"), QStringLiteral("set-camera-id"), QStringLiteral("QN00000042")},
         0, "Completed saving camera id: QN00000042.", {"ULCK=5918274", "ID00=QN00000042"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        rig.Simulator().ClearWireLog();
        const QnctlRun run = rig.Run(QStringList{kFixedRate} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << Describe(run);
        EXPECT_TRUE((run.out + run.err).contains(c.said)) << Describe(run);
        QList<QByteArray> wire = rig.Simulator().ReceivedLines();
        // The model query that finds the camera comes first.
        if (!wire.isEmpty() && !c.wire.isEmpty())
            wire.removeFirst();
        EXPECT_EQ(wire, c.wire);
    }
    EXPECT_EQ(rig.Simulator().Text(QStringLiteral("ID")), QStringLiteral("QN00000042"));
}
