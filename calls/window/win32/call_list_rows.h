#pragma once
#include "calls/window/call_rows.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace zumi::win32 {

// The month's calls behind a virtual list view (LVS_OWNERDATA): the view
// asks for the texts of the rows it draws, so a month of any size costs it
// no item of its own. With a day chosen, only that day's calls are listed.
class CallListRows final : public CallTable {
public:
    void attach(HWND list) { list_ = list; }

    void clear() override;
    void append(const std::vector<CallRecord>& calls) override;
    void update(std::size_t row, const CallRecord& call, bool running) override;
    void setPrices(const Prices& prices) override;

    // "" lists all calls, else those of that day ("10.03.2026").
    void chooseDay(const std::string& date);
    std::size_t listed() const { return day_.empty() ? rows_.size() : dayRows_.size(); }
    // A listed row's text; "" outside the list.
    std::string text(std::size_t listedRow, int column) const;

private:
    void showCount(bool keepDrawn) const;

    HWND list_ = nullptr;
    CallRows rows_;
    std::string day_;
    std::vector<std::size_t> dayRows_; // into rows_, while a day is chosen
};

} // namespace zumi::win32
