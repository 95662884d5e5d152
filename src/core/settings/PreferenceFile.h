#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// Raw access to the preference file: every call opens the file, does one thing and closes it
// again, so a value written is on disk when the call returns. A file that cannot be read or
// written gives nothing and stores nothing; the callers fall back to their defaults.
class PreferenceFile {
public:
    explicit PreferenceFile(QString path);

    // The file the program uses when nobody names another: the user's INI file of the tool.
    static QString DefaultPath();
    // A path as a user reads it: under the home folder it starts with "~", so a help text
    // (and a manual page made from it) reads the same for everyone.
    static QString ShownPath(const QString &path, const QString &home);

    const QString &Path() const { return path_; }

    std::optional<std::int32_t> ReadNumber(const QString &name) const;
    std::optional<QString> ReadText(const QString &name) const;
    bool WriteNumber(const QString &name, std::int32_t value) const;
    bool WriteText(const QString &name, const QString &text) const;

    // Stored text converted as a signed decimal number, leading digits only, 0 when none.
    static std::int32_t LeadingNumber(const QString &text);

private:
    QString path_;
};
