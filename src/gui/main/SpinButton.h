#pragma once

#include <cstdint>
#include <functional>

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// An up-down arrow pair with a 32-bit range and position and a buddy edit that shows the
// position. Before every move it hands (position, step) to a handler that may rewrite both;
// the spin then moves to position + step, held within its range.
class SpinButton final : public QWidget {
    Q_OBJECT

public:
    using DeltaHandler = std::function<void(std::int32_t &position, std::int32_t &step)>;

    explicit SpinButton(int controlId, QWidget *parent = nullptr);

    int controlId() const { return controlId_; }

    void setRange(std::int32_t lower, std::int32_t upper);
    std::int32_t lower() const { return lower_; }
    std::int32_t upper() const { return upper_; }

    std::int32_t position() const { return position_; }
    // Held within the range; the buddy is not touched (callers that show a value say so).
    void setPosition(std::int32_t position);

    // The buddy's Up/Down/PageUp/PageDown keys step the spin too, so a keyboard user never
    // needs to leave the edit.
    void setBuddy(QLineEdit *edit);
    QLineEdit *buddy() const { return buddy_; }
    void setDeltaHandler(DeltaHandler handler) { handler_ = std::move(handler); }

    // One move as the operator makes it: position from the buddy, handler, move, buddy shows
    // the new position.
    void stepBy(std::int32_t step);
    // Reads the buddy's text as a spin control does (leading decimal digits, clamped into the
    // range), makes it the position and returns it. Without a buddy the position stays.
    std::int32_t TakePositionFromBuddy();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr std::int32_t kPageStep = 10;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static std::int32_t keyStep(int key);
    std::int32_t clamp(std::int64_t value) const;
    void showPositionInBuddy();
    void repeatStep();
    void stopRepeat();

    int controlId_;
    std::int32_t lower_ = 0;
    std::int32_t upper_ = 100;
    std::int32_t position_ = 0;
    QPointer<QLineEdit> buddy_;
    DeltaHandler handler_;
    QTimer repeat_;
    std::int32_t repeatDirection_ = 0;
};
