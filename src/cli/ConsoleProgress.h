#pragma once

#include <cstdio>

#include <QString>

// The progress of a long operation as a bar on standard error, redrawn in place. Nothing is
// drawn when standard error is not a terminal, so logs and pipes stay clean.
class ConsoleProgress {
public:
    explicit ConsoleProgress(QString title, std::FILE *stream = stderr);
    ~ConsoleProgress();
    ConsoleProgress(const ConsoleProgress &) = delete;
    ConsoleProgress &operator=(const ConsoleProgress &) = delete;

    void Step(int percent, const QString &message = QString());

    // The bar line for a percentage, without the carriage return.
    static QString BarLine(const QString &title, int percent, const QString &message);

private:
    QString title_;
    std::FILE *stream_;
    bool drawing_;
    int shown_ = -1;
    QString message_;
};
