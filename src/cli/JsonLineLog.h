#pragma once

#include <QJsonObject>
#include <QString>

// A log of one JSON object per line that a crash never tears: each line goes out whole in
// one write(2) on an O_APPEND descriptor and is then flushed to the disk with fsync, so a
// reader finds whole lines only, also when several stations append to the same file.
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
    int fd_ = -1;
    QString error_;
};
