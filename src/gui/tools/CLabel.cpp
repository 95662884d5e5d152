#include "gui/tools/CLabel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

CLabel::CLabel(UrlOpener opener, QWidget *parent)
    : QLabel(parent),
      opener_(std::move(opener)),
      textColor_(QApplication::palette().color(QPalette::WindowText)),
      background_(QApplication::palette().color(QPalette::Button))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    setAutoFillBackground(true);
    applyColours();
    SetLink(true);
}

void CLabel::SetLink(bool link)
{
    link_ = link;
    setFocusPolicy(link ? Qt::StrongFocus : Qt::NoFocus);
}

void CLabel::SetTextColor(const QColor &color)
{
    textColor_ = color;
    applyColours();
}

void CLabel::SetFontUnderline(bool underline)
{
    QFont underlined = font();
    underlined.setUnderline(underline);
    setFont(underlined);
    update();
}

void CLabel::SetHoverCursor(std::optional<QCursor> cursor)
{
    hoverCursor_ = std::move(cursor);
    // Qt shows a widget's own cursor exactly while the mouse is over it.
    if (hoverCursor_)
        setCursor(*hoverCursor_);
    else
        unsetCursor();
}

void CLabel::applyColours()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, textColor_);
    colours.setBrush(QPalette::Window, background_);
    setPalette(colours);
    update();
}

void CLabel::openOwnText()
{
    if (opener_)
        opener_(QUrl::fromUserInput(text()));
}

void CLabel::mousePressEvent(QMouseEvent *event)
{
    if (link_ && event->button() == Qt::LeftButton)
        openOwnText();
    QLabel::mousePressEvent(event);
}

void CLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (link_ && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        openOwnText();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}
