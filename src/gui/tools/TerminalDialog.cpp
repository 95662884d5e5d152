#include "gui/tools/TerminalDialog.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QResizeEvent>

#include "core/common/Dialogs.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/SerialLink.h"
#include "gui/common/WindowList.h"
#include "gui/operations/OperationGuard.h"
#include "gui/tools/LogFileSave.h"
#include "gui/tools/TerminalLayout.h"
#include "gui/tools/TerminalStamp.h"

CTerminalDialog::CTerminalDialog(const Services &services, QWidget *parent)
    : QDialog(parent),
      link_(services.link),
      settings_(services.settings),
      dialogs_(services.dialogs),
      onlineStatus_(services.onlineStatus),
      windowList_(services.windowList),
      operations_(services.operations)
{
    setWindowTitle(QStringLiteral("RS-232C TERMINAL"));
    setSizeGripEnabled(true);
    buildControls();
    onlineStatus_.Register(*this);
    windowList_.Register(*this);
    resize(456, 336);
    placeControls();
}

CTerminalDialog::~CTerminalDialog()
{
    onlineStatus_.Unregister(*this);
    windowList_.Unregister(*this);
}

void CTerminalDialog::buildControls()
{
    command_ = new QLineEdit(this);
    command_->setAccessibleName(QStringLiteral("Command"));
    controls_.Register(kTerminalEditId, *command_);

    QListView *list = MakeLogView(*this, transcript_, QStringLiteral("Transcript"));
    controls_.Register(kTerminalListId, *list);

    const auto makeButton = [this](int controlId, const QString &text, void (CTerminalDialog::*handler)()) {
        auto *button = new QPushButton(text, this);
        button->setAutoDefault(false);
        controls_.Register(controlId, *button);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    makeButton(kTerminalCloseId, QStringLiteral("Close"), &CTerminalDialog::hide);
    // The default button: Enter in the command field sends the line. A line typed while an
    // operation runs waits for its end, so it cannot fall between the operation's lines.
    QPushButton *send = makeButton(kTerminalSendId, QStringLiteral("Send"), &CTerminalDialog::OnSend);
    send->setDefault(true);
    operations_.AddStarter(*send);
    makeButton(kTerminalClearId, QStringLiteral("Clear"), &CTerminalDialog::OnClear);
    makeButton(kTerminalSaveId, QStringLiteral("Save"), &CTerminalDialog::OnSave);

    QLabel *strip = MakeStatusStrip(*this, kTerminalStripId);
    controls_.Register(kTerminalStripId, *strip);
    SetStatusStrip(strip);
    // Reading order for the keyboard: the command, its buttons, then the transcript.
    setTabOrder(command_, controls_.Find(kTerminalSendId));
    setTabOrder(controls_.Find(kTerminalSendId), controls_.Find(kTerminalCloseId));
    setTabOrder(controls_.Find(kTerminalCloseId), controls_.Find(kTerminalClearId));
    setTabOrder(controls_.Find(kTerminalClearId), controls_.Find(kTerminalSaveId));
    setTabOrder(controls_.Find(kTerminalSaveId), list);
}

void CTerminalDialog::placeControls()
{
    for (const TerminalPlacement &placement : kTerminalLayout) {
        if (QWidget *control = controls_.Find(placement.controlId))
            control->setGeometry(TerminalRect(placement, size()));
    }
}

void CTerminalDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void CTerminalDialog::AddTerminalLine(const QString &text)
{
    transcript_.AddNewest(TerminalStamp(QDateTime::currentDateTimeUtc().time()) + text);
}

void CTerminalDialog::OnSend()
{
    // Sent as typed, unchecked; the reply arrives later through the engine's line collection.
    link_.SendLine((command_->text() + QStringLiteral("\r\n")).toLatin1());
}

void CTerminalDialog::OnClear()
{
    transcript_.Clear();
}

void CTerminalDialog::OnSave()
{
    LogFileSaveOptions options;
    options.nameFilter = QStringLiteral("CSV file (*.csv)");
    // A name typed without an extension gets ".cam", as it always has in this tool.
    options.defaultSuffix = QStringLiteral("cam");
    options.dialogErrorShowsCode = false;
    // Saved as shown: newest line first.
    if (SaveLogFileWithDialog(dialogs_, settings_, options, transcript_.NewestFirst()) == LogFileSaveResult::Written)
        AddTerminalLine(QStringLiteral("Writing file has been done !"));
}
