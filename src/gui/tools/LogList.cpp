#include "gui/tools/LogList.h"

#include <QListView>

LogListModel::LogListModel(int maxLines, QObject *parent)
    : QAbstractListModel(parent), maxLines_(maxLines)
{
}

void LogListModel::AddNewest(const QString &line)
{
    beginInsertRows(QModelIndex(), 0, 0);
    lines_.push_back(line);
    endInsertRows();
    if (Count() > maxLines_) {
        const int last = Count() - 1;
        beginRemoveRows(QModelIndex(), last, last);
        lines_.pop_front();
        endRemoveRows();
    }
}

void LogListModel::Clear()
{
    beginResetModel();
    lines_.clear();
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
    return parent.isValid() ? 0 : Count();
}

QVariant LogListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QVariant();
    return LineAtRow(index.row());
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
