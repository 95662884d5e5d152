#include "core/common/TextFiles.h"

#include <QFile>
#include <QSaveFile>

bool WriteLinesAtomically(const QString &path, const QList<QByteArray> &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool WriteLinesAtomically(const QString &path, const QStringList &lines)
{
    QList<QByteArray> bytes;
    bytes.reserve(lines.size());
    for (const QString &line : lines)
        bytes.append(line.toLatin1());
    return WriteLinesAtomically(path, bytes);
}

bool ReadFileBytes(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

QList<QByteArray> TextPieces(const QByteArray &bytes, int pieceChars)
{
    QList<QByteArray> pieces;
    if (pieceChars < 1)
        return pieces;
    QByteArray piece;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        char c = bytes[i];
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            c = '\n';
            ++i;
        }
        piece += c;
        if (c == '\n' || piece.size() >= pieceChars) {
            pieces.append(piece);
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        pieces.append(piece);
    return pieces;
}

QString FolderOfPath(const QString &path)
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    if (separator == 0)
        return QStringLiteral("/"); // a file in the root folder: the root, not "no folder"
    return separator < 0 ? QString() : path.left(separator);
}
