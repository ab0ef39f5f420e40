#include "calls/window/calls_model.h"

#include <algorithm>

namespace zumi {
namespace {

constexpr int kColumns = 8;

} // namespace

void CallsModel::clear()
{
    beginResetModel();
    std::deque<Row>().swap(rows_);
    std::vector<std::string>().swap(entries_);
    std::unordered_map<std::string, std::uint32_t>().swap(entryIndex_);
    endResetModel();
}

void CallsModel::append(const std::vector<CallRecord>& calls)
{
    if (calls.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(calls.size()) - 1);
    for (const CallRecord& call : calls) {
        const auto [known, added] = entryIndex_.try_emplace(call.entry, static_cast<std::uint32_t>(entries_.size()));
        if (added)
            entries_.push_back(call.entry);
        rows_.push_back(
            {call.onlineSeconds, call.units, call.bytes, stamp(call.startLocal), stamp(call.endLocal), known->second});
    }
    endInsertRows();
}

void CallsModel::setPrices(const Prices& prices)
{
    prices_ = prices;
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
}

int CallsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CallsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant CallsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return column >= 4 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::ToolTipRole && column == kEntryColumn) // a long name is cut short in its column
        return QString::fromStdString(entries_[row.entry]);
    if (role != Qt::DisplayRole)
        return {};
    const CallLine l = callLine(record(row), prices_);
    const std::string* texts[] = {&l.date, &l.entry, &l.from, &l.until, &l.duration, &l.units, &l.cost, &l.bytes};
    if (column == 6 && !l.cost.empty())
        return QString::fromStdString(l.cost + " " + l.currency);
    return QString::fromStdString(*texts[std::clamp(column, 0, kColumns - 1)]);
}

QVariant CallsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kTitles[kColumns]
        = {"Datum", "Eintrag", "Von", "Bis", "Dauer", "Einheiten", "Kosten", "Bytes"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return {};
    return QString::fromLatin1(kTitles[section]);
}

CallsModel::Stamp CallsModel::stamp(const std::string& text)
{
    Stamp s;
    s.size = static_cast<std::uint8_t>(std::min(text.size(), s.text.size()));
    std::copy_n(text.begin(), s.size, s.text.begin());
    return s;
}

CallRecord CallsModel::record(const Row& row) const
{
    CallRecord call;
    call.entry = entries_[row.entry];
    call.startLocal.assign(row.start.text.data(), row.start.size);
    call.endLocal.assign(row.end.text.data(), row.end.size);
    call.onlineSeconds = row.seconds;
    call.units = row.units;
    call.bytes = row.bytes;
    return call;
}

} // namespace zumi
