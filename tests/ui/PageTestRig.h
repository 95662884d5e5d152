#pragma once

#include <memory>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "TestApplication.h"
#include "core/protocol/ControlTable.h"
#include "gui/main/SpinButton.h"
#include "gui/pages/CTabSheetDialog.h"
#include "support/ScriptedDialogs.h"

// The six pages under one host, with a finder over them and a control table.
// The texts of a list's entries, in order.
inline QStringList ListEntries(const QComboBox &list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.itemText(i);
    return texts;
}

struct PageRig {
    PageRig() : host(std::make_unique<QWidget>()), pages(CreatePages(host.get())), finder(pages), table(dialogs) {}

    QWidget *Find(int id) const { return finder.FindControl(id); }
    QComboBox &List(int id) const { return *qobject_cast<QComboBox *>(Find(id)); }
    QLineEdit &Edit(int id) const { return *qobject_cast<QLineEdit *>(Find(id)); }
    SpinButton &Spin(int id) const { return *qobject_cast<SpinButton *>(Find(id)); }

    QApplication &app = TestApplication();
    std::unique_ptr<QWidget> host;
    std::vector<CTabSheetDialog *> pages;
    PageControlFinder finder;
    ScriptedDialogs dialogs;
    ControlTable table;
};
