#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/common/TextFiles.h"

namespace {

struct PieceCase {
    const char *input;
    int pieceChars;
    QList<QByteArray> pieces;
};

TEST(TextFilesTest, PiecesFollowLineEndsAndTheBufferSize)
{
    const PieceCase cases[] = {
        {"", 255, {}},
        {"GA=1\r\nGB=2\r\n", 255, {"GA=1\n", "GB=2\n"}},
        {"GA=1\nGB=2", 255, {"GA=1\n", "GB=2"}},        // LF only, last line without an end
        {"abcdef\n", 3, {"abc", "def", "\n"}},          // the line end alone after a full piece
        {"ab\r\n\r\n", 126, {"ab\n", "\n"}},            // an empty line is a piece
        {"a\rb\n", 126, {"a\rb\n"}},                    // a lone CR is kept
    };
    for (const PieceCase &c : cases)
        EXPECT_EQ(TextPieces(QByteArray(c.input), c.pieceChars), c.pieces) << c.input;
}

TEST(TextFilesTest, AtomicWriteEndsLinesWithCrLfAndLeavesTheOldFileOnFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(WriteLinesAtomically(path, QStringList{QStringLiteral("A=1"), QStringLiteral("\xe9")}));
    QByteArray bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes, QByteArray("A=1\r\n\xe9\r\n"));

    const QString blocked = dir.filePath(QStringLiteral("missing-folder/out.txt"));
    EXPECT_FALSE(WriteLinesAtomically(blocked, QList<QByteArray>{"x"}));
    EXPECT_FALSE(QFile::exists(blocked));
    EXPECT_FALSE(ReadFileBytes(blocked, bytes));
}

} // namespace
