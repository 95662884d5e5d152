#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Setting files checked without a camera (golden files kept in version control): every line
// that loading the file would not take, or that the camera would refuse by the table's limits,
// and two files compared parameter by parameter. Both read the file under the load's own rules
// (PlanSettingLine) with the program's initial command and control tables.

enum class SettingProblemKind {
    Unreadable,      // not "MNEMONIC=VALUE", a query, or a value that is not a whole number
    UnknownMnemonic, // no command has the mnemonic, or the command has no parameter row
    OutOfRange,      // outside the row's limits, or none of a list's codes
    LackedRow,       // the model lacks the row, or the control mode does (an extended-mode row)
    NotFiled,        // a parameter that setting files do not hold: the load skips it
    OtherModel,      // a model line for another model than the one checked for
};

// "unreadable", "unknown mnemonic", "out of range", "lacked row", "not filed", "other model"
QString SettingProblemKindName(SettingProblemKind kind);

struct SettingLineProblem {
    int lineNumber = 0; // from 1
    SettingProblemKind kind = SettingProblemKind::Unreadable;
    QString text;       // the line without its line end
    QString detail;     // the limits, the model, what the load does with it
};

// The model files are read for: the given name, else the one the first model line of the files
// names when it is a supported model, else the first model. A given name must be one of
// CameraModel::SupportedNames(); the result is empty for another.
// guessed, when given, says whether neither the name nor a model line chose it.
std::optional<QString> SettingFileModelName(const QList<QByteArray> &files, const QString &givenName,
                                            bool *guessed = nullptr);

struct SettingFileLint {
    QString model; // the model the file was checked for
    std::vector<SettingLineProblem> problems;
};

// Every line of the file that a load for the model and control mode would not take, in file
// order. Blank lines are no problem, nor the "=VALUE" lines that the save writes for rows
// without a mnemonic. The model name must be a supported one.
SettingFileLint LintSettingFile(const QByteArray &bytes, const QString &modelName, bool extendedMode);

struct FilePairDifference {
    QString name;     // the catalogue's "Group/Label", else the mnemonic
    QString mnemonic;
    std::optional<std::int32_t> a; // nothing: the file does not set it
    std::optional<std::int32_t> b;
};

struct SettingFilePairDiff {
    QString model;
    std::vector<FilePairDifference> differences; // in the order of file A, then B's own
};

// What loading each file would send for the model and control mode, compared: every parameter
// that the two set differently, or that only one of them sets.
SettingFilePairDiff DiffSettingFiles(const QByteArray &a, const QByteArray &b, const QString &modelName,
                                     bool extendedMode);
