#include "cli/CliReport.h"

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
