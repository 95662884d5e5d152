#pragma once

#include <QString>

#include "core/common/Dialogs.h"

// The message boxes of the core where nobody clicks: how a box reads as one line of text, and
// the answer it gets.

// The caption, the text and the detailed text of a box as one message (details indented below).
QString PrintedMessage(const MessageRequest &request);
// Ok, or the safe answer (No, Cancel) unless forced, which answers Yes or Ok.
MessageAnswer UnattendedAnswer(MessageButtons buttons, bool force);
