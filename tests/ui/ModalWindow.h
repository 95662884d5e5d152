#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QTimer>

// Works a modal window the way an operator does: once the next modal dialog is shown, `act`
// runs from inside that dialog's own event loop. The watcher stops itself when it has acted,
// and stops at the latest when the returned object is destroyed.
class ModalWindowWatcher {
public:
    explicit ModalWindowWatcher(std::function<void(QDialog &)> act) : act_(std::move(act))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            timer_.stop();
            acted_ = true;
            act_(*dialog);
        });
        timer_.start();
    }

    bool Acted() const { return acted_; }

private:
    std::function<void(QDialog &)> act_;
    QTimer timer_;
    bool acted_ = false;
};
