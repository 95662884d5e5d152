#include <functional>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "QnctlRig.h"

namespace {

// A port that cannot be reached is told once, in the operator's own words for the device, with
// advice that points at the preference file the operator keeps; with --json as an error object.
TEST(QnctlFailureMessages, OneMessageInTheOperatorsWordsInTextAndJson)
{
    QnctlRig rig(115200);
    rig.Settings().WriteRaw("[Ports]\nCOM5=/nonexistent/ttyUSB9\n");
    const QString camera = rig.DevicePath();
    int holder = -1; // holds the camera's line like another program would
    const struct Case {
        const char *name;
        QString port;
        QString device;       // as the messages name it
        QStringList says;     // in the text message
        QString reason;       // the JSON reason
        std::function<void()> before;
    } cases[] = {
        {"missing device path", QStringLiteral("/nonexistent/ttyUSB7"), QStringLiteral("/nonexistent/ttyUSB7"),
         {QStringLiteral("Cannot open /nonexistent/ttyUSB7."), QStringLiteral("the path is right")},
         QStringLiteral("No such file or directory"), {}},
        {"missing COM mapping", QStringLiteral("COM5"), QStringLiteral("COM5 (/nonexistent/ttyUSB9)"),
         {QStringLiteral("Cannot open COM5 (/nonexistent/ttyUSB9)."), QStringLiteral("[Ports] group of ") + rig.Settings().Path()},
         QStringLiteral("No such file or directory"), {}},
        {"busy port", camera, camera, {QStringLiteral("Another program holds the device")},
         QStringLiteral("Resource temporarily unavailable"),
         [&] {
             holder = open(QFile::encodeName(camera).constData(), O_RDWR | O_NOCTTY);
             flock(holder, LOCK_EX | LOCK_NB);
         }},
        {"unreachable camera", camera, camera, {QStringLiteral("The camera does not answer on ") + camera + '.'},
         QStringLiteral("the camera does not answer"),
         [&] {
             close(holder);
             rig.Simulator().StopAnswering();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before)
            c.before();
        const QStringList link = {QStringLiteral("--settings"), rig.Settings().Path(), QStringLiteral("--port"), c.port,
                                  QStringLiteral("--rate=115200")};
        const QnctlRun text = rig.RunAsGiven(link + QStringList{QStringLiteral("identify")});
        EXPECT_EQ(text.exitCode, 3);
        const QString err = QString::fromLocal8Bit(text.err);
        EXPECT_EQ(err.count(QStringLiteral("qnctl: ")), 1) << err.toStdString();
        for (const QString &part : c.says)
            EXPECT_TRUE(err.contains(part)) << part.toStdString() << "\n" << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("qnctl-"))) << "no private copy named: " << err.toStdString();
        if (c.port.startsWith(QLatin1Char('/'))) {
            EXPECT_FALSE(err.contains(QStringLiteral("COM1")) || err.contains(QStringLiteral("[Ports]"))) << err.toStdString();
        }

        const QnctlRun json = rig.RunAsGiven(link + QStringList{QStringLiteral("--json"), QStringLiteral("identify")});
        EXPECT_EQ(json.exitCode, 3);
        const QJsonObject document = QJsonDocument::fromJson(json.out).object();
        EXPECT_EQ(document.value(QStringLiteral("status")).toInt(), 3);
        const QJsonObject error = document.value(QStringLiteral("error")).toObject();
        EXPECT_EQ(error.value(QStringLiteral("kind")).toString(), QStringLiteral("no-camera"));
        EXPECT_EQ(error.value(QStringLiteral("device")).toString(), c.device);
        EXPECT_EQ(error.value(QStringLiteral("reason")).toString(), c.reason);
        EXPECT_EQ(document.value(QStringLiteral("messages")).toArray().size(), 1) << json.out.toStdString();
    }
}

} // namespace
