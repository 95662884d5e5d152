#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "QnctlRig.h"

namespace {

// A port that cannot open: a check that tried to reach a camera would end with 3.
const QStringList kNoCamera{QStringLiteral("--port"), QStringLiteral("/dev/qn-no-such-port")};

QString written(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

// "LINE: KIND" of each "FILE:LINE: KIND: TEXT (detail)" line.
QStringList problemsOf(const QByteArray &out, const QString &path)
{
    QStringList problems;
    for (const QByteArray &line : out.split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(path + QLatin1Char(':')))
            problems.append(text.mid(path.size() + 1).section(QLatin1Char(':'), 0, 1));
    }
    return problems;
}

} // namespace

TEST(QnctlCheck, SettingFilesCheckedWithoutACamera)
{
    QnctlRig rig;
    const QString folder = rig.Settings().Folder();
    const QString golden = folder + QStringLiteral("/golden.cam");
    ASSERT_EQ(rig.Run({kFixedRate, QStringLiteral("--mode"), QStringLiteral("extended"), QStringLiteral("save"), golden})
                  .exitCode, 0);
    const QStringList extended{QStringLiteral("--extended")};
    const QStringList second{QStringLiteral("--model"), QStringLiteral("QN-5200RL-BDXP")};
    struct Case {
        const char *name;
        QString file;
        QStringList options;
        int status;
        QStringList problems;
    };
    const Case cases[] = {
        {"a saved file, for the model of its model line", golden, extended, 0, {}},
        {"unreadable lines; a blank one is none", written(folder + "/typo.cam", "GA=100\r\nGAR=2O0\r\n\r\nGA?\r\nGA\r\n"),
         {}, 5, {"2: unreadable", "4: unreadable", "5: unreadable"}},
        {"unknown mnemonic", written(folder + "/unknown.cam", "GA=100\nXYZQ=1\n"), {}, 5, {"2: unknown mnemonic"}},
        {"out of range", written(folder + "/range.cam", "WTC=4096\nWTC=5000\n"), {}, 5, {"2: out of range"}},
        {"other model", written(folder + "/other.cam", "MD00=QN-5200RL-BDXP\nGA=100\n"),
         {QStringLiteral("--model"), QStringLiteral("QN-5200R-BDX")}, 5, {"1: other model"}},
        {"rows the first model lacks", written(folder + "/lacked.cam", "LROP=0\nGAOR=8192\n"), extended, 5,
         {"1: lacked row", "2: lacked row"}},
        {"an extended row in the standard mode", written(folder + "/factory.cam", "GAOR=8192\n"), second, 5,
         {"1: lacked row"}},
        {"an extended row in the extended mode", folder + "/factory.cam", second + extended, 0, {}},
        {"a model that is none", golden, {QStringLiteral("--model"), QStringLiteral("QN-1")}, 2, {}},
        {"a missing file", folder + "/none.cam", {}, 4, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QnctlRun run = rig.RunAsGiven(kNoCamera + QStringList{QStringLiteral("check"), c.file} + c.options);
        EXPECT_EQ(run.exitCode, c.status) << Describe(run);
        EXPECT_EQ(problemsOf(run.out, c.file), c.problems) << Describe(run);
    }

    const QnctlRun range = rig.RunAsGiven(kNoCamera + QStringList{QStringLiteral("check"), folder + "/range.cam"});
    EXPECT_TRUE(range.out.contains(": out of range: WTC=5000 (outside the limits 8 to 4096)")) << Describe(range);
    const QnctlRun json =
        rig.RunAsGiven(kNoCamera + QStringList{QStringLiteral("--json"), QStringLiteral("check"), folder + "/unknown.cam"});
    const QJsonArray problems = QJsonDocument::fromJson(json.out).object().value(QStringLiteral("problems")).toArray();
    ASSERT_EQ(problems.size(), 1) << Describe(json);
    EXPECT_EQ(problems[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("unknown mnemonic"));
    EXPECT_EQ(problems[0].toObject().value(QStringLiteral("text")).toString(), QStringLiteral("XYZQ=1"));
}

TEST(QnctlCheck, TwoFilesComparedWithoutACamera)
{
    QnctlRig rig;
    const QString folder = rig.Settings().Folder();
    const QString a = written(folder + "/a.cam", "GA=100\r\nWTC=2048\r\nGAR=50\r\nGA=110\r\n");
    const QString b = written(folder + "/b.cam", "GAR=50\r\nGA=120\r\nGAB=60\r\nXYZQ=1\r\n");
    const QnctlRun same = rig.RunAsGiven(kNoCamera + QStringList{QStringLiteral("diff"), a, a});
    EXPECT_EQ(same.exitCode, 0) << Describe(same);
    EXPECT_TRUE(same.out.isEmpty()) << Describe(same);

    const QnctlRun run = rig.RunAsGiven(kNoCamera + QStringList{QStringLiteral("--json"), QStringLiteral("diff"), a, b});
    EXPECT_EQ(run.exitCode, 5) << Describe(run);
    QStringList rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(run.out).object().value(QStringLiteral("differences")).toArray()) {
        const QJsonObject o = row.toObject();
        rows.append(QStringLiteral("%1 %2 %3 %4").arg(o.value(QStringLiteral("name")).toString(),
                                                     o.value(QStringLiteral("mnemonic")).toString(),
                                                     o.value(QStringLiteral("a")).toVariant().toString(),
                                                     o.value(QStringLiteral("b")).toVariant().toString()));
    }
    // The last value of a parameter set twice counts; a line a load skips sets nothing.
    EXPECT_EQ(rows, (QStringList{"Gain and Black/Gain All GA 110 120", "Image format/Width WTC 2048 ",
                           "Gain and Black/Gain Blue GAB  60"}))
        << Describe(run);
}
