#include "cli/JsonLineLog.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QJsonDocument>

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

JsonLineLog::~JsonLineLog()
{
    if (fd_ >= 0)
        close(fd_);
}

bool JsonLineLog::Open(const QString &path)
{
    fd_ = open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        error_ = lastError();
    return fd_ >= 0;
}

bool JsonLineLog::Append(const QJsonObject &object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    ssize_t written = -1;
    do {
        written = write(fd_, line.constData(), static_cast<std::size_t>(line.size()));
    } while (written < 0 && errno == EINTR); // nothing was written: the whole line goes again
    if (written < 0) {
        error_ = lastError();
        return false;
    }
    if (written != line.size()) {
        // A second write would not be atomic with the first; the short line stays and is reported.
        error_ = QStringLiteral("only %1 of %2 bytes written").arg(written).arg(line.size());
        return false;
    }
    if (fsync(fd_) != 0) {
        error_ = lastError();
        return false;
    }
    return true;
}
