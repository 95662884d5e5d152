#include "gui/main/UserSetOperations.h"

#include "core/common/Dialogs.h"
#include "core/common/TickClock.h"
#include "core/operations/FlashAreas.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandTable.h"
#include "gui/app/AppContext.h"
#include "gui/operations/LongOperation.h"
#include "gui/tools/ParameterAreaSelectDialog.h"

namespace {

constexpr unsigned kLoadMs = 10000;
constexpr unsigned kStoreMs = 8000;
constexpr unsigned kStoreAllMs = 10000;
constexpr unsigned kStoreAllPauseMs = 20;

} // namespace

UserSetOperations::UserSetOperations(AppContext &context, QWidget &window, std::function<void()> reloadAllSettings)
    : context_(context), window_(window), reloadAllSettings_(std::move(reloadAllSettings))
{
    SetAreaWindowRun({});
}

void UserSetOperations::SetAreaWindowRun(AreaWindowRun run)
{
    if (!run)
        run = [](CParameterAreaSelectDialog &dialog) { return dialog.exec(); };
    runAreaWindow_ = std::move(run);
}

std::optional<int> UserSetOperations::chooseArea(int mode)
{
    // The window is gone before anything is sent to the camera.
    CParameterAreaSelectDialog dialog(
        CParameterAreaSelectDialog::Services{context_.onlineStatus(), context_.windowList(), context_.controlMode()},
        mode, &window_);
    if (runAreaWindow_(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.ChosenArea();
}

GuardedOperation UserSetOperations::guard() const
{
    // After the area window or the question: that window is in the window list too.
    return GuardedOperation(context_.operations(), &context_.windowList());
}

void UserSetOperations::LoadUserSet()
{
    const std::optional<int> area = chooseArea(CParameterAreaSelectDialog::Load);
    if (!area)
        return;
    // The list offers only known areas; an unknown text would be refused by the camera.
    const GuardedOperation operation = guard();
    if (LoadFlashArea(context_.command(), *area, kLoadMs))
        reloadAllSettings_();
}

void UserSetOperations::StoreUserSet()
{
    const std::optional<int> area = chooseArea(CParameterAreaSelectDialog::Store);
    if (!area)
        return;
    if (!IsFlashArea(*area)) {
        context_.dialogs().Message(QStringLiteral("Selected invalid area !"), QString(), MessageIcon::Stop);
        return;
    }
    const GuardedOperation operation = guard();
    if (StoreFlashArea(context_.command(), *area, kStoreMs))
        context_.dialogs().Message(QStringLiteral("Completed saving current setting data !"), QString(),
                                   MessageIcon::Information);
}

void UserSetOperations::StoreAllAreas()
{
    MessageRequest question;
    question.text = QStringLiteral("Are you sure you want to overwrite into all EEPROM areas?");
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (context_.dialogs().ShowMessage(question) != MessageAnswer::Yes)
        return;

    const GuardedOperation operation = guard();
    Command &command = context_.command();
    int failures = 0;
    for (int area = 1; area <= kLastUserArea; ++area) {
        TickClock::SleepMs(kStoreAllPauseMs);
        if (!StoreFlashArea(command, area, kStoreAllMs))
            ++failures;
    }
    TickClock::SleepMs(kStoreAllPauseMs);
    if (!StoreFlashArea(command, kFactoryArea, kStoreAllMs))
        ++failures;

    if (failures == 0)
        context_.dialogs().Message(QStringLiteral("Completed to store current setting data!"), QString(),
                                   MessageIcon::Information);
    else
        context_.dialogs().Message(QStringLiteral("Couldn't store current setting data!"), QString(),
                                   MessageIcon::Exclamation);
}
