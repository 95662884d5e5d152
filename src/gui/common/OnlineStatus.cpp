#include "gui/common/OnlineStatus.h"

#include <algorithm>

#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace {

constexpr const char *kOnlineBitmap = ":/res/bitmap-303.png";
constexpr const char *kOfflineBitmap = ":/res/bitmap-302.png";
constexpr int kStripHeight = 8;

} // namespace

COnlineStatusUpdater::~COnlineStatusUpdater() = default;

void COnlineStatusUpdater::OnOnlineStatusChanged(int /*online*/)
{
}

QLabel *COnlineStatusUpdater::MakeStatusStrip(QWidget &parent, int controlId)
{
    auto *strip = new QLabel(&parent);
    strip->setProperty("controlId", controlId);
    strip->setPixmap(QPixmap(QString::fromLatin1(kOfflineBitmap)));
    strip->setScaledContents(true);
    strip->setFixedHeight(kStripHeight);
    strip->setAccessibleName(QStringLiteral("Offline"));
    return strip;
}

OnlineStatus::OnlineStatus()
{
    // The bitmaps are compiled into the windows' static library, where nothing refers to the
    // resource file's initialiser; without this call the linker leaves them out and every
    // strip stays blank. The notifier exists before any window, so this is the place.
    Q_INIT_RESOURCE(resources);
}

void OnlineStatus::Register(COnlineStatusUpdater &window)
{
    if (std::find(windows_.begin(), windows_.end(), &window) == windows_.end())
        windows_.push_back(&window);
    showOn(window);
}

void OnlineStatus::Unregister(COnlineStatusUpdater &window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
}

void OnlineStatus::SetOnline(bool online)
{
    // The engine reports after every exchange; only a change is worth repainting for.
    if (online == online_)
        return;
    online_ = online;
    // Every strip first, then the hooks: a hook may show a box, and the strips should
    // already tell the truth while it is up. A copy, because a hook may unregister a window.
    const std::vector<COnlineStatusUpdater *> windows = windows_;
    for (COnlineStatusUpdater *window : windows)
        showOn(*window);
    for (COnlineStatusUpdater *window : windows)
        window->OnOnlineStatusChanged(online ? 1 : 0);
}

void OnlineStatus::showOn(COnlineStatusUpdater &window) const
{
    QLabel *strip = window.StatusStrip();
    if (!strip)
        return;
    // Loaded by name each time: Qt's pixmap cache keeps the decoded image.
    strip->setPixmap(QPixmap(QString::fromLatin1(online_ ? kOnlineBitmap : kOfflineBitmap)));
    strip->setAccessibleName(online_ ? QStringLiteral("Online") : QStringLiteral("Offline"));
}
