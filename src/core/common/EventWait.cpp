#include "core/common/EventWait.h"

#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int kLookEveryMs = 5;

} // namespace

bool WaitServingEvents(std::uint32_t ms, const std::function<bool()> &until)
{
    if (until && until())
        return true;
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer look;
    if (until) {
        QObject::connect(&look, &QTimer::timeout, &loop, [&loop, &until] {
            if (until())
                loop.quit();
        });
        look.start(kLookEveryMs);
    }
    end.start(static_cast<int>(ms));
    loop.exec();
    return until && until();
}
