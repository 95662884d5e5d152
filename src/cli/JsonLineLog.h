#pragma once

#include <sys/types.h>

#include <QJsonObject>
#include <QString>

// A log of one JSON object per line that a crash never tears: each line goes out whole in
// one write(2) on an O_APPEND descriptor and is then flushed to the disk with fsync, so a
// reader finds whole lines only, also when several stations append to the same file. A write
// cut short (a full disk, a file-size limit) is taken back before anything else is written,
// and the writers of one file take turns under an flock, so that no line is glued to the
// half of another.
class JsonLineLog {
public:
    JsonLineLog() = default;
    ~JsonLineLog();
    JsonLineLog(const JsonLineLog &) = delete;
    JsonLineLog &operator=(const JsonLineLog &) = delete;

    // Opens (creates) the file for appending; false with Error() set when it cannot.
    bool Open(const QString &path);
    bool IsOpen() const { return fd_ >= 0; }

    // Appends the object as one compact line; false with Error() set when the line was not
    // written whole or did not reach the disk.
    bool Append(const QJsonObject &object);

    const QString &Error() const { return error_; }

private:
    // Sees that the next line starts a line of its own: a half line of ours cut back, a file
    // ending otherwise closed with a line end. The size of the file after it, or -1.
    off_t startLine();
    bool write(const QByteArray &bytes, off_t at);

    int fd_ = -1;
    QString error_;
    // A half line of ours that could not be cut back yet: where it starts and ends.
    off_t tornFrom_ = -1;
    off_t tornTo_ = -1;
};
