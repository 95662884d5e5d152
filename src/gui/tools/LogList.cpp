#include "gui/tools/LogList.h"

#include <QListView>

LogListModel::LogListModel(int maxLines, QObject *parent)
    : QAbstractListModel(parent), maxLines_(maxLines)
{
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, &LogListModel::showNew);
}

void LogListModel::AddNewest(const QString &line)
{
    lines_.push_back(line);
    // A full log shows at once, so a line never leaves the list before it was in it.
    if (Count() > maxLines_ || !sinceShown_.isValid() || sinceShown_.elapsed() >= kShowIntervalMs)
        showNew();
    else if (!showTimer_.isActive())
        showTimer_.start(static_cast<int>(kShowIntervalMs - sinceShown_.elapsed()));
}

void LogListModel::showNew()
{
    showTimer_.stop();
    sinceShown_.start();
    const int added = Count() - shown_;
    if (added > 0) {
        beginInsertRows(QModelIndex(), 0, added - 1);
        shown_ = Count();
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
    for (const QString &line : lines_)
        lines << line;
    return lines;
}

QStringList LogListModel::NewestFirst() const
{
    QStringList lines;
    lines.reserve(Count());
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line)
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

QListView *MakeLogView(QWidget &parent, LogListModel &model, const QString &accessibleName)
{
    auto *view = new QListView(&parent);
    view->setModel(&model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setUniformItemSizes(true);
    view->setAccessibleName(accessibleName);
    return view;
}
