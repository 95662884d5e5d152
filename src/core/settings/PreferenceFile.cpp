#include "core/settings/PreferenceFile.h"

#include <limits>

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// Values above 512 bytes are treated as unreadable, like the platform store's buffer.
constexpr qsizetype kMaxValueBytes = 512;

std::optional<QString> readRaw(const QString &path, const QString &name)
{
    if (!QFileInfo(path).isReadable())
        return std::nullopt;
    QSettings file(path, QSettings::IniFormat);
    const QVariant value = file.value(name);
    if (file.status() != QSettings::NoError)
        return std::nullopt;
    if (!value.isValid())
        return std::nullopt;
    const QString text = value.toString();
    if (text.toLatin1().size() + 1 > kMaxValueBytes)
        return std::nullopt;
    return text;
}

bool writeRaw(const QString &path, const QString &name, const QString &text)
{
    QSettings file(path, QSettings::IniFormat);
    (void)file.childKeys(); // loads the file, so a damaged one is never overwritten
    if (file.status() != QSettings::NoError)
        return false;
    file.setValue(name, text);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace

PreferenceFile::PreferenceFile(QString path) : path_(std::move(path)) {}

QString PreferenceFile::DefaultPath()
{
    QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Korvel"),
                    QStringLiteral("QN-5200R-RL Control Tool"));
    return probe.fileName();
}

QString PreferenceFile::ShownPath(const QString &path, const QString &home)
{
    QString base = home;
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    // Only a whole folder name counts: /home/ann is not the home of /home/anna.
    if (base.isEmpty() || base == QLatin1String("/") || !path.startsWith(base))
        return path;
    if (path.size() == base.size())
        return QStringLiteral("~");
    if (path[base.size()] != u'/')
        return path;
    return QLatin1Char('~') + path.mid(base.size());
}

std::int32_t PreferenceFile::LeadingNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            break;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> PreferenceFile::ReadNumber(const QString &name) const
{
    const std::optional<QString> text = readRaw(path_, name);
    if (!text)
        return std::nullopt;
    return LeadingNumber(*text);
}

std::optional<QString> PreferenceFile::ReadText(const QString &name) const
{
    return readRaw(path_, name);
}

bool PreferenceFile::WriteNumber(const QString &name, std::int32_t value) const
{
    return writeRaw(path_, name, QString::number(value));
}

bool PreferenceFile::WriteText(const QString &name, const QString &text) const
{
    return writeRaw(path_, name, text);
}
