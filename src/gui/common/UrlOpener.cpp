#include "gui/common/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWithDesktop(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
