#include "gui/main/LineRateDisplay.h"

#include <QLineEdit>
#include <QLabel>

#include "core/protocol/ControlTable.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/SharedControlIds.h"

namespace {

constexpr int kPeriodReadoutId = 1215;
constexpr int kFrequencyReadoutId = 1216;

void showText(const ControlFinder &finder, int controlId, const QString &text)
{
    QWidget *control = finder.FindControl(controlId);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
}

} // namespace

QString FormatLinePeriod(std::int32_t period)
{
    return QString::asprintf("%.2fus", period / 100.0);
}

QString FormatLineFrequency(std::int32_t period)
{
    if (period == 0)
        return QStringLiteral("---hz");
    return QString::asprintf("%.4fhz", 1.0 / (period / 100000000.0));
}

void UpdateLineRateDisplay(const ControlFinder &finder, const ControlTable &table)
{
    const std::int32_t period = table.GetDataValue(kLineRate);
    showText(finder, kPeriodReadoutId, FormatLinePeriod(period));
    showText(finder, kFrequencyReadoutId, FormatLineFrequency(period));
}
