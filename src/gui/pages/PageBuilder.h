#pragma once

#include <span>

#include <QList>

#include "core/catalog/PageShape.h"

class ControlRegistry;
class QWidget;

// Turns a page table into widgets inside `content`: one group box per group, the groups of a
// column stacked, labels beside their fields (label buddies and accessible names set here,
// once for every page) and the tab order following the table. Every control with an id is
// entered into `registry`. Returns the controls in tab order.
QList<QWidget *> BuildPage(const PageSpec &spec, QWidget &content, ControlRegistry &registry);

// Controls that a window holds without showing them: created hidden under `parent`.
void BuildHiddenControls(std::span<const FieldSpec> fields, QWidget &parent, ControlRegistry &registry);
