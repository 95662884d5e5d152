#pragma once

#include <QString>

class Dialogs;

// The "Failed to initialize!" box of a link that would not open, with the reason and what to
// do about it as its detailed text when the link knows one.
void ShowInitialiseFailure(Dialogs &dialogs, const QString &details);
