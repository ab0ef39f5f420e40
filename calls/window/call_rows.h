#pragma once
#include "calls/call_record.h"
#include "calls/month_report.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace zumi {

// Where the window puts the calls of the month it reads.
class CallTable {
public:
    virtual ~CallTable() = default;
    // Empties the table and lets go of its memory.
    virtual void clear() = 0;
    virtual void append(const std::vector<CallRecord>& calls) = 0;
    // A row that changed in place: the running call at each new unit and at its end.
    virtual void update(std::size_t row, const CallRecord& call, bool running) = 0;
    virtual void setPrices(const Prices& prices) = 0;
};

// The calls of a month as the window's table shows them. Kept compact (a
// year of one-minute calls fits in a few ten megabytes); a cell's text is
// made only when asked for, so the rows of a month are taken in at once and
// never cell by cell.
class CallRows final : public CallTable {
public:
    static constexpr int kColumns = 8;
    static constexpr int kEntryColumn = 1;
    static constexpr int kUntilColumn = 3;
    static constexpr int kCostColumn = 6;

    void clear() override;
    void append(const std::vector<CallRecord>& calls) override;
    // A running call's row says "läuft" where its end will be.
    void update(std::size_t row, const CallRecord& call, bool running) override;
    void setPrices(const Prices& prices) override;

    std::size_t size() const { return rows_.size(); }
    // "" outside the table.
    std::string text(std::size_t row, int column) const;
    const std::string& entry(std::size_t row) const { return entries_[rows_[row].entry]; }
    static const char* title(int column); // nullptr outside the table
    static bool isNumber(int column) { return column >= 4; }

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
        bool running = false;
    };
    static Stamp stamp(const std::string& text);
    Row makeRow(const CallRecord& call);
    CallRecord record(const Row& row) const;

    std::deque<Row> rows_; // grows without copying what it holds
    std::vector<std::string> entries_;
    std::unordered_map<std::string, std::uint32_t> entryIndex_;
    Prices prices_;
};

} // namespace zumi
