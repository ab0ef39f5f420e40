#include "calls/window/qt/calls_model.h"

namespace zumi {

void CallsModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void CallsModel::append(const std::vector<CallRecord>& calls)
{
    if (calls.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(calls.size()) - 1);
    rows_.append(calls);
    endInsertRows();
}

void CallsModel::update(std::size_t row, const CallRecord& call, bool running)
{
    if (row >= rows_.size())
        return;
    rows_.update(row, call, running);
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, CallRows::kColumns - 1), {Qt::DisplayRole, Qt::ToolTipRole});
}

void CallsModel::setPrices(const Prices& prices)
{
    rows_.setPrices(prices);
    if (rows_.size() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, CallRows::kColumns - 1), {Qt::DisplayRole});
}

int CallsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CallsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CallRows::kColumns;
}

QVariant CallsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::TextAlignmentRole)
        return CallRows::isNumber(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::ToolTipRole && index.column() == CallRows::kEntryColumn) // a long name is cut short in its column
        return QString::fromStdString(rows_.entry(row));
    if (role != Qt::DisplayRole)
        return {};
    return QString::fromStdString(rows_.text(row, index.column()));
}

QVariant CallsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const char* title = CallRows::title(section);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !title)
        return {};
    return QString::fromLatin1(title);
}

} // namespace zumi
