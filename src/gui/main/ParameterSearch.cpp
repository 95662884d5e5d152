#include "gui/main/ParameterSearch.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCompleter>
#include <QStringListModel>

ParameterSearch::ParameterSearch(Offers offers, GoTo goTo, QWidget *parent)
    : QLineEdit(parent), offersOf_(std::move(offers)), goTo_(std::move(goTo)), model_(new QStringListModel(this)),
      completer_(new QCompleter(model_, this))
{
    setPlaceholderText(QStringLiteral("Find a parameter (Ctrl+F)"));
    setAccessibleName(QStringLiteral("Find a parameter"));
    setClearButtonEnabled(true);
    // The model holds exactly the matches: the completer shows it all, whatever was typed.
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    setCompleter(completer_);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        refresh(text);
        completer_->complete(popupArea());
    });
    connect(completer_, QOverload<const QString &>::of(&QCompleter::activated), this,
            [this](const QString &shown) { Choose(shown); });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (!offers_.empty())
            Choose(offers_.front().text);
    });
}

void ParameterSearch::refresh(const QString &text)
{
    offers_ = offersOf_(text);
    QStringList shown;
    for (const Offer &offer : offers_)
        shown.append(offer.text);
    model_->setStringList(shown);
}

QRect ParameterSearch::popupArea() const
{
    // Wide enough for the longest offer, so that page, group and label can be read, and right-
    // aligned with the field, which sits at the window's right edge.
    constexpr int kMaxWidth = 640;
    const QFontMetrics metrics(completer_->popup()->font());
    int widest = width();
    for (const Offer &offer : offers_)
        widest = std::max(widest, metrics.horizontalAdvance(offer.text) + 48);
    widest = std::min(widest, std::max(width(), kMaxWidth));
    return QRect(width() - widest, 0, widest, height());
}

void ParameterSearch::Choose(const QString &shown)
{
    for (const Offer &offer : offers_) {
        if (offer.text == shown) {
            goTo_(offer.controlId);
            return;
        }
    }
}
