#include "cli/CliReport.h"

#include <algorithm>
#include <cstdio>

#include <QJsonDocument>

QByteArray CliReport::Output() const
{
    if (json_)
        return QJsonDocument(document_).toJson(QJsonDocument::Indented);
    QByteArray out;
    for (const QString &line : lines_)
        out += line.toUtf8() + '\n';
    return out;
}

QString AlignedColumns(const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            if (column == widths.size())
                widths.append(0);
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    QStringList lines;
    for (const QStringList &row : rows) {
        QStringList padded;
        for (qsizetype column = 0; column < row.size(); ++column)
            padded.append(column + 1 < row.size() ? row[column].leftJustified(widths[column]) : row[column]);
        lines.append(padded.join(QStringLiteral("  ")));
    }
    return lines.join(QLatin1Char('\n'));
}

void SayOnStandardError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
