// qn-genicam-gen: writes the GenApi description, the CLProtocol library's register map and the
// documentation's tables from the tool's tables, into the build tree. A file whose content is
// unchanged is left alone, so nothing after it is rebuilt.
#include <cstdio>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "core/genicam/FeatureModel.h"
#include "core/genicam/GenApiXml.h"
#include "core/genicam/RegisterMapSource.h"
#include "core/genicam/RegisterTable.h"

namespace {

bool writeIfChanged(const QString &path, const QByteArray &content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        std::fprintf(stderr, "qn-genicam-gen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qn-genicam-gen OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("xml")))
        return 1;
    const Genicam::Description description = Genicam::BuildDescription();
    const QByteArray xml = Genicam::WriteGenApiXml(description);
    // Beside the library, the description goes by its XML id, as GenTL producers look for it.
    const bool written = writeIfChanged(out.filePath(QStringLiteral("genapi.xml")), xml) &&
                         writeIfChanged(out.filePath(QStringLiteral("xml/") + Genicam::XmlId() + QStringLiteral(".xml")), xml) &&
                         writeIfChanged(out.filePath(QStringLiteral("RegisterMapData.cpp")),
                                        Genicam::WriteRegisterMapSource(description, xml)) &&
                         writeIfChanged(out.filePath(QStringLiteral("genicam-registers.md")),
                                        Genicam::WriteRegisterTable(description)) &&
                         writeIfChanged(out.filePath(QStringLiteral("sfnc-names.md")), Genicam::WriteSfncTable(description));
    return written ? 0 : 1;
}
