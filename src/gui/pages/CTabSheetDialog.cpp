#include "gui/pages/CTabSheetDialog.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "core/catalog/PageTables.h"
#include "gui/main/SpinRanges.h"
#include "gui/pages/PageBuilder.h"

CTabSheetDialog::CTabSheetDialog(const PageSpec &spec, QWidget *parent) : QWidget(parent), spec_(spec)
{
    setObjectName(title());
    // The tab bar names the pages, but a reader inside one hears the page it is on.
    setAccessibleName(title());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *content = new QWidget(scroll);
    tabOrder_ = BuildPage(spec_, *content, registry_);
    scroll->setWidget(content);
    layout->addWidget(scroll);
    LinkSpinBuddies(*this);
}

std::vector<CTabSheetDialog *> CreatePages(QWidget *parent)
{
    std::vector<CTabSheetDialog *> pages;
    pages.reserve(kPageTable.size());
    for (const PageSpec *spec : kPageTable)
        pages.push_back(new CTabSheetDialog(*spec, parent));
    return pages;
}

QWidget *FindControlInPages(std::span<CTabSheetDialog *const> pages, int controlId)
{
    for (const CTabSheetDialog *page : pages) {
        if (QWidget *control = page->Control(controlId))
            return control;
    }
    return nullptr;
}

QWidget *PageControlFinder::FindControl(int controlId) const
{
    if (QWidget *control = FindControlInPages(pages_, controlId))
        return control;
    return own_ ? own_->Find(controlId) : nullptr;
}
