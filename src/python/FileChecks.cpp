#include "python/FileChecks.h"

#include <optional>
#include <string>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "core/common/TextFiles.h"
#include "core/operations/SettingFileLint.h"
#include "core/protocol/CameraModel.h"
#include "python/PythonErrors.h"

namespace py = pybind11;

namespace {

QByteArray fileBytes(const std::string &path)
{
    QByteArray bytes;
    if (!ReadFileBytes(QString::fromStdString(path), bytes))
        ThrowFile(QString::fromStdString(path), QStringLiteral("could not be read"));
    return bytes;
}

QString modelFor(const QList<QByteArray> &files, const std::optional<std::string> &model)
{
    const QString given = model ? QString::fromStdString(*model) : QString();
    if (const std::optional<QString> name = SettingFileModelName(files, given))
        return *name;
    ThrowUsage(QStringLiteral("model %1: give one of %2")
                   .arg(given, CameraModel::SupportedNames().join(QStringLiteral(", "))));
}

py::object valueOrNone(const std::optional<std::int32_t> &value)
{
    return value ? py::object(py::int_(*value)) : py::object(py::none());
}

py::list checkFile(const std::string &path, const std::optional<std::string> &model, bool extended)
{
    const QByteArray bytes = fileBytes(path);
    const SettingFileLint lint = LintSettingFile(bytes, modelFor({bytes}, model), extended);
    py::list problems;
    for (const SettingLineProblem &problem : lint.problems) {
        problems.append(py::make_tuple(problem.lineNumber, SettingProblemKindName(problem.kind).toStdString(),
                                       problem.text.toStdString(), problem.detail.toStdString()));
    }
    return problems;
}

py::list diffFiles(const std::string &a, const std::string &b, const std::optional<std::string> &model,
                   bool extended)
{
    const QByteArray first = fileBytes(a);
    const QByteArray second = fileBytes(b);
    const SettingFilePairDiff diff = DiffSettingFiles(first, second, modelFor({first, second}, model), extended);
    py::list differences;
    for (const FilePairDifference &difference : diff.differences) {
        differences.append(py::make_tuple(difference.name.toStdString(), difference.mnemonic.toStdString(),
                                          valueOrNone(difference.a), valueOrNone(difference.b)));
    }
    return differences;
}

} // namespace

void RegisterFileChecks(py::module_ &module)
{
    module.def("check_file", &checkFile, py::arg("path"), py::arg("model") = py::none(), py::arg("extended") = false,
               "Reads a setting file under the load's rules, without a camera, and returns (line, kind, text,\n"
               "detail) for every line that a load would not take or that the camera would refuse by its\n"
               "limits; an empty list when every line would be taken. The file is read for the model given,\n"
               "else the one its model line names, else the QN-5200R-BDX; in the standard mode unless\n"
               "extended. FileError for a file that cannot be read, UsageError for an unknown model.");
    module.def("diff_files", &diffFiles, py::arg("a"), py::arg("b"), py::arg("model") = py::none(),
               py::arg("extended") = false,
               "Compares what loading each setting file would send, without a camera: (name, mnemonic,\n"
               "a, b) for every parameter that the two set differently or only one sets (None on the\n"
               "side that does not set it). The model as for check_file, from a's model line first.");
}
