#pragma once

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include "gui/main/CCtrlToolDlg.h"
#include "gui/main/SpinButton.h"
#include "gui/pages/CTabSheetDialog.h"

// Drives the main window's controls the way an operator does: the page is brought up first,
// keys go to the focused field, lists are chosen through their activation.
namespace OperatorActions {

inline void ShowPageOf(CCtrlToolDlg &window, int controlId)
{
    QApplication::setActiveWindow(&window);
    const std::vector<CTabSheetDialog *> &pages = window.Pages();
    for (int tab = 0; tab < window.Tabs().count(); ++tab) {
        const int page = window.Tabs().tabData(tab).toInt();
        if (pages[static_cast<std::size_t>(page)]->Control(controlId)) {
            window.Tabs().setCurrentIndex(tab);
            break;
        }
    }
    QCoreApplication::processEvents();
}

template <typename T>
T &Control(const CCtrlToolDlg &window, int controlId)
{
    auto *control = qobject_cast<T *>(window.FindControl(controlId));
    if (!control)
        qFatal("no control %d of the expected kind", controlId);
    return *control;
}

inline QString Text(const CCtrlToolDlg &window, int controlId)
{
    return Control<QLineEdit>(window, controlId).text();
}

inline void Key(QWidget &target, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

// Replaces the field's text by typing, without committing it.
inline QLineEdit &Type(CCtrlToolDlg &window, int editId, const QString &text)
{
    ShowPageOf(window, editId);
    QLineEdit &edit = Control<QLineEdit>(window, editId);
    edit.setFocus();
    edit.selectAll();
    Key(edit, Qt::Key_Backspace);
    for (QChar c : text)
        Key(edit, 0, QString(c));
    return edit;
}

inline void TypeAndEnter(CCtrlToolDlg &window, int editId, const QString &text)
{
    QLineEdit &edit = Type(window, editId, text);
    Key(edit, Qt::Key_Return);
}

inline void Choose(CCtrlToolDlg &window, int listId, int entry)
{
    ShowPageOf(window, listId);
    QComboBox &list = Control<QComboBox>(window, listId);
    list.setCurrentIndex(entry);
    emit list.activated(entry);
}

inline void Click(CCtrlToolDlg &window, int buttonId)
{
    ShowPageOf(window, buttonId);
    Control<QPushButton>(window, buttonId).click();
}

inline void Step(CCtrlToolDlg &window, int spinId, int step)
{
    ShowPageOf(window, spinId);
    Control<SpinButton>(window, spinId).stepBy(step);
}

inline int Selected(const CCtrlToolDlg &window, int listId)
{
    return Control<QComboBox>(window, listId).currentIndex();
}

} // namespace OperatorActions
