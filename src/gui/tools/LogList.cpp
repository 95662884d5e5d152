#include "gui/tools/LogList.h"

#include <QCoreApplication>
#include <QEvent>

LogListModel::LogListModel(int maxLines, QObject *parent)
    : QAbstractListModel(parent), maxLines_(maxLines)
{
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, &LogListModel::showNew);
}

void LogListModel::AddNewest(const QString &line)
{
    lines_.push_back(line);
    // A log that fills up keeps taking lines in batches: the oldest go from the list when
    // the new ones come into it. Only a batch as long as the whole log shows at once, so a
    // line never leaves the log before the list had it.
    const int unshown = stored() - shown_;
    if (unshown >= maxLines_ || !sinceShown_.isValid() || sinceShown_.elapsed() >= kShowIntervalMs)
        showNew();
    else if (!showTimer_.isActive())
        showTimer_.start(static_cast<int>(kShowIntervalMs - sinceShown_.elapsed()));
}

void LogListModel::showNew()
{
    showTimer_.stop();
    sinceShown_.start();
    const int added = stored() - shown_;
    if (added > 0) {
        beginInsertRows(QModelIndex(), 0, added - 1);
        shown_ = stored();
        endInsertRows();
    }
    if (shown_ > maxLines_) {
        beginRemoveRows(QModelIndex(), maxLines_, shown_ - 1);
        lines_.erase(lines_.begin(), lines_.begin() + (shown_ - maxLines_));
        shown_ = maxLines_;
        endRemoveRows();
    }
}

void LogListModel::Clear()
{
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
}

QString LogListModel::LineAtRow(int row) const
{
    if (row < 0 || row >= Count())
        return QString();
    return lines_[lines_.size() - 1 - static_cast<std::size_t>(row)];
}

QStringList LogListModel::OldestFirst() const
{
    QStringList lines;
    lines.reserve(Count());
    for (auto line = lines_.begin() + leaving(); line != lines_.end(); ++line)
        lines << *line;
    return lines;
}

QStringList LogListModel::NewestFirst() const
{
    QStringList lines;
    lines.reserve(Count());
    for (auto line = lines_.rbegin(); line != lines_.rend() - leaving(); ++line)
        lines << *line;
    return lines;
}

int LogListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shown_;
}

QVariant LogListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shown_ || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QVariant();
    // Row 0 of the list is the newest line it has been told of.
    return lines_[static_cast<std::size_t>(shown_ - 1 - index.row())];
}

LogView::LogView(QWidget &parent, LogListModel &model) : QListView(&parent)
{
    setModel(&model);
    // After the list's own handlers, which start its layout timer.
    connect(&model, &QAbstractItemModel::rowsInserted, this, &LogView::askForLayout);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &LogView::askForLayout);
}

void LogView::askForLayout()
{
    if (layoutAsked_)
        return;
    layoutAsked_ = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
}

bool LogView::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest && layoutAsked_) {
        layoutAsked_ = false;
        // Lays the rows out now and stops the list's timer for it; a hidden list leaves it
        // to that timer, which lays out nothing until the list is shown.
        if (isVisible())
            executeDelayedItemsLayout();
    }
    return QListView::event(event);
}

QListView *MakeLogView(QWidget &parent, LogListModel &model, const QString &accessibleName)
{
    auto *view = new LogView(parent, model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setUniformItemSizes(true);
    view->setAccessibleName(accessibleName);
    return view;
}
