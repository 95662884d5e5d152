#include "cli/JsonLineLog.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QJsonDocument>

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Holds the file's lock while a line is being appended; without flock (a file system that
// has none) the line goes out unlocked, as one write still.
class AppendTurn {
public:
    explicit AppendTurn(int fd) : fd_(fd)
    {
        while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~AppendTurn() { flock(fd_, LOCK_UN); }
    AppendTurn(const AppendTurn &) = delete;
    AppendTurn &operator=(const AppendTurn &) = delete;

private:
    int fd_;
};

} // namespace

JsonLineLog::~JsonLineLog()
{
    if (fd_ >= 0)
        close(fd_);
}

bool JsonLineLog::Open(const QString &path)
{
    // Read as well: the end of the file is looked at before each line.
    fd_ = open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0 && errno == EACCES)
        fd_ = open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        error_ = lastError();
    return fd_ >= 0;
}

off_t JsonLineLog::startLine()
{
    struct stat status {};
    if (fstat(fd_, &status) != 0) {
        error_ = lastError();
        return -1;
    }
    const off_t tornFrom = tornFrom_;
    const off_t tornTo = tornTo_;
    tornFrom_ = tornTo_ = -1;
    // A device or a pipe keeps nothing to mend.
    if (!S_ISREG(status.st_mode) || status.st_size == 0)
        return status.st_size;
    if (tornFrom >= 0 && status.st_size == tornTo) {
        if (ftruncate(fd_, tornFrom) != 0) {
            error_ = QStringLiteral("a half line is left: %1").arg(lastError());
            tornFrom_ = tornFrom;
            tornTo_ = tornTo;
            return -1;
        }
        return tornFrom;
    }
    char last = '\n';
    // A file that cannot be read back (write-only) is taken to end whole.
    if (pread(fd_, &last, 1, status.st_size - 1) == 1 && last != '\n') {
        // Someone else's half line, or a line without its end: closed, never cut.
        if (!write("\n", status.st_size))
            return -1;
        return status.st_size + 1;
    }
    return status.st_size;
}

bool JsonLineLog::write(const QByteArray &bytes, off_t at)
{
    ssize_t written = -1;
    do {
        written = ::write(fd_, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } while (written < 0 && errno == EINTR); // nothing was written: the whole line goes again
    if (written < 0) {
        error_ = lastError();
        return false;
    }
    if (written == bytes.size())
        return true;
    // A second write would not be atomic with the first: the half line is cut back instead,
    // or, when that fails too, before the next line.
    error_ = QStringLiteral("only %1 of %2 bytes written").arg(written).arg(bytes.size());
    if (ftruncate(fd_, at) != 0) {
        tornFrom_ = at;
        tornTo_ = at + written;
    }
    return false;
}

bool JsonLineLog::Append(const QJsonObject &object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    {
        const AppendTurn turn(fd_);
        const off_t end = startLine();
        if (end < 0 || !write(line, end))
            return false;
    }
    if (fsync(fd_) != 0) {
        error_ = lastError();
        return false;
    }
    return true;
}
