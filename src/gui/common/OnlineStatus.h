#pragma once

#include <vector>

#include <QLabel>
#include <QPointer>

class QWidget;

// Implemented by every tool window: a status strip along the bottom edge that shows whether
// the camera answers, and a hook for windows that show more than the strip.
class COnlineStatusUpdater {
public:
    virtual ~COnlineStatusUpdater();
    // 1 online, 0 offline. Most windows need nothing beyond their strip.
    virtual void OnOnlineStatusChanged(int online);

    QLabel *StatusStrip() const { return statusStrip_; }

    // A thin bar for the bottom edge, showing the offline bitmap until told otherwise.
    static QLabel *MakeStatusStrip(QWidget &parent, int controlId);

protected:
    void SetStatusStrip(QLabel *strip) { statusStrip_ = strip; }

private:
    // The strip is owned by its window; a guard, so a strip deleted early is skipped.
    QPointer<QLabel> statusStrip_;
};

// The online/offline notifier: the command engine reports every change here, and every
// registered window's strip follows.
class OnlineStatus {
public:
    OnlineStatus();
    OnlineStatus(const OnlineStatus &) = delete;
    OnlineStatus &operator=(const OnlineStatus &) = delete;

    // The strip takes the current bitmap at once.
    void Register(COnlineStatusUpdater &window);
    void Unregister(COnlineStatusUpdater &window);
    // Strips and hooks hear of changes only; the state starts offline.
    void SetOnline(bool online);
    bool IsOnline() const { return online_; }

private:
    void showOn(COnlineStatusUpdater &window) const;

    std::vector<COnlineStatusUpdater *> windows_;
    bool online_ = false;
};
