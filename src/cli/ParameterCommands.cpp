#include <algorithm>
#include <cstdio>

#include <QJsonArray>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cli/ConsoleProgress.h"
#include "core/catalog/ParameterCatalog.h"
#include "core/operations/CameraReadouts.h"
#include "core/operations/FullReadSet.h"

namespace {

constexpr unsigned kQueryMs = 5000;
constexpr unsigned kSetMs = 5000;

QJsonObject parameterJson(const ParameterCatalog &catalog, const Parameter &parameter, std::int32_t value)
{
    QJsonObject object;
    object.insert(QStringLiteral("mnemonic"), parameter.mnemonic);
    object.insert(QStringLiteral("label"), parameter.QualifiedLabel());
    object.insert(QStringLiteral("value"), value);
    object.insert(QStringLiteral("text"), catalog.ValueText(parameter, value));
    return object;
}

QString parameterLine(const ParameterCatalog &catalog, const Parameter &parameter, std::int32_t value)
{
    QString line = QStringLiteral("%1 = %2").arg(parameter.mnemonic, catalog.ValueText(parameter, value));
    if (!parameter.label.isEmpty())
        line += QStringLiteral("    (%1)").arg(parameter.QualifiedLabel());
    return line;
}

// A name of get: a parameter of the catalogue, or one of the readouts the camera gives on request.
struct Wanted {
    std::optional<Parameter> parameter;
    const NamedReadout *readout = nullptr;
};

// Every name resolved before anything is sent: one bad name is a usage error for the lot.
bool resolveAll(const ParameterCatalog &catalog, const QStringList &names, std::vector<Wanted> &wanted)
{
    for (const QString &name : names) {
        const ParameterLookup lookup = catalog.Find(name);
        const NamedReadout *readout = lookup.parameter ? nullptr : FindReadout(name);
        if (!lookup.parameter && readout == nullptr) {
            std::fprintf(stderr, "qnctl: %s\n", qPrintable(lookup.error));
            return false;
        }
        wanted.push_back({lookup.parameter, readout});
    }
    return true;
}

// "TMP0 = 39    (Temperature)", a counter with its status: "CV0 = 7    (Counter 0, Counter Idle)".
void reportReadout(CliReport &report, QJsonArray &values, const NamedReadout &readout, const ReadoutValue &value)
{
    const QString label = QLatin1String(readout.label);
    const QString text = QString::number(*value.value);
    values.append(QJsonObject{{QStringLiteral("mnemonic"), QLatin1String(readout.mnemonic)},
                              {QStringLiteral("label"), label},
                              {QStringLiteral("value"), *value.value},
                              {QStringLiteral("text"), value.status.isEmpty() ? text : value.status}});
    report.Line(QStringLiteral("%1 = %2    (%3)")
                    .arg(QLatin1String(readout.mnemonic), text,
                         value.status.isEmpty() ? label : label + QStringLiteral(", ") + value.status));
}

using Write = std::pair<Parameter, std::int32_t>;

// Every assignment resolved and checked against its limits; the first fault is returned.
QString planWrites(const ParameterCatalog &catalog, const QStringList &assignments, std::vector<Write> &writes)
{
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("set: %1 is not NAME=VALUE").arg(assignment);
        const ParameterLookup lookup = catalog.Find(assignment.left(equals).trimmed());
        if (!lookup.parameter)
            return lookup.error;
        const ValueLookup value = catalog.ParseValue(*lookup.parameter, assignment.mid(equals + 1));
        if (!value.value)
            return value.error;
        writes.emplace_back(*lookup.parameter, *value.value);
    }
    return QString();
}

} // namespace

ExitStatus CheckGet(CameraSession &session, const CliOptions &options)
{
    if (options.arguments.isEmpty())
        return UsageError(QStringLiteral("get: name at least one parameter"));
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    std::vector<Wanted> wanted;
    return resolveAll(catalog, options.arguments, wanted) ? ExitStatus::Done : ExitStatus::Usage;
}

ExitStatus RunGet(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    std::vector<Wanted> wanted;
    resolveAll(catalog, options.arguments, wanted);
    ExitStatus status = ExitStatus::Done;
    QJsonArray values;
    const auto failed = [&status, &session] {
        if (status == ExitStatus::Done)
            status = StatusOfLastExchange(session.command());
    };
    for (const Wanted &name : wanted) {
        if (name.readout != nullptr) {
            const ReadoutValue value = ReadNamedReadout(session.command(), *name.readout);
            if (value.value)
                reportReadout(report, values, *name.readout, value);
            else
                failed();
            continue;
        }
        const Parameter &parameter = *name.parameter;
        std::int32_t value = 0;
        if (!session.command().QueryValue(parameter.commandId, value, kQueryMs)) {
            failed();
            continue;
        }
        session.controlTable().SetDataValue(parameter.controlId, value);
        values.append(parameterJson(catalog, parameter, value));
        report.Line(parameterLine(catalog, parameter, value));
    }
    report.Json().insert(QStringLiteral("parameters"), values);
    return status;
}

ExitStatus CheckSet(CameraSession &session, const CliOptions &options)
{
    if (options.arguments.isEmpty())
        return UsageError(QStringLiteral("set: give at least one NAME=VALUE"));
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    std::vector<Write> writes;
    const QString error = planWrites(catalog, options.arguments, writes);
    return error.isEmpty() ? ExitStatus::Done : UsageError(error);
}

ExitStatus RunSet(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    std::vector<Write> writes;
    planWrites(catalog, options.arguments, writes);
    QJsonArray done;
    for (const auto &[parameter, value] : writes) {
        if (!session.command().SetValue(parameter.commandId, value, kSetMs)) {
            report.Json().insert(QStringLiteral("parameters"), done);
            return StatusOfLastExchange(session.command());
        }
        session.controlTable().SetDataValue(parameter.controlId, value);
        done.append(parameterJson(catalog, parameter, value));
        report.Line(parameterLine(catalog, parameter, value));
    }
    report.Json().insert(QStringLiteral("parameters"), done);
    return ExitStatus::Done;
}

ExitStatus RunDump(CameraSession &session, const CliOptions &, CliReport &report)
{
    ControlTable &table = session.controlTable();
    const int mode = session.controlMode().Get();
    const std::vector<int> planned = PlanFullRead(table, session.cameraModel(), mode);
    std::vector<int> rows;
    {
        ConsoleProgress progress(QStringLiteral("Reading camera settings"));
        rows = ReadFullSet(table, session.command(), session.cameraModel(), mode,
                           [&progress](int percent) { progress.Step(percent); });
    }
    const ParameterCatalog catalog(table, session.commandTable());
    QJsonArray values;
    for (const Parameter &parameter : catalog.All()) {
        if (std::find(rows.begin(), rows.end(), parameter.row) == rows.end())
            continue;
        const std::int32_t value = table.GetDataValue(parameter.controlId);
        values.append(parameterJson(catalog, parameter, value));
        report.Line(parameterLine(catalog, parameter, value));
    }
    report.Json().insert(QStringLiteral("model"), session.cameraModel().Name());
    report.Json().insert(QStringLiteral("parameters"), values);
    // Rows the camera did not answer are left out of the output, never shown with stale values.
    if (rows.size() == planned.size())
        return ExitStatus::Done;
    std::fprintf(stderr, "qnctl: %zu of %zu parameters were not read\n", planned.size() - rows.size(), planned.size());
    return rows.empty() ? ExitStatus::NoCamera : ExitStatus::Refused;
}
