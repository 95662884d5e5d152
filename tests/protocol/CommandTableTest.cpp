#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include "TableListings.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"

namespace {

QStringList listedMnemonics()
{
    QStringList mnemonics;
    static const QRegularExpression line(QStringLiteral("^- (\\d+)\u2013(\\d+): (.*)$"));
    for (const QString &text : QString::fromUtf8(kCommandListing).split(u'\n')) {
        const auto match = line.match(text);
        if (!match.hasMatch())
            continue;
        const QStringList words = match.captured(3).split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(words.size(), match.captured(2).toInt() - match.captured(1).toInt() + 1) << text.toStdString();
        EXPECT_EQ(mnemonics.size(), match.captured(1).toInt());
        for (const QString &word : words)
            mnemonics << (word == QStringLiteral("(empty)") ? QString() : word);
    }
    return mnemonics;
}

} // namespace

TEST(CommandTable, EveryRowMatchesTheListing)
{
    const QStringList expected = listedMnemonics();
    ASSERT_EQ(expected.size(), kCommandCount);
    const CommandTable table;
    const QList<int> textIds = {3, 4, 5, 6, 7, 8, 9, 392, 393, 442};
    for (int id = 0; id < kCommandCount; ++id) {
        EXPECT_EQ(table.MnemonicOf(id), expected[id]) << "id " << id;
        EXPECT_EQ(table.ValueTypeOf(id), textIds.contains(id) ? ValueType::Text : ValueType::Integer) << "id " << id;
        EXPECT_EQ(table.DecimalsOf(id), 0) << "id " << id;
    }
}

TEST(CommandTable, NamedIdsAndPatterns)
{
    const CommandTable table;
    EXPECT_EQ(table.MnemonicOf(11), "CBDRT");
    EXPECT_EQ(table.MnemonicOf(10), "SBDRT");
    EXPECT_EQ(table.MnemonicOf(CommandId::MD), "MD");
    EXPECT_EQ(table.MnemonicOf(CommandId::EA), "EA");
    EXPECT_EQ(table.MnemonicOf(CommandId::ULCK), "ULCK");
    EXPECT_TRUE(table.MnemonicOf(CommandId::Empty).isEmpty());
    // The regular families: CACRaRb for a = 0..3 outer, b = 0..8 inner, and so on.
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 9; ++b) {
            EXPECT_EQ(table.MnemonicOf(169 + a * 9 + b), QStringLiteral("CACR%1R%2").arg(a).arg(b));
            EXPECT_EQ(table.MnemonicOf(205 + a * 9 + b), QStringLiteral("CACR%1B%2").arg(a).arg(b));
        }
        for (int b = 1; b < 9; ++b) {
            EXPECT_EQ(table.MnemonicOf(241 + a * 8 + b - 1), QStringLiteral("CACRR%1R%2").arg(a).arg(b));
            EXPECT_EQ(table.MnemonicOf(273 + a * 8 + b - 1), QStringLiteral("CACRR%1B%2").arg(a).arg(b));
        }
    }
    const QStringList generator = {"PGL", "PGST", "PGEN", "PGRPT", "PGCM", "PGIN", "PGINV", "PGSM"};
    for (int n = 0; n < 4; ++n) {
        for (int k = 0; k < generator.size(); ++k)
            EXPECT_EQ(table.MnemonicOf(328 + n * 8 + k), generator[k] + QString::number(n));
    }
}

TEST(CommandTable, ReverseLookUp)
{
    const CommandTable table;
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("PBC00")), 445);
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("EB")), 0);
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("CBDRT")), 11);
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("cbdrt")), -1) << "the look-up is case-sensitive";
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("CBDRT ")), -1) << "the look-up is exact";
    EXPECT_EQ(table.FindMnemonic(QStringLiteral("NOSUCH")), -1);
    EXPECT_EQ(table.FindMnemonic(QString()), CommandId::Empty) << "the empty mnemonic matches row 322";
}

TEST(CommandTable, ValueTypeChangeStaysInOneTable)
{
    CommandTable table;
    table.SetValueTypeOf(47, ValueType::Text);
    EXPECT_EQ(table.ValueTypeOf(47), ValueType::Text);
    EXPECT_EQ(CommandTable().ValueTypeOf(47), ValueType::Integer) << "the fixed rows are not touched";
    EXPECT_EQ(kCommandRows[47].valueType, ValueType::Integer);
}
