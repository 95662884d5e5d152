#include "gui/main/SpinButton.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "gui/main/ControlId.h"
#include "gui/main/DecimalText.h"
#include "gui/main/SpinButtonAccessible.h"

namespace {

// Auto-repeat while an arrow is held: a pause first, then a steady rate.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 60;

} // namespace

SpinButton::SpinButton(int controlId, QWidget *parent) : QWidget(parent), controlId_(controlId)
{
    SetControlId(*this, controlId);
    InstallSpinButtonAccessibility();
    // Not a tab stop: the buddy edit is, and its arrow keys drive the spin.
    setFocusPolicy(Qt::ClickFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    repeat_.setSingleShot(false);
    connect(&repeat_, &QTimer::timeout, this, &SpinButton::repeatStep);
}

void SpinButton::setRange(std::int32_t lower, std::int32_t upper)
{
    lower_ = lower;
    upper_ = upper;
    position_ = clamp(position_);
}

std::int32_t SpinButton::clamp(std::int64_t value) const
{
    const std::int64_t low = std::min(lower_, upper_);
    const std::int64_t high = std::max(lower_, upper_);
    return static_cast<std::int32_t>(std::clamp(value, low, high));
}

void SpinButton::setPosition(std::int32_t position)
{
    position_ = clamp(position);
}

void SpinButton::setBuddy(QLineEdit *edit)
{
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = edit;
    if (buddy_)
        buddy_->installEventFilter(this);
}

void SpinButton::showPositionInBuddy()
{
    if (buddy_)
        buddy_->setText(QString::number(position_));
}

void SpinButton::stepBy(std::int32_t step)
{
    if (!isEnabled())
        return;
    // The buddy is the truth: values are shown by writing the edit's text, and the operator
    // may have typed a number without committing it, so a move starts from what it shows.
    std::int32_t position = TakePositionFromBuddy();
    if (handler_)
        handler_(position, step);
    position_ = clamp(std::int64_t{position} + step);
    showPositionInBuddy();
}

std::int32_t SpinButton::TakePositionFromBuddy()
{
    if (buddy_)
        position_ = clamp(ParseLeadingInteger64(buddy_->text()));
    return position_;
}

QSize SpinButton::sizeHint() const
{
    // As tall as a line of text in an edit, so a spin never makes its row taller.
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {width, fontMetrics().height() + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth)};
}

QSize SpinButton::minimumSizeHint() const
{
    return sizeHint();
}

void SpinButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    const QStyle::PrimitiveElement arrows[2] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown};
    const std::int32_t directions[2] = {1, -1};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        if (repeatDirection_ == directions[i])
            button.state |= QStyle::State_Sunken;
        else
            button.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(arrows[i], &arrow, &painter, this);
    }
}

void SpinButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    repeatDirection_ = event->position().y() < height() / 2.0 ? 1 : -1;
    stepBy(repeatDirection_);
    repeat_.start(kRepeatDelayMs);
    update();
}

void SpinButton::repeatStep()
{
    repeat_.setInterval(kRepeatIntervalMs);
    stepBy(repeatDirection_);
}

void SpinButton::stopRepeat()
{
    repeat_.stop();
    repeatDirection_ = 0;
    update();
}

void SpinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        stopRepeat();
    QWidget::mouseReleaseEvent(event);
}

void SpinButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopRepeat();
    QWidget::changeEvent(event);
}

std::int32_t SpinButton::keyStep(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return 1;
    case Qt::Key_Down:
        return -1;
    case Qt::Key_PageUp:
        return kPageStep;
    case Qt::Key_PageDown:
        return -kPageStep;
    default:
        return 0;
    }
}

void SpinButton::keyPressEvent(QKeyEvent *event)
{
    if (const std::int32_t step = keyStep(event->key())) {
        stepBy(step);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SpinButton::eventFilter(QObject *watched, QEvent *event)
{
    // The event type first: a buddy being destroyed still sends events, and must not be
    // looked at as an edit any more.
    if (event->type() == QEvent::KeyPress && watched == buddy_.data() && isEnabled() && !buddy_->isReadOnly()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (const std::int32_t step = keyStep(key->key())) {
            stepBy(step);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
