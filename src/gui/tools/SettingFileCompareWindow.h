#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class WindowList;

// One parameter where the camera and a setting file differ, named and valued as the pages show
// it (a list by its entry's text).
struct CompareRow {
    QString page;  // empty when no page shows the parameter
    QString group;
    QString label; // the mnemonic when no page shows the parameter
    QString mnemonic;
    QString camera; // "not read" when the camera did not give it
    QString file;
    int controlId = -1; // -1: no page control to go to or to apply through
    std::int32_t fileCode = 0;
};

// What one comparison found: the line that sums it up, the differences and the file's
// unreadable lines ("line 3 unreadable: GA=1O0").
struct CompareResult {
    QString path;
    QString summary;
    std::vector<CompareRow> rows;
    QStringList unreadable;
};

// The window that shows a camera compared with a setting file: the summary, one row per
// difference, the unreadable lines; from it the operator goes to a row's control, applies the
// file's value to the selected rows, copies the whole list as text or compares again.
class SettingFileCompareWindow final : public QDialog {
    Q_OBJECT

public:
    struct Hooks {
        std::function<void(int controlId)> goTo;
        // Enters the file's value as the operator would; returns what the control then shows.
        std::function<QString(const CompareRow &row)> apply;
        std::function<void()> compareAgain;
    };

    static constexpr int kColumnCamera = 4;

    SettingFileCompareWindow(WindowList &windowList, Hooks hooks, QWidget *parent);
    ~SettingFileCompareWindow() override;

    void Show(const CompareResult &result);

    const CompareResult &Result() const { return result_; }
    QTreeWidget &Rows() const { return *tree_; }
    QLabel &Summary() const { return *summary_; }
    QListWidget &Unreadable() const { return *unreadable_; }
    // The whole comparison as the copy puts it on the clipboard.
    QString Text() const;

    void GoToCurrent();
    void ApplySelected();
    void Copy() const;

private:
    const CompareRow &rowOf(const QTreeWidgetItem &item) const;
    void updateButtons();

    WindowList &windowList_;
    Hooks hooks_;
    CompareResult result_;
    QLabel *file_;
    QLabel *summary_;
    QTreeWidget *tree_;
    QLabel *unreadableTitle_;
    QListWidget *unreadable_;
    QPushButton *goTo_;
    QPushButton *apply_;
};
