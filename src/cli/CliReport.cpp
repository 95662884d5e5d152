#include "cli/CliReport.h"

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

void SayOnStandardError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
