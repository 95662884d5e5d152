#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The tool's text files: single-byte text, CR LF line ends on disk whatever the platform,
// read back accepting CR LF or LF. Writes go through a temporary file that replaces the
// target only once everything is on disk, so a failed write leaves an earlier file as it was.

// Writes each line followed by CR LF. False when any step failed; the target is then untouched.
bool WriteLinesAtomically(const QString &path, const QList<QByteArray> &lines);
// The same for text lines, converted to Latin-1.
bool WriteLinesAtomically(const QString &path, const QStringList &lines);

// The whole file; false when it cannot be opened or read.
bool ReadFileBytes(const QString &path, QByteArray &bytes);

// The file's lines as a line-oriented reader with a buffer of pieceChars characters takes them:
// each piece ends after its line feed (kept) or after pieceChars characters, so a longer line
// comes back as several pieces. CR LF counts as one line feed. A last line without a line end
// is a piece of its own; an empty file has none.
QList<QByteArray> TextPieces(const QByteArray &bytes, int pieceChars);

// The path up to, not including, its last separator; "/" for a file in the root folder, empty
// when it has no separator.
QString FolderOfPath(const QString &path);
