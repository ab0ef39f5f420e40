#pragma once
#include "calls/call_record.h"
#include "calls/month_report.h"

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace zumi {

// The calls of a month as the window's table shows them. Kept compact (a
// year of one-minute calls fits in a few ten megabytes); a cell's text is
// made only when the view asks for it, so the rows of a month are taken in
// at once and never cell by cell.
class CallsModel final : public QAbstractTableModel {
public:
    static constexpr int kEntryColumn = 1;

    // Empties the table and lets go of its memory.
    void clear();
    void append(const std::vector<CallRecord>& calls);
    void setPrices(const Prices& prices);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A local stamp as far as the table reads it ("2026-03-10 10:00:00").
    struct Stamp {
        std::array<char, 19> text{};
        std::uint8_t size = 0;
    };
    struct Row {
        std::int64_t seconds = 0, units = 0, bytes = 0;
        Stamp start, end;
        std::uint32_t entry = 0; // into entries_
    };
    static Stamp stamp(const std::string& text);
    CallRecord record(const Row& row) const;

    std::deque<Row> rows_; // grows without copying what it holds
    std::vector<std::string> entries_;
    std::unordered_map<std::string, std::uint32_t> entryIndex_;
    Prices prices_;
};

} // namespace zumi
