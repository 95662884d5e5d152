#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A Camera Link folder of a test's own, holding copies of the fake Camera Link serial
// libraries that the build puts under tests/fakecl/<set>/. Each copy reads its ports from
// "<copy>.conf" and logs its loads, unloads and calls to "<copy>.log" beside it, so tests
// that run at the same time never share a configuration.
class FakeCameraLinkFolder {
public:
    FakeCameraLinkFolder();
    QString Path() const { return dir_.path(); }
    // Copies the built library <set>/<file> into the folder; false when it is not there.
    bool Add(const QString &set, const QString &file) const;
    // Writes "<file>.conf"; the library reads it when it opens a port.
    void Configure(const QString &file, const QByteArray &conf) const;
    // "log=1" and every serial index (kind 2: every manufacturer) 0 to ports - 1 on device.
    static QByteArray ServingConf(const QString &device, int ports = 3);
    // The lines of "<file>.log", oldest first.
    QStringList Log(const QString &file) const;
    void ClearLog(const QString &file) const;
    // "CameraLinkFolder=<folder>\n", for the [Ports] group of a settings file.
    QByteArray FolderIni() const;
    // Where the build put <set>/<file>.
    static QString Built(const QString &set, const QString &file);

private:
    QTemporaryDir dir_;
};
