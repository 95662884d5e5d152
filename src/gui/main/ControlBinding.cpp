#include "gui/main/ControlBinding.h"

#include <algorithm>
#include <array>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/common/Dialogs.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/ControlTable.h"
#include "gui/main/AberrationGroup.h"
#include "gui/main/CameraReads.h"
#include "gui/main/ControlId.h"
#include "gui/main/ControlValues.h"
#include "gui/main/DependentControls.h"
#include "gui/main/GainAutoControls.h"
#include "gui/main/LineRateDisplay.h"
#include "gui/main/PageButtons.h"
#include "gui/main/SharedControlIds.h"
#include "gui/main/SpinButton.h"
#include "gui/main/SpinRanges.h"
#include "gui/pages/CTabSheetDialog.h"

namespace {

constexpr std::uint32_t kLongWriteTimeoutMs = 20000;

constexpr int kGainAutoOnceEntry = 1;
constexpr int kWhiteBalanceOnceEntry = 1;
constexpr int kWhiteBalanceExposureOnceEntry = 2;

// What the camera may have changed after an exposure setting, and after the exposure mode.
constexpr int kExposureReadBack[] = {kExposureTime, kExposureTimeGreen, kExposureTimeRed, kExposureTimeBlue};
constexpr int kExposureModeReadBack[] = {kExposureTime, kExposureTimeGreen, kExposureTimeRed, kExposureTimeBlue,
                                         kTriggerMode,  1099,               kExposureTimeMode};
constexpr int kGainOffReadBack[] = {kGainAll, kGainRed, kGainBlue, GainAutoControls::kPercentId};
constexpr int kGainOnReadBack[] = {kWhiteBalanceMode, kGainGreen, kGainRed, kGainBlue, GainAutoControls::kPercentId};

// LUT entry index and value fields: only their Read and Write buttons send them.
bool isLutEntryField(int controlId)
{
    return std::any_of(kLutEntryFields.begin(), kLutEntryFields.end(), [controlId](const LutEntryFields &fields) {
        return fields.indexField == controlId || fields.valueField == controlId;
    });
}

// The first button of the radio group that `radio` belongs to: its button group's first, or
// the first of the run of radio siblings before it.
QAbstractButton *radioGroupStart(QRadioButton &radio)
{
    if (const QButtonGroup *group = radio.group())
        return group->buttons().value(0, &radio);
    QAbstractButton *first = &radio;
    const QObject *parent = radio.parent();
    if (!parent)
        return first;
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(&radio) - 1; i >= 0; --i) {
        if (first->property("groupStart").toBool())
            break;
        auto *previous = qobject_cast<QRadioButton *>(siblings[i]);
        if (!previous) {
            if (siblings[i]->isWidgetType())
                break;
            continue;
        }
        first = previous;
    }
    return first;
}

} // namespace

std::int32_t HoldInWidenedRange(std::int32_t value, std::int32_t lower, std::int32_t upper)
{
    if (value <= lower)
        return lower + 1;
    if (value >= upper)
        return upper - 1;
    return value;
}

namespace {

enum class FollowUpKind { LineRate, ReadBack, GainPercentage };

struct FollowUp {
    int editId;
    FollowUpKind kind;
    std::array<int, 4> reads; // 0 ends the list
};

// After a number field was written, whether the camera took it or not.
constexpr FollowUp kFollowUps[] = {
    {kLineRate, FollowUpKind::LineRate, {}},
    {1225, FollowUpKind::ReadBack, {1225}},
    {1227, FollowUpKind::ReadBack, {1227}},
    {1229, FollowUpKind::ReadBack, {1225, 1227, 1404, 1406}},
    {kExposureTimeGreen, FollowUpKind::ReadBack, {kExposureTimeRed, kExposureTimeBlue}},
    {1404, FollowUpKind::ReadBack, {1404}},
    {1406, FollowUpKind::ReadBack, {1406}},
    {GainAutoControls::kPercentId, FollowUpKind::GainPercentage, {}},
};

enum class ListRoutine {
    Generic,
    Ignored,
    ExposureMode,
    LongWrite,
    LongWriteWithLineRate,
    GainAuto,
    WhiteBalance,
    AberrationSelector,
};
enum class PreRule { None, Trigger, Lut, Correction };
enum class PostStep { None, ExposureReadBack, ExposureRuleAndReadBack, GainMode, AberrationMode };

struct ListRoute {
    int listId;
    ListRoutine routine;
    PreRule pre;
    PostStep post;
};

// Lists that do more than the generic write; every other list is written through as it is.
constexpr ListRoute kListRoutes[] = {
    {kModelList, ListRoutine::Ignored, PreRule::None, PostStep::None},
    {kExposureMode, ListRoutine::ExposureMode, PreRule::None, PostStep::None},
    {1100, ListRoutine::LongWriteWithLineRate, PreRule::None, PostStep::None},
    {1223, ListRoutine::LongWriteWithLineRate, PreRule::None, PostStep::None},
    {kCorrectionMode, ListRoutine::LongWriteWithLineRate, PreRule::None, PostStep::None},
    {kSensorSelect, ListRoutine::LongWrite, PreRule::None, PostStep::None},
    {kGainAuto, ListRoutine::GainAuto, PreRule::None, PostStep::None},
    {kWhiteBalanceMode, ListRoutine::WhiteBalance, PreRule::None, PostStep::None},
    {AberrationGroup::kIndexId, ListRoutine::AberrationSelector, PreRule::None, PostStep::None},
    {AberrationGroup::kSyncModeId, ListRoutine::AberrationSelector, PreRule::None, PostStep::None},
    {AberrationGroup::kColourId, ListRoutine::AberrationSelector, PreRule::None, PostStep::None},
    {AberrationGroup::kMethodId, ListRoutine::AberrationSelector, PreRule::None, PostStep::None},
    {AberrationGroup::kSideId, ListRoutine::AberrationSelector, PreRule::None, PostStep::None},
    {AberrationGroup::kModeId, ListRoutine::Generic, PreRule::None, PostStep::AberrationMode},
    {kTriggerMode, ListRoutine::Generic, PreRule::Trigger, PostStep::ExposureReadBack},
    {kLutSelector, ListRoutine::Generic, PreRule::Lut, PostStep::None},
    {1120, ListRoutine::Generic, PreRule::Correction, PostStep::None},
    {kPixelBlackMode, ListRoutine::Generic, PreRule::Correction, PostStep::None},
    {kPixelGainMode, ListRoutine::Generic, PreRule::Correction, PostStep::None},
    {kExposureTimeMode, ListRoutine::Generic, PreRule::None, PostStep::ExposureRuleAndReadBack},
    {kGainMode, ListRoutine::Generic, PreRule::None, PostStep::GainMode},
};

const FollowUp *findFollowUp(int editId)
{
    for (const auto &followUp : kFollowUps) {
        if (followUp.editId == editId)
            return &followUp;
    }
    return nullptr;
}

ListRoute routeOf(int listId)
{
    for (const auto &route : kListRoutes) {
        if (route.listId == listId)
            return route;
    }
    return {listId, ListRoutine::Generic, PreRule::None, PostStep::None};
}

} // namespace

ControlBinding::ControlBinding(const BindingServices &services, GainAutoControls &gainAuto,
                               AberrationGroup &aberration, PageButtons &buttons,
                               std::function<void()> hideLutWindows)
    : services_(services), gainAuto_(gainAuto), aberration_(aberration), buttons_(buttons),
      hideLutWindows_(std::move(hideLutWindows))
{
}

void ControlBinding::Connect(std::span<CTabSheetDialog *const> pages)
{
    for (CTabSheetDialog *page : pages) {
        for (int id : page->registry().Ids()) {
            QWidget *control = page->Control(id);
            if (auto *edit = qobject_cast<QLineEdit *>(control)) {
                if (SpinIdOfBuddy(edit) == 0)
                    continue;
                // Focus leaving the field commits it, unless nothing was typed since the value
                // was last shown: Enter has committed it already, or it was only passed through.
                QObject::connect(edit, &QLineEdit::editingFinished, edit, [this, edit, id] {
                    if (edit->isModified())
                        CommitEdit(id);
                });
            } else if (auto *list = qobject_cast<QComboBox *>(control)) {
                // Only the operator's choice: programmatic selections do not send anything.
                QObject::connect(list, &QComboBox::activated, list, [this, id] { ComboChanged(id); });
            } else if (auto *spin = qobject_cast<SpinButton *>(control)) {
                spin->setDeltaHandler(
                    [this, id](std::int32_t &position, std::int32_t &step) { SpinDelta(id, position, step); });
            } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                QObject::connect(button, &QPushButton::clicked, button, [this, id] { ButtonClicked(id); });
            } else if (auto *choice = qobject_cast<QAbstractButton *>(control)) {
                if (qobject_cast<QCheckBox *>(choice) || qobject_cast<QRadioButton *>(choice))
                    QObject::connect(choice, &QAbstractButton::clicked, choice, [this, choice] { ChoiceClicked(*choice); });
            }
        }
    }
}

bool ControlBinding::sendWithRevert(int controlId, std::int32_t value, bool listPath)
{
    ControlTable &table = services_.table;
    table.SetDataValue(controlId, value);
    if (listPath)
        services_.RefreshChanged();
    if (table.SendChangedValues(services_.command)) {
        table.CommitValues();
        return true;
    }
    const std::int32_t saved = table.GetSavedValue(controlId);
    table.SetDataValue(controlId, saved);
    WriteControlValue(services_.finder, controlId, saved);
    return false;
}

bool ControlBinding::CommitEdit(int editId)
{
    auto *edit = qobject_cast<QLineEdit *>(services_.finder.FindControl(editId));
    SpinButton *spin = edit ? FindLinkedSpin(services_.finder, editId) : nullptr;
    if (!spin)
        return false;
    if (AberrationGroup::IsCell(editId)) {
        aberration_.CellWritten(editId, ReadControlValue(services_.finder, editId));
        edit->setModified(false);
        return true;
    }

    std::int32_t value = spin->TakePositionFromBuddy();
    if (services_.table.GetRangeMode(editId) == 1) {
        value = HoldInWidenedRange(value, spin->lower(), spin->upper());
        spin->setPosition(value);
    }
    edit->setText(QString::number(value));

    if (GainAutoControls::IsLevelField(editId)) {
        gainAuto_.ApplyLevel(editId, value);
        return true;
    }
    if (isLutEntryField(editId))
        return false;

    if (!sendWithRevert(editId, value, false))
        spin->setPosition(services_.table.GetSavedValue(editId));
    runFollowUp(editId);
    return true;
}

bool ControlBinding::EnterValue(int controlId, std::int32_t value)
{
    QWidget *control = services_.finder.FindControl(controlId);
    // What the operator cannot change now is not changed for them either.
    if (control == nullptr || !control->isEnabled())
        return false;
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(QString::number(value));
        return CommitEdit(controlId);
    }
    auto *list = qobject_cast<QComboBox *>(control);
    const int position = list ? ListPositionOfCode(*list, value) : -1;
    if (position < 0)
        return false;
    list->setCurrentIndex(position);
    ComboChanged(controlId);
    return true;
}

void ControlBinding::SpinDelta(int spinId, std::int32_t &position, std::int32_t &step)
{
    auto *spin = qobject_cast<SpinButton *>(services_.finder.FindControl(spinId));
    if (!spin || !spin->buddy())
        return;
    const std::int64_t lower = std::min(spin->lower(), spin->upper());
    const std::int64_t upper = std::max(spin->lower(), spin->upper());
    std::int32_t next = static_cast<std::int32_t>(std::clamp(std::int64_t{position} + step, lower, upper));
    const int editId = ControlIdOf(spin->buddy());

    // Whatever the camera says, the spin then stands where the binding left it.
    const auto standAt = [&position, &step](std::int32_t value) {
        position = value;
        step = 0;
    };
    if (GainAutoControls::IsLevelField(editId)) {
        if (!gainAuto_.ApplyLevel(editId, next))
            standAt(services_.table.GetSavedValue(editId));
        return;
    }
    if (AberrationGroup::IsCell(editId)) {
        // The cell takes the spin's new position, not the text the edit still shows.
        aberration_.CellWritten(editId, next);
        return;
    }
    if (isLutEntryField(editId))
        return;

    // A widened row never sends its outer bounds, by keys and arrows no more than by typing.
    if (services_.table.GetRangeMode(editId) == 1) {
        next = HoldInWidenedRange(next, spin->lower(), spin->upper());
        standAt(next);
    }
    if (!sendWithRevert(editId, next, false))
        standAt(services_.table.GetSavedValue(editId));
    runFollowUp(editId);
}

void ControlBinding::readBack(std::span<const int> controlIds)
{
    CameraReads reads(services_.command, services_.table, services_.finder);
    for (int id : controlIds) {
        if (id != 0)
            reads.ReadFromCamera(id);
    }
}

void ControlBinding::runFollowUp(int editId)
{
    const FollowUp *followUp = findFollowUp(editId);
    if (!followUp)
        return;
    switch (followUp->kind) {
    case FollowUpKind::LineRate:
        UpdateLineRateDisplay(services_.finder, services_.table);
        break;
    case FollowUpKind::ReadBack:
        readBack(followUp->reads);
        services_.table.CommitValues();
        break;
    case FollowUpKind::GainPercentage:
        gainAuto_.ApplyPercentage();
        break;
    }
}

void ControlBinding::ComboChanged(int listId)
{
    const ListRoute route = routeOf(listId);
    switch (route.routine) {
    case ListRoutine::Ignored:
        return;
    case ListRoutine::ExposureMode:
        exposureMode(listId);
        return;
    case ListRoutine::LongWrite:
        longWrite(listId, false);
        return;
    case ListRoutine::LongWriteWithLineRate:
        longWrite(listId, true);
        return;
    case ListRoutine::GainAuto:
        gainAuto(listId);
        return;
    case ListRoutine::WhiteBalance:
        whiteBalance(listId);
        return;
    case ListRoutine::AberrationSelector:
        aberration_.SelectorChanged(listId);
        return;
    case ListRoutine::Generic:
        break;
    }
    runPreRule(listId);
    if (!sendWithRevert(listId, ReadControlValue(services_.finder, listId), true)) {
        // The list shows its saved entry again; what depends on it follows that entry.
        runPreRule(listId);
    }
    runPostStep(listId);
}

void ControlBinding::runPreRule(int listId)
{
    switch (routeOf(listId).pre) {
    case PreRule::None:
        break;
    case PreRule::Trigger:
        ApplyTriggerRule(services_.finder);
        break;
    case PreRule::Lut:
        ApplyLutRule(services_.finder, DependentControlHooks{hideLutWindows_, {}});
        break;
    case PreRule::Correction:
        ApplyCorrectionRule(services_.finder);
        break;
    }
}

void ControlBinding::runPostStep(int listId)
{
    switch (routeOf(listId).post) {
    case PostStep::None:
        break;
    case PostStep::ExposureRuleAndReadBack:
        ApplyExposureRule(services_.finder);
        [[fallthrough]];
    case PostStep::ExposureReadBack:
        readBack(kExposureReadBack);
        services_.RefreshChanged();
        services_.table.CommitValues();
        break;
    case PostStep::GainMode:
        gainMode();
        break;
    case PostStep::AberrationMode:
        aberration_.ModeChanged();
        break;
    }
}

void ControlBinding::exposureMode(int listId)
{
    ControlTable &table = services_.table;
    ApplyExposureRule(services_.finder);
    table.SetDataValue(listId, ReadControlValue(services_.finder, listId));
    services_.RefreshChanged();
    const bool sent = table.SendChangedValues(services_.command);
    table.CommitValues();
    // The table now holds the mode shown; when the camera refused it, the mode is read back
    // too, so the list and the enabled fields follow the camera rather than the choice.
    if (!sent) {
        readBack(std::array<int, 1>{listId});
        ApplyExposureRule(services_.finder);
    }
    readBack(kExposureModeReadBack);
    services_.RefreshChanged();
    table.CommitValues();
}

void ControlBinding::longWrite(int listId, bool refreshLineRate)
{
    ControlTable &table = services_.table;
    const std::int32_t value = ReadControlValue(services_.finder, listId);
    table.SetDataValue(listId, value);
    services_.RefreshChanged();
    if (services_.command.SetValue(table.ToCmdId(listId), value, kLongWriteTimeoutMs)) {
        if (refreshLineRate) {
            readBack(std::array<int, 1>{kLineRate});
            UpdateLineRateDisplay(services_.finder, table);
            services_.RefreshChanged();
        }
        table.CommitValues();
        return;
    }
    const std::int32_t saved = table.GetSavedValue(listId);
    table.SetDataValue(listId, saved);
    WriteControlValue(services_.finder, listId, saved);
}

void ControlBinding::gainMode()
{
    const int position = SelectedPosition(services_.finder, kGainMode);
    if (!ApplyGainModeLayout(services_.finder, position)) {
        MessageRequest box;
        box.text = QStringLiteral("Unkown Parameter");
        box.caption = QStringLiteral("Error");
        box.icon = MessageIcon::None;
        services_.dialogs.ShowMessage(box);
        return;
    }
    if (position == 1)
        readBack(kGainOnReadBack);
    else
        readBack(kGainOffReadBack);
    services_.table.CommitValues();
}

void ControlBinding::plainWrite(int listId)
{
    ControlTable &table = services_.table;
    table.SetDataValue(listId, ReadControlValue(services_.finder, listId));
    services_.RefreshChanged();
    table.SendChangedValues(services_.command);
    table.CommitValues();
}

// The routing point for the one-shot functions: they take over their entries once installed.
void ControlBinding::gainAuto(int listId)
{
    if (SelectedPosition(services_.finder, listId) == kGainAutoOnceEntry && oneShot_.gainAutoOnce) {
        oneShot_.gainAutoOnce();
        return;
    }
    plainWrite(listId);
}

void ControlBinding::whiteBalance(int listId)
{
    const int position = SelectedPosition(services_.finder, listId);
    if (position == kWhiteBalanceOnceEntry && oneShot_.whiteBalanceOnce) {
        oneShot_.whiteBalanceOnce();
        return;
    }
    // With the model that lacks "Exposure Once", entry 2 is the first preset.
    if (position == kWhiteBalanceExposureOnceEntry && services_.model.Code() != CameraModel::kSecondModel &&
        oneShot_.whiteBalanceExposureOnce) {
        oneShot_.whiteBalanceExposureOnce();
        return;
    }
    plainWrite(listId);
}

void ControlBinding::ButtonClicked(int buttonId)
{
    buttons_.ButtonClicked(buttonId);
}

void ControlBinding::ChoiceClicked(QAbstractButton &button)
{
    int controlId = ControlIdOf(&button);
    if (auto *radio = qobject_cast<QRadioButton *>(&button))
        controlId = ControlIdOf(radioGroupStart(*radio));
    const std::int32_t value = ReadControlValue(services_.finder, controlId);
    ControlTable &table = services_.table;
    table.SetDataValue(controlId, value);
    table.SendChangedValues(services_.command);
    table.CommitValues();
}
