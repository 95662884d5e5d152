#pragma once

#include <functional>

class QUrl;

// Hands a document or web address to the desktop ("open" in its own program). Windows take it
// as a service, so tests see what would have been opened without launching anything.
using UrlOpener = std::function<void(const QUrl &url)>;

// The desktop's own opener: QDesktopServices, never a command line. The outcome is not checked.
void OpenWithDesktop(const QUrl &url);
