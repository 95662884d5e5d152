#include "gui/main/SettingFileComparison.h"

#include <algorithm>

#include "core/catalog/ParameterCatalog.h"
#include "core/operations/SettingFileDiff.h"

namespace {

QString counted(std::size_t count, const char *singular, const char *plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromLatin1(count == 1 ? singular : plural));
}

QString summaryOf(const SettingFileDiff &diff, const QString &path, const CameraModel &model, bool extendedMode)
{
    if (!diff.fileRead)
        return path + QStringLiteral(": ") + diff.fileError;
    if (diff.ChecksNothing())
        return path + QStringLiteral(": ") + NothingVerifiedText(model, extendedMode);
    const QString compared = counted(diff.compared, "parameter", "parameters");
    if (diff.IsSame())
        return QStringLiteral("Nothing differs: the camera holds the file's value for %1 %2 compared.")
            .arg(diff.compared == 1 ? QStringLiteral("the") : QStringLiteral("all"), compared);
    QString summary = diff.differences.empty()
                          ? QStringLiteral("No parameter differs of the %1 compared.").arg(compared)
                          : QStringLiteral("%1 of the %2 compared %3.")
                                .arg(diff.differences.size())
                                .arg(compared, diff.differences.size() == 1 ? QStringLiteral("differs")
                                                                             : QStringLiteral("differ"));
    const auto notRead = static_cast<std::size_t>(
        std::count_if(diff.differences.begin(), diff.differences.end(),
                      [](const ParameterDifference &difference) { return !difference.cameraCode; }));
    if (notRead > 0)
        summary += QStringLiteral(" The camera did not give %1 of them.").arg(notRead);
    if (const std::size_t lines = diff.unreadable.size(); lines > 0)
        summary += QStringLiteral(" %1 of the file %2 unreadable: loading the file skips %3.")
                       .arg(counted(lines, "line", "lines"), lines == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                            lines == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    return summary;
}

} // namespace

CompareResult CompareResultOf(const SettingFileDiff &diff, const QString &path, const ParameterCatalog &catalog,
                              const std::function<QString(int controlId)> &pageOf, const CameraModel &model,
                              bool extendedMode)
{
    CompareResult result{path, summaryOf(diff, path, model, extendedMode), {}, {}};
    for (const ParameterDifference &difference : diff.differences) {
        CompareRow row{QString(), QString(), difference.mnemonic, difference.mnemonic, difference.cameraValue,
                       difference.fileValue, -1, difference.fileCode};
        if (const Parameter *parameter = catalog.OfControl(difference.controlId);
            parameter != nullptr && !parameter->label.isEmpty()) {
            row.group = parameter->group;
            row.label = parameter->label;
            row.file = catalog.ValueText(*parameter, difference.fileCode);
            if (difference.cameraCode)
                row.camera = catalog.ValueText(*parameter, *difference.cameraCode);
            row.page = pageOf(difference.controlId);
            if (!row.page.isEmpty())
                row.controlId = difference.controlId;
        }
        result.rows.push_back(row);
    }
    for (const UnreadableLine &line : diff.unreadable)
        result.unreadable.append(UnreadableLineText(line));
    return result;
}
