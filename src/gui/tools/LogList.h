#pragma once

#include <deque>

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

class QListView;
class QWidget;

// A line log shown newest first, keeping at most a fixed number of lines. Lines are appended
// internally and presented in reverse, so putting a line on top costs the same however long
// the log is (a list widget moves every item at each insertion at row 0).
class LogListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit LogListModel(int maxLines, QObject *parent = nullptr);

    // Puts the line on top; drops the oldest line when the log is then over its limit.
    void AddNewest(const QString &line);
    void Clear();

    int Count() const { return static_cast<int>(lines_.size()); }
    int MaxLines() const { return maxLines_; }
    // Row 0 is the newest line.
    QString LineAtRow(int row) const;
    QStringList OldestFirst() const;
    QStringList NewestFirst() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    int maxLines_;
    std::deque<QString> lines_; // oldest at the front
};

// The read-only list that shows a log: no selection, no editing, a vertical scroll bar, and
// rows of one height so that a long log lays out at once.
QListView *MakeLogView(QWidget &parent, LogListModel &model, const QString &accessibleName);
