#include "calls/window/win32/call_list_rows.h"

#include <commctrl.h>

#include <algorithm>

namespace zumi::win32 {

void CallListRows::clear()
{
    rows_.clear();
    std::vector<std::size_t>().swap(dayRows_);
    showCount(false);
}

void CallListRows::append(const std::vector<CallRecord>& calls)
{
    const std::size_t first = rows_.size();
    rows_.append(calls);
    if (!day_.empty())
        for (std::size_t r = first; r < rows_.size(); ++r)
            if (rows_.text(r, 0) == day_)
                dayRows_.push_back(r);
    showCount(true);
}

void CallListRows::update(std::size_t row, const CallRecord& call, bool running)
{
    rows_.update(row, call, running);
    if (!list_)
        return;
    std::size_t listedRow = row;
    if (!day_.empty()) {
        const auto at = std::lower_bound(dayRows_.begin(), dayRows_.end(), row);
        if (at == dayRows_.end() || *at != row)
            return;
        listedRow = static_cast<std::size_t>(at - dayRows_.begin());
    }
    ListView_RedrawItems(list_, static_cast<int>(listedRow), static_cast<int>(listedRow));
}

void CallListRows::setPrices(const Prices& prices)
{
    rows_.setPrices(prices);
    if (list_)
        InvalidateRect(list_, nullptr, FALSE);
}

void CallListRows::chooseDay(const std::string& date)
{
    day_ = date;
    std::vector<std::size_t>().swap(dayRows_);
    if (!day_.empty())
        for (std::size_t r = 0; r < rows_.size(); ++r)
            if (rows_.text(r, 0) == day_)
                dayRows_.push_back(r);
    showCount(false);
}

std::string CallListRows::text(std::size_t listedRow, int column) const
{
    if (listedRow >= listed())
        return {};
    return rows_.text(day_.empty() ? listedRow : dayRows_[listedRow], column);
}

void CallListRows::showCount(bool keepDrawn) const
{
    if (list_)
        ListView_SetItemCountEx(list_, static_cast<int>(listed()),
                                keepDrawn ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : 0);
}

} // namespace zumi::win32
