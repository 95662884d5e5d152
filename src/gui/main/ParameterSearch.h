#pragma once

#include <functional>
#include <vector>

#include <QLineEdit>

class QCompleter;
class QStringListModel;
struct Parameter;

// "Find a parameter": a field in the main window that offers, as the operator types, the
// parameters whose label, group or mnemonic holds the text, as "Page / Group / Label (MNEMONIC)";
// a choice (or Enter on the first offer) goes to that parameter's control.
class ParameterSearch final : public QLineEdit {
public:
    // The parameters to offer for a text, each with the title of the page that shows it: only
    // those the operator can reach now.
    struct Offer {
        QString page;
        int controlId = 0;
        QString text;
    };
    using Offers = std::function<std::vector<Offer>(const QString &text)>;
    using GoTo = std::function<void(int controlId)>;

    ParameterSearch(Offers offers, GoTo goTo, QWidget *parent);

    // The offers for the text now in the field, as the list shows them.
    const std::vector<Offer> &CurrentOffers() const { return offers_; }
    void Choose(const QString &shown);

private:
    void refresh(const QString &text);
    QRect popupArea() const;

    Offers offersOf_;
    GoTo goTo_;
    QStringListModel *model_;
    QCompleter *completer_;
    std::vector<Offer> offers_;
};
