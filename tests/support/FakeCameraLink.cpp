#include "support/FakeCameraLink.h"

#include <QDir>
#include <QFile>

#ifndef QN_FAKE_CL_DIR
#error "qn_uses_fake_cameralink() gives the folder of the fake Camera Link libraries"
#endif

FakeCameraLinkFolder::FakeCameraLinkFolder() = default;

QString FakeCameraLinkFolder::Built(const QString &set, const QString &file)
{
    return QDir(QStringLiteral(QN_FAKE_CL_DIR)).filePath(set + QLatin1Char('/') + file);
}

bool FakeCameraLinkFolder::Add(const QString &set, const QString &file) const
{
    return QFile::copy(Built(set, file), QDir(Path()).filePath(file));
}

void FakeCameraLinkFolder::Configure(const QString &file, const QByteArray &conf) const
{
    QFile out(QDir(Path()).filePath(file + QStringLiteral(".conf")));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(conf);
}

QByteArray FakeCameraLinkFolder::ServingConf(const QString &device, int ports)
{
    QByteArray conf("log=1\n");
    for (int i = 0; i < ports; ++i)
        conf += "port" + QByteArray::number(i) + '=' + QFile::encodeName(device) + '\n';
    return conf;
}

QStringList FakeCameraLinkFolder::Log(const QString &file) const
{
    QFile in(QDir(Path()).filePath(file + QStringLiteral(".log")));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void FakeCameraLinkFolder::ClearLog(const QString &file) const
{
    QFile::remove(QDir(Path()).filePath(file + QStringLiteral(".log")));
}

QByteArray FakeCameraLinkFolder::FolderIni() const
{
    return "CameraLinkFolder=" + QFile::encodeName(Path()) + '\n';
}
