#pragma once

#include <algorithm>
#include <deque>

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QListView>
#include <QString>
#include <QStringList>
#include <QTimer>

class QWidget;

// A line log shown newest first, keeping at most a fixed number of lines. Lines are appended
// internally and presented in reverse, so putting a line on top costs the same however long
// the log is (a list widget moves every item at each insertion at row 0).
class LogListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit LogListModel(int maxLines, QObject *parent = nullptr);

    // Puts the line on top; drops the oldest line when the log is then over its limit. The
    // list on screen takes new lines at most every kShowIntervalMs, all at once: a long
    // operation logs two lines an exchange, up to hundreds a second, and laying out and
    // repainting the list (every row moves) for each of them would cost more than the
    // exchange. A line that comes alone is shown at once.
    void AddNewest(const QString &line);
    static constexpr int kShowIntervalMs = 250;
    void Clear();

    int Count() const { return stored() - leaving(); }
    int MaxLines() const { return maxLines_; }
    // Row 0 is the newest line, shown or not yet.
    QString LineAtRow(int row) const;
    QStringList OldestFirst() const;
    QStringList NewestFirst() const;

    // The rows the list shows: the newest lines may follow within kShowIntervalMs.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    // Hands the lines not shown yet to the list, and drops the oldest beyond the limit.
    void showNew();
    int stored() const { return static_cast<int>(lines_.size()); }
    // Lines beyond the limit stay at the front only until the list has been told they left.
    int leaving() const { return std::max(0, stored() - maxLines_); }

    int maxLines_;
    std::deque<QString> lines_; // oldest at the front (leaving first); not shown yet at the back
    int shown_ = 0;             // the lines the list has been told of, from the front
    QElapsedTimer sinceShown_;
    QTimer showTimer_;
};

// A list lays its rows out again whenever rows come or go, on a timer of its own. This one
// asks for it as a layout request instead, so that the layout is done together with the
// windows' other layouts and paints, and while the engine waits for a reply when it does.
class LogView final : public QListView {
public:
    LogView(QWidget &parent, LogListModel &model);

protected:
    bool event(QEvent *event) override;

private:
    void askForLayout();

    bool layoutAsked_ = false;
};

// The read-only list that shows a log: no selection, no editing, a vertical scroll bar, and
// rows of one height so that a long log lays out at once.
QListView *MakeLogView(QWidget &parent, LogListModel &model, const QString &accessibleName);
