#pragma once

#include <QBrush>
#include <QColor>
#include <QCursor>
#include <QLabel>
#include <optional>

#include "gui/common/UrlOpener.h"

// A static text with its own colour, font and hover cursor that, as a link, opens its own
// text (a web address or a document) when clicked. As a link it also takes the keyboard focus,
// and Space or Enter opens it, so it can be reached without a mouse.
class CLabel final : public QLabel {
    Q_OBJECT

public:
    explicit CLabel(UrlOpener opener, QWidget *parent = nullptr);

    void SetLink(bool link);
    void SetTextColor(const QColor &color);
    void SetFontUnderline(bool underline);
    // Shown while the mouse is over the label; none: the default cursor.
    void SetHoverCursor(std::optional<QCursor> cursor);

    bool IsLink() const { return link_; }
    QColor TextColor() const { return textColor_; }
    const std::optional<QCursor> &HoverCursor() const { return hoverCursor_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyColours();
    void openOwnText();

    UrlOpener opener_;
    QColor textColor_;
    QBrush background_;
    bool link_ = true;
    std::optional<QCursor> hoverCursor_;
};
