#include "gui/common/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextEdit>

namespace {

constexpr const char *kApplicationTitle = "QN-5200R-RL Control Tool";

// How many characters a line of a box's details holds before it wraps.
constexpr int kDetailsColumns = 64;
// Lines the details show without scrolling (Qt fixes their height at a few lines): a reason
// with its advice and a long path.
constexpr int kDetailsRows = 7;

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageAnswer fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: break;
    }
    return MessageAnswer::Ok;
}

} // namespace

MessageAnswer QtDialogs::ShowMessage(const MessageRequest &request)
{
    QWidget *owner = owner_ ? owner_ : QApplication::activeWindow();
    const QString caption = request.caption.isEmpty() ? QString::fromLatin1(kApplicationTitle) : request.caption;
    QMessageBox box(toQtIcon(request.icon), caption, request.text, toQtButtons(request.buttons), owner);
    if (!request.detailedText.isEmpty()) {
        box.setDetailedText(request.detailedText);
        // The box sizes itself to its short main text; details (a device path, what to do)
        // need room for a line of their own, or they wrap every few words.
        if (auto *details = box.findChild<QTextEdit *>()) {
            details->setMinimumWidth(details->fontMetrics().averageCharWidth() * kDetailsColumns);
            details->setFixedHeight(details->fontMetrics().lineSpacing() * kDetailsRows + 2 * details->frameWidth() + 8);
        }
    }
    box.setWindowModality(request.applicationModal ? Qt::ApplicationModal : Qt::WindowModal);
    if (!owner)
        box.setWindowModality(Qt::ApplicationModal);
    return fromQtButton(box.exec());
}

FileDialogResult QtDialogs::ChooseFile(const FileDialogRequest &request)
{
    QWidget *owner = owner_ ? owner_ : QApplication::activeWindow();
    QFileDialog dialog(owner, request.title, request.startFolder, request.nameFilter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The callers ask the replace question themselves, with the tool's own wording.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    FileDialogResult result;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        result.outcome = FileDialogResult::Outcome::Ok;
        result.path = dialog.selectedFiles().first();
    }
    return result;
}
