#pragma once

#include <QByteArray>
#include <QString>

#include "core/common/TextFiles.h"

// The whole file as it is on disk; empty when it cannot be read.
inline QByteArray FileBytes(const QString &path)
{
    QByteArray bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}
