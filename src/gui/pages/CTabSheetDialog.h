#pragma once

#include <span>
#include <vector>

#include <QWidget>

#include "core/catalog/PageShape.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ControlRegistry.h"

// One tab page of the main window, built from its page table. The controls sit in a scroll
// area so that a page never clips on a small screen.
class CTabSheetDialog final : public QWidget {
    Q_OBJECT

public:
    explicit CTabSheetDialog(const PageSpec &spec, QWidget *parent = nullptr);

    int templateId() const { return spec_.templateId; }
    bool factoryOnly() const { return spec_.factoryOnly; }
    QString title() const { return QString::fromUtf8(spec_.title); }
    const PageSpec &spec() const { return spec_; }

    // The page's control with that id, nullptr when it has none.
    QWidget *Control(int controlId) const { return registry_.Find(controlId); }
    const ControlRegistry &registry() const { return registry_; }
    // The page's focusable controls in tab order.
    const QList<QWidget *> &tabOrder() const { return tabOrder_; }

private:
    const PageSpec &spec_;
    ControlRegistry registry_;
    QList<QWidget *> tabOrder_;
};

// The six pages of the page table, in its order, owned by `parent`.
std::vector<CTabSheetDialog *> CreatePages(QWidget *parent);

// The first page, in the given order, that has the control; nullptr when none has it.
QWidget *FindControlInPages(std::span<CTabSheetDialog *const> pages, int controlId);

// FindControl over a page set, then a window's own controls (may be null).
class PageControlFinder final : public ControlFinder {
public:
    explicit PageControlFinder(std::span<CTabSheetDialog *const> pages, const ControlRegistry *own = nullptr)
        : pages_(pages), own_(own)
    {
    }
    QWidget *FindControl(int controlId) const override;

private:
    std::span<CTabSheetDialog *const> pages_;
    const ControlRegistry *own_;
};
