#pragma once

#include <QString>
#include <QTemporaryDir>

// A settings file in a folder of its own that is removed with the object.
class TempSettings {
public:
    TempSettings();
    QString Path() const { return dir_.filePath(QStringLiteral("settings.ini")); }
    QString Folder() const { return dir_.path(); }
    // Writes raw INI text, replacing the file.
    void WriteRaw(const QByteArray &text) const;
    QByteArray ReadRaw() const;

private:
    QTemporaryDir dir_;
};
