#pragma once

#include <QHash>

class QWidget;

// One window's id -> widget map. The widgets belong to the window (Qt parent); the registry
// only borrows them and lives exactly as long as the window that holds it.
class ControlRegistry {
public:
    // Also stores the id on the widget. A second widget with a known id is refused: ids are
    // unique within a window, and the first one wins as in a dialog template.
    bool Register(int controlId, QWidget &control);
    QWidget *Find(int controlId) const { return controls_.value(controlId, nullptr); }
    qsizetype Count() const { return controls_.size(); }
    QList<int> Ids() const { return controls_.keys(); }

private:
    QHash<int, QWidget *> controls_;
};
