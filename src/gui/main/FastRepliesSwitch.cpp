#include "gui/main/FastRepliesSwitch.h"

#include <QAction>
#include <QLabel>

#include "core/protocol/Command.h"
#include "core/settings/SettingsStore.h"
#include "gui/operations/ProgressWindow.h"
#include "gui/tools/CommunicationDialog.h"

FastRepliesSwitch::FastRepliesSwitch(Command &command, CProgressBarDialog &progress, SettingsStore &settings,
                                     CCommunicationDialog &log, QAction &item, QLabel &label)
    : command_(command), progress_(progress), settings_(settings), log_(log), item_(item), label_(label)
{
    show();
}

bool FastRepliesSwitch::IsOn() const
{
    return command_.FastReplies();
}

void FastRepliesSwitch::Set(bool fast)
{
    if (fast != IsOn()) {
        command_.SetFastReplies(fast);
        settings_.SetFastReplies(fast);
        log_.AppendLogLine(fast ? QStringLiteral("Fast replies on") : QStringLiteral("Fast replies off"));
    }
    show();
}

void FastRepliesSwitch::show()
{
    // The engine holds the mode and everything else is set from it: triggering a checkable
    // item flips its mark before the handler runs, and the mark must not be trusted.
    item_.setChecked(IsOn());
    progress_.SetCloseHoldMs(IsOn() ? 0 : CProgressBarDialog::kCloseHoldMs);
    label_.setVisible(IsOn());
}
