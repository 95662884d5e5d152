#include <QStringList>

#include <gtest/gtest.h>

#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"

TEST(CameraModel, NamesAreComparedExactly)
{
    CameraModel model;
    EXPECT_EQ(model.Code(), CameraModel::kUnknown);
    EXPECT_TRUE(model.Name().isEmpty());
    model.Assign(QStringLiteral("QN-5200RL-BDXP"));
    EXPECT_EQ(model.Code(), 0);
    EXPECT_TRUE(model.IsSecondModel());
    model.Assign(QStringLiteral("QN-5200R-BDX"));
    EXPECT_EQ(model.Code(), 1);
    EXPECT_TRUE(model.IsFirstModel());
    for (const char *name : {"QN-5200R-BDX ", "qn-5200r-bdx", "", "QN-5200R"}) {
        model.Assign(QString::fromLatin1(name));
        EXPECT_EQ(model.Code(), CameraModel::kUnknown) << name;
        EXPECT_EQ(model.Name(), QString::fromLatin1(name)) << "the name is kept for an unknown model too";
    }
}

TEST(CameraModel, SupportRuleByMnemonic)
{
    const CommandTable commands;
    const QStringList lackedBySecond = {"EI", "ETM", "PER", "PEG", "PEB", "SCB", "SGG", "SGR", "SGB", "STP", "SPISR", "SPISB",
                                        "SCBN", "SCBM", "SCBS", "CACRJ", "CACGJ", "CACBJ", "NRL"};
    const QStringList lackedByFirst = {"LROP", "EAS", "SGA", "ODM", "ODS", "SPCM", "SPCR16", "SPCG16", "SPCB16", "SPCD16",
                                       "GAOR", "GAOG", "GAOB", "GAORJ", "GAOGJ", "GAOBJ", "OBR", "OBG", "OBB"};
    int lackedSecond = 0;
    int lackedFirst = 0;
    for (int id = 0; id < kCommandCount; ++id) {
        const QString mnemonic = commands.MnemonicOf(id);
        const bool inGainOffsetBlock = id >= commands.FindMnemonic("GAORA") && id <= commands.FindMnemonic("OBBB");
        EXPECT_EQ(CameraModel::IsSupportedCommand(0, id), !(lackedBySecond.contains(mnemonic) || inGainOffsetBlock)) << id;
        EXPECT_EQ(CameraModel::IsSupportedCommand(1, id), !lackedByFirst.contains(mnemonic)) << id;
        EXPECT_TRUE(CameraModel::IsSupportedCommand(6, id));
        EXPECT_TRUE(CameraModel::IsSupportedCommand(3, id));
        lackedSecond += CameraModel::IsSupportedCommand(0, id) ? 0 : 1;
        lackedFirst += CameraModel::IsSupportedCommand(1, id) ? 0 : 1;
    }
    EXPECT_EQ(lackedSecond, 19 + 18);
    EXPECT_EQ(lackedFirst, 19);
}
