#pragma once

class QWidget;

// How the binding reaches a control by id, without knowing which window holds it. The main
// window asks its pages in page-table order, then itself.
class ControlFinder {
public:
    virtual ~ControlFinder() = default;
    virtual QWidget *FindControl(int controlId) const = 0;
};
