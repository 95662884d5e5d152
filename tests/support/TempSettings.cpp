#include "support/TempSettings.h"

#include <QFile>

TempSettings::TempSettings() = default;

void TempSettings::WriteRaw(const QByteArray &text) const
{
    QFile file(Path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}

QByteArray TempSettings::ReadRaw() const
{
    QFile file(Path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
