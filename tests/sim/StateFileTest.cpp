#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "CommandProcessor.h"
#include "StateFile.h"

namespace {

TEST(StateFile, KeepsAreasAndIdentificationAcrossRuns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.json"));

    CommandProcessor camera;
    camera.Process("GA=900", 0);
    camera.Process("SA=1", 0);
    camera.Process("BAS00=1", 0);
    camera.Process("MD00=QN-5200R-BDX", 0);
    ASSERT_TRUE(StateFile::Save(path, camera.Persistent()));

    CommandProcessor fresh;
    const auto loaded = StateFile::Load(path, fresh.Persistent());
    ASSERT_TRUE(loaded);
    fresh.Restore(*loaded);
    EXPECT_EQ(fresh.Value(QStringLiteral("GA")), 900);
    EXPECT_EQ(fresh.Model(), QStringLiteral("QN-5200R-BDX"));
    EXPECT_EQ(fresh.ModelCode(), 1);
    EXPECT_EQ(fresh.Value(QStringLiteral("EA")), 1);
}

TEST(StateFile, BrokenOrForeignFilesDoNotLeakIntoTheCamera)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.json"));
    CommandProcessor camera;
    EXPECT_FALSE(StateFile::Load(path, camera.Persistent())); // missing

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"areas":[{"GA":99999,"WTC":1024}],"bootArea":7})");
    file.close();
    const auto loaded = StateFile::Load(path, camera.Persistent());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->areas[0][47], 3200); // clamped to the limits
    EXPECT_EQ(loaded->areas[0][29], 1024);
    EXPECT_EQ(loaded->bootArea, 3);
    EXPECT_EQ(loaded->identity.model, camera.Model()); // missing fields keep the fallback

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not json");
    file.close();
    EXPECT_FALSE(StateFile::Load(path, camera.Persistent()));
}

} // namespace
