#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "QnctlRig.h"

namespace {

// The mnemonics of a diff's table (second column, below the heading).
QStringList listedMnemonics(const QByteArray &out)
{
    QStringList mnemonics;
    const QList<QByteArray> lines = out.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> words = lines[i].simplified().split(' ');
        if (!lines[i].startsWith("line ") && words.size() >= 4)
            mnemonics.append(QString::fromLatin1(words[words.size() - 3]));
    }
    return mnemonics;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(QnctlDiff, DiffAndVerifyAgainstASavedFile)
{
    QnctlRig rig;
    const QString saved = rig.Settings().Folder() + QStringLiteral("/camera.cam");
    const QString typo = rig.Settings().Folder() + QStringLiteral("/typo.cam");
    const QString missing = rig.Settings().Folder() + QStringLiteral("/none.cam");
    ASSERT_EQ(rig.Run({kFixedRate, QStringLiteral("save"), saved}).exitCode, 0);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const int typoLine = static_cast<int>(bytes.count('\n')) + 1;
    writeFile(typo, bytes + "GAR=2O0\r\n");
    const QString empty = rig.Settings().Folder() + QStringLiteral("/empty.cam");
    const QString gamma = empty + QStringLiteral(".csv"), typos = empty + QStringLiteral("2");
    writeFile(empty, "");
    writeFile(gamma, "GammaData (R G B)\r\n0,0,0\r\n1,1,1\r\n");
    writeFile(typos, "GA=1O0\r\n");

    const qint64 gain = *rig.Simulator().Value(QStringLiteral("GA"));
    const qint64 width = *rig.Simulator().Value(QStringLiteral("WTC"));
    const QString newGain = QString::number(gain == 150 ? 151 : 150);
    const QString newWidth = QString::number(width == 2048 ? 1024 : 2048);

    struct Case {
        const char *name;
        QStringList sets; // qnctl set runs before the command
        QString command;
        QString file;
        int status;
        QStringList listed; // mnemonics of the table, in file order
        bool listing;       // anything on standard output
    };
    const Case cases[] = {
        {"diff after save", {}, QStringLiteral("diff"), saved, 0, {}, false},
        {"verify after save", {}, QStringLiteral("verify"), saved, 0, {}, false},
        {"diff after two sets", {QStringLiteral("GA=") + newGain, QStringLiteral("WTC=") + newWidth},
         QStringLiteral("diff"), saved, 5, {QStringLiteral("WTC"), QStringLiteral("GA")}, true},
        {"verify after two sets", {}, QStringLiteral("verify"), saved, 5, {}, false},
        {"a typo is unreadable", {}, QStringLiteral("diff"), typo, 5, {QStringLiteral("WTC"), QStringLiteral("GA")}, true},
        {"diff of a missing file", {}, QStringLiteral("diff"), missing, 4, {}, false},
        {"verify of a missing file", {}, QStringLiteral("verify"), missing, 4, {}, false},
        {"an empty file verifies nothing", {}, QStringLiteral("verify"), empty, 6, {}, false},
        {"a gamma table verifies nothing", {}, QStringLiteral("verify"), gamma, 6, {}, false},
        {"nothing but typos, listed", {}, QStringLiteral("diff"), typos, 6, {}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &set : c.sets)
            ASSERT_EQ(rig.Run({kFixedRate, QStringLiteral("set"), set}).exitCode, 0);
        const QnctlRun run = rig.Run({kFixedRate, c.command, c.file});
        EXPECT_EQ(run.exitCode, c.status) << Describe(run);
        EXPECT_EQ(!run.out.isEmpty(), c.listing) << Describe(run);
        EXPECT_EQ(listedMnemonics(run.out), c.listed) << Describe(run);
        EXPECT_EQ(run.out.contains("line " + QByteArray::number(typoLine) + " unreadable: GAR=2O0"), c.file == typo)
            << Describe(run);
        if (c.status == 4) {
            EXPECT_TRUE(run.err.contains("none.cam")) << Describe(run);
        }
        EXPECT_EQ(run.err.contains("nothing was verified"), c.status == 6) << Describe(run);
    }

    const QnctlRun json = rig.Run({kFixedRate, QStringLiteral("--json"), QStringLiteral("diff"), typo});
    EXPECT_EQ(json.exitCode, 5) << Describe(json);
    const QJsonObject document = QJsonDocument::fromJson(json.out).object();
    const QJsonArray differences = document.value(QStringLiteral("differences")).toArray();
    ASSERT_EQ(differences.size(), 2) << Describe(json);
    const QJsonObject widthRow = differences[0].toObject(); // in file order
    EXPECT_EQ(widthRow.value(QStringLiteral("name")).toString(), QStringLiteral("Image format/Width"));
    EXPECT_EQ(widthRow.value(QStringLiteral("mnemonic")).toString(), QStringLiteral("WTC"));
    EXPECT_EQ(widthRow.value(QStringLiteral("camera")).toString(), newWidth);
    EXPECT_EQ(widthRow.value(QStringLiteral("file")).toString(), QString::number(width));
    const QJsonArray unreadable = document.value(QStringLiteral("unreadable")).toArray();
    ASSERT_EQ(unreadable.size(), 1) << Describe(json);
    EXPECT_EQ(unreadable[0].toObject().value(QStringLiteral("line")).toInt(), typoLine);
    EXPECT_EQ(unreadable[0].toObject().value(QStringLiteral("text")).toString(), QStringLiteral("GAR=2O0"));

    const QnctlRun verify = rig.Run({kFixedRate, QStringLiteral("--json"), QStringLiteral("verify"), typo});
    EXPECT_EQ(verify.exitCode, 5) << Describe(verify);
    EXPECT_EQ(QJsonDocument::fromJson(verify.out).object().value(QStringLiteral("same")), QJsonValue(false))
        << Describe(verify);
}

// A typo in a file that is loaded is named and left off the wire; the rest is loaded.
TEST(QnctlDiff, LoadNamesAMalformedLineAndSendsNothingOfIt)
{
    QnctlRig rig;
    const QString path = rig.Settings().Folder() + QStringLiteral("/typo.cam");
    writeFile(path, "GA=120\r\nGAR=2O0\r\nGAB=130\r\n");
    rig.Simulator().ClearWireLog();
    const QnctlRun load = rig.Run({kFixedRate, QStringLiteral("load"), path});
    EXPECT_EQ(load.exitCode, 1) << Describe(load);
    EXPECT_TRUE(load.err.contains("line 2 skipped, its value is not a whole number: GAR=2O0")) << Describe(load);
    EXPECT_TRUE(load.out.contains("1 lines not taken")) << Describe(load);
    for (const QByteArray &line : rig.Simulator().ReceivedLines())
        EXPECT_FALSE(line.startsWith("GAR=")) << line.toStdString();
    EXPECT_EQ(rig.Simulator().Value(QStringLiteral("GAB")), 130);
}
