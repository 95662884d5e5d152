#include "PlugSchedule.h"

#include <array>
#include <cmath>

#include <QStringList>

namespace {

struct ActionName {
    const char *name;
    PlugStep::Action action;
};

constexpr std::array<ActionName, 3> kActions = {{
    {"unplug", PlugStep::Action::Unplug},
    {"replug", PlugStep::Action::Replug},
    {"power-cycle", PlugStep::Action::PowerCycle},
}};

std::optional<PlugStep::Action> actionOf(const QString &name)
{
    for (const ActionName &row : kActions)
        if (name == QLatin1String(row.name))
            return row.action;
    return std::nullopt;
}

// Sets one replug option; an error text when the option is unknown or given twice.
QString applyOption(const QString &option, PlugOptions &options)
{
    const QString name = option.section(QLatin1Char('='), 0, 0);
    const QString value = option.section(QLatin1Char('='), 1);
    bool twice = false;
    if (option == QLatin1String("power-cycle")) {
        twice = options.powerCycle;
        options.powerCycle = true;
    } else if (name == QLatin1String("model") && !value.isEmpty()) {
        twice = options.model.has_value();
        options.model = value;
    } else if (name == QLatin1String("id") && !value.isEmpty()) {
        twice = options.cameraId.has_value();
        options.cameraId = value;
    } else {
        return QStringLiteral("unknown option \"%1\" (power-cycle, model=NAME, id=CAMERAID)").arg(option);
    }
    return twice ? QStringLiteral("\"%1\" is given twice").arg(name) : QString();
}

std::optional<PlugStep> parseStep(const QString &text, std::int64_t notBeforeMs, QString &error)
{
    QStringList parts = text.split(QLatin1Char(':'));
    const QString head = parts.takeFirst();
    const qsizetype at = head.indexOf(QLatin1Char('@'));
    const std::optional<PlugStep::Action> action = actionOf(head.left(at));
    if (at < 0 || !action) {
        error = QStringLiteral("expected unplug@SECONDS, replug@SECONDS or power-cycle@SECONDS");
        return std::nullopt;
    }
    bool isNumber = false;
    const double seconds = head.mid(at + 1).toDouble(&isNumber);
    if (!isNumber || !std::isfinite(seconds) || seconds < 0 || seconds > 1e9) {
        error = QStringLiteral("\"%1\" is not a number of seconds").arg(head.mid(at + 1));
        return std::nullopt;
    }
    PlugStep step{*action, std::llround(seconds * 1000), {}};
    if (step.atMs < notBeforeMs) {
        error = QStringLiteral("steps must be in time order");
        return std::nullopt;
    }
    if (!parts.isEmpty() && step.action != PlugStep::Action::Replug) {
        error = QStringLiteral("only a replug takes options");
        return std::nullopt;
    }
    for (const QString &option : parts) {
        error = applyOption(option, step.options);
        if (!error.isEmpty())
            return std::nullopt;
    }
    return step;
}

} // namespace

std::optional<std::vector<PlugStep>> ParsePlugSchedule(const QString &text, QString &error)
{
    std::vector<PlugStep> steps;
    const QStringList texts = text.split(QLatin1Char(','));
    for (const QString &stepText : texts) {
        const std::optional<PlugStep> step =
            parseStep(stepText.trimmed(), steps.empty() ? 0 : steps.back().atMs, error);
        if (!step) {
            error = QStringLiteral("step %1 \"%2\": %3").arg(steps.size() + 1).arg(stepText.trimmed(), error);
            return std::nullopt;
        }
        steps.push_back(*step);
    }
    return steps;
}

bool ApplyPlugStep(CameraSimulator &simulator, const PlugStep &step)
{
    switch (step.action) {
    case PlugStep::Action::Unplug:
        simulator.Unplug();
        return true;
    case PlugStep::Action::Replug:
        return simulator.Replug(step.options);
    case PlugStep::Action::PowerCycle:
        simulator.PowerCycle();
        return true;
    }
    return true;
}
