#include <vector>

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include "TableListings.h"
#include "core/protocol/CommandSender.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "support/ScriptedDialogs.h"

namespace {

struct ListedRow {
    int index = 0;
    int controlId = 0;
    int commandId = 0;
    QString mnemonic;
    ControlKind kind = ControlKind::List;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    int access = 1;
    int filed = 1;
};

std::vector<ListedRow> listedRows()
{
    std::vector<ListedRow> rows;
    static const QRegularExpression line(QStringLiteral("^- (\\d+): (\\d+) (\\d+) (\\S+) ([LNA])(.*)$"));
    for (const QString &text : QString::fromUtf8(kControlListing).split(u'\n')) {
        const auto match = line.match(text);
        if (!match.hasMatch())
            continue;
        ListedRow row;
        row.index = match.captured(1).toInt();
        row.controlId = match.captured(2).toInt();
        row.commandId = match.captured(3).toInt();
        row.mnemonic = match.captured(4) == QStringLiteral("(empty)") ? QString() : match.captured(4);
        const QChar kind = match.captured(5)[0];
        row.kind = kind == u'L' ? ControlKind::List : kind == u'N' ? ControlKind::Number : ControlKind::Action;
        for (const QString &word : match.captured(6).split(u' ', Qt::SkipEmptyParts)) {
            if (word.contains(QStringLiteral(".."))) {
                row.minimum = word.section(QStringLiteral(".."), 0, 0).toInt();
                row.maximum = word.section(QStringLiteral(".."), 1, 1).toInt();
            } else if (word.startsWith(u'=')) {
                row.value = word.mid(1).toInt();
            } else if (word == QStringLiteral("a0") || word == QStringLiteral("a2")) {
                row.access = word.mid(1).toInt();
            } else if (word == QStringLiteral("nf")) {
                row.filed = 0;
            } else {
                ADD_FAILURE() << "unexpected word " << word.toStdString();
            }
        }
        rows.push_back(row);
    }
    return rows;
}

// Records the sets and fails the one named.
class RecordingSender final : public CommandSender {
public:
    bool SetValue(int commandId, std::int32_t value, std::uint32_t timeoutMs) override
    {
        sent.push_back({commandId, value, static_cast<int>(timeoutMs)});
        return commandId != failCommand;
    }
    struct Sent {
        int commandId;
        int value;
        int timeoutMs;
    };
    std::vector<Sent> sent;
    int failCommand = -1;
};

class ControlTableTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    ControlTable table{dialogs};
};

} // namespace

TEST_F(ControlTableTest, EveryRowMatchesTheListing)
{
    const std::vector<ListedRow> expected = listedRows();
    ASSERT_EQ(expected.size(), static_cast<size_t>(kControlRowCount));
    const CommandTable commands;
    for (const ListedRow &want : expected) {
        SCOPED_TRACE(want.index);
        ASSERT_EQ(want.index, &want - expected.data());
        const ControlEntry &row = table.Row(want.index);
        EXPECT_EQ(row.controlId, want.controlId);
        EXPECT_EQ(row.commandId, want.commandId);
        EXPECT_EQ(commands.MnemonicOf(row.commandId), want.mnemonic);
        EXPECT_EQ(row.kind, want.kind);
        EXPECT_EQ(row.rangeMode, 0);
        EXPECT_EQ(row.access, want.access);
        EXPECT_EQ(row.minimum, want.minimum);
        EXPECT_EQ(row.maximum, want.maximum);
        EXPECT_EQ(row.value, want.value);
        EXPECT_EQ(row.savedValue, 0);
        EXPECT_EQ(row.filed, want.filed);
    }
    const ControlEntry &end = kInitialControlRows[kControlRowCount];
    EXPECT_EQ(end.controlId, -1);
    EXPECT_EQ(end.commandId, 0);
    EXPECT_EQ(end.kind, ControlKind::End);
    EXPECT_EQ(end.rangeMode, 2);
    EXPECT_EQ(end.access, 3);
}

TEST_F(ControlTableTest, CountsAreThoseOfTheTable)
{
    EXPECT_EQ(table.CountParameters(), 214);
    EXPECT_EQ(table.CountStandardParameters(), 171);
    // Cached: a second call gives the same figure.
    EXPECT_EQ(table.CountParameters(), 214);
    EXPECT_EQ(table.CountStandardParameters(), 171);
    EXPECT_FALSE(table.IsParameterRow(42)) << "row 42 is the AS action";
    EXPECT_TRUE(table.IsParameterRow(0));
}

TEST_F(ControlTableTest, LookUpsFindTheFirstRow)
{
    EXPECT_EQ(table.GetDataValue(1225), 4096);
    EXPECT_EQ(table.ToCmdId(1225), 29);
    EXPECT_EQ(table.CtrlId2TblIndex(1225), 14);
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    ASSERT_TRUE(table.GetLimits(1669, minimum, maximum));
    EXPECT_EQ(minimum, 308);
    EXPECT_EQ(maximum, 972);
    EXPECT_EQ(table.GetRangeMode(1225), 0);
    EXPECT_EQ(table.IsFiled(1225), 1);
    EXPECT_EQ(table.IsFiled(1124), 0);
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ControlTableTest, ToCtrlIdMapsFamiliesAndRows)
{
    EXPECT_EQ(table.ToCtrlId(150), 1702);
    EXPECT_EQ(table.ToCtrlId(11), 1124);
    const int families[][3] = {{165, 168, 1701}, {145, 148, 1699}, {149, 164, 1702}, {169, 304, 1696}, {305, 320, 1703}};
    for (const auto &family : families) {
        for (int id = family[0]; id <= family[1]; ++id)
            EXPECT_EQ(table.ToCtrlId(id), family[2]) << id;
    }
    EXPECT_EQ(table.ToCtrlId(322), 1700) << "the empty command maps to the first row that carries it";
    EXPECT_EQ(table.ToCtrlId(144), 1560);
    EXPECT_TRUE(dialogs.Messages().empty());

    EXPECT_EQ(table.ToCtrlId(0), -1);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Unexpected error occurred in ToCtrlId(): Command id is 0");
    EXPECT_EQ(dialogs.Messages()[0].icon, MessageIcon::Exclamation);
}

TEST_F(ControlTableTest, FailedLookUpsReportAndReturnFailure)
{
    EXPECT_FALSE(table.SetDataValue(-1, 5)) << "the end row is not searched";
    EXPECT_EQ(table.GetDataValue(9999), -1);
    EXPECT_EQ(table.GetSavedValue(9999), -1);
    EXPECT_EQ(table.ToCmdId(9999), -1);
    EXPECT_EQ(table.CtrlId2TblIndex(9999), -1);
    EXPECT_EQ(table.GetRangeMode(9999), -1);
    std::int32_t minimum = 7;
    std::int32_t maximum = 8;
    EXPECT_FALSE(table.GetLimits(9999, minimum, maximum));
    EXPECT_EQ(minimum, 7);
    EXPECT_EQ(table.IsFiled(9999), 0);
    const QStringList expected = {
        "Unexpected error occurred in SetDataValue().",
        "Unexpected error occurred in GetDataValue().",
        "Unexpected error occurred in GetDataValue().",
        "Unexpected error occurred in ToCmdId().",
        "Unexpected error occurred in CtrlId2TblIndex().",
        "Unexpected error occurred in CtrlId2TblIndex().",
        "Unexpected error occurred in CtrlId2TblIndex().",
    };
    EXPECT_EQ(dialogs.MessageTexts(), expected) << "IsFiled fails without a message";
}

TEST_F(ControlTableTest, SendChangedValuesWalksTheTableInOrder)
{
    RecordingSender sender;
    table.CommitValues();
    EXPECT_TRUE(table.SendChangedValues(sender));
    EXPECT_TRUE(sender.sent.empty()) << "after a commit nothing differs";

    // Changed in reverse order; they go out in table order.
    ASSERT_TRUE(table.SetDataValue(1227, 16)); // row 15, OFC
    ASSERT_TRUE(table.SetDataValue(1225, 2048)); // row 14, WTC
    EXPECT_TRUE(table.SendChangedValues(sender));
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].commandId, 29);
    EXPECT_EQ(sender.sent[0].value, 2048);
    EXPECT_EQ(sender.sent[0].timeoutMs, 5000);
    EXPECT_EQ(sender.sent[1].commandId, 30);
    EXPECT_EQ(table.GetSavedValue(1225), 4096) << "sending does not commit";

    // A failure of the first stops before the second.
    sender.sent.clear();
    sender.failCommand = 29;
    EXPECT_FALSE(table.SendChangedValues(sender));
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].commandId, 29);

    table.CommitValues();
    EXPECT_EQ(table.GetSavedValue(1225), 2048);
    EXPECT_EQ(table.GetSavedValue(1227), 16);
}
