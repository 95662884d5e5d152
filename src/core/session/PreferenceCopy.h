#pragma once

#include <QString>
#include <QTemporaryDir>

struct SessionOptions;

// A private copy of the preference file for one run. The core reads and writes the copy (the
// link choice, rate, mode and shutdown marker are written as the windows write them); the
// stored file changes only when the run asked for it, and then only in the preferences the
// operator chose: a device path given on the command line does not replace the stored COM
// name, and the shutdown marker stays the windows' own.
class PreferenceCopy {
public:
    PreferenceCopy(QString storedPath, const SessionOptions &options);
    // Writes the preferences back when asked for, after every holder has written the copy.
    ~PreferenceCopy();
    PreferenceCopy(const PreferenceCopy &) = delete;
    PreferenceCopy &operator=(const PreferenceCopy &) = delete;

    const QString &Path() const { return copyPath_; }
    // The preference file the operator keeps (the copy's original).
    const QString &StoredPath() const { return storedPath_; }
    // Whether the run's port was given as a device path or address rather than a COM name.
    bool DirectDevice() const { return directDevice_; }
    // A device path stands in for this COM name in the copy.
    static constexpr int kDirectDevicePort = 0; // COM1

private:
    void writeBack() const;

    QString storedPath_;
    QTemporaryDir folder_;
    QString copyPath_;
    bool writeBack_;
    bool directDevice_;
};
