#include "cli/ConsoleProgress.h"

#include <algorithm>
#include <utility>

#include <unistd.h>

namespace {
constexpr int kBarWidth = 30;
} // namespace

ConsoleProgress::ConsoleProgress(QString title, std::FILE *stream)
    : title_(std::move(title)), stream_(stream), drawing_(isatty(fileno(stream)) == 1)
{
    Step(0);
}

ConsoleProgress::~ConsoleProgress()
{
    if (drawing_ && shown_ >= 0)
        std::fprintf(stream_, "\r%s\n", BarLine(title_, 100, message_).toLocal8Bit().constData());
}

QString ConsoleProgress::BarLine(const QString &title, int percent, const QString &message)
{
    const int clamped = std::clamp(percent, 0, 100);
    const int filled = clamped * kBarWidth / 100;
    QString line = QStringLiteral("%1 [%2%3] %4%").arg(title, QString(filled, QLatin1Char('#')),
                                                      QString(kBarWidth - filled, QLatin1Char(' ')))
                       .arg(clamped, 3);
    if (!message.isEmpty())
        line += QLatin1Char(' ') + message;
    return line;
}

void ConsoleProgress::Step(int percent, const QString &message)
{
    if (!drawing_)
        return;
    if (percent == shown_ && message == message_)
        return;
    shown_ = percent;
    message_ = message;
    std::fprintf(stream_, "\r%s", BarLine(title_, percent, message).toLocal8Bit().constData());
    std::fflush(stream_);
}
