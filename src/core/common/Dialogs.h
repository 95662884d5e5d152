#pragma once

#include <QString>

// Every message box and file dialog of the tool goes through this interface, so the code below
// the windows never touches QtWidgets and every path that asks the operator can be scripted.

enum class MessageIcon { None, Information, Stop, Exclamation, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;  // empty: the application's title
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
    QString detailedText; // shown on request below the text; empty: none
    bool applicationModal = false;  // blocks every window, not only the active one
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString startFolder;
    QString initialName;   // file name shown in the name field
    QString nameFilter;    // Qt filter text, e.g. "Camera files (*.cam)"
    QString defaultSuffix; // added when the operator types a name without extension
};

struct FileDialogResult {
    enum class Outcome { Ok, Cancel, Error };
    Outcome outcome = Outcome::Cancel;
    QString path;
    int errorCode = 0;
};

class Dialogs {
public:
    virtual ~Dialogs();
    virtual MessageAnswer ShowMessage(const MessageRequest &request) = 0;
    virtual FileDialogResult ChooseFile(const FileDialogRequest &request) = 0;

    // Shorthand for the common single-button box.
    MessageAnswer Message(const QString &text, const QString &caption = QString(),
                          MessageIcon icon = MessageIcon::Exclamation,
                          MessageButtons buttons = MessageButtons::Ok);
};
