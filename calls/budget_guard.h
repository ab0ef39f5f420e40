#pragma once
#include "calls/budget.h"
#include "calls/call_store.h"
#include "platform/clock.h"
#include "tariff/metering_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zumi {

// Keeps the monthly budget while a call is metered: what the billing month's
// earlier calls spent is read at the call's start, the call's own units are
// added as they begin. Passes every event on to the call log behind it.
// Notifies once per billing month when 80 % are reached and when the budget
// is used up, and at the start of each call made after it was used up. When
// the budget has run out it answers exhausted() (unless the cut-off is off).
class BudgetGuard final : public MeteringLog, public BudgetCheck {
public:
    using Notify = std::function<void(const std::string& summary, const std::string& body)>;
    BudgetGuard(const Clock& clock, CallStore& store, MeteringLog& next, Notify notify);

    void started(const std::string& entryName, LinkCounts bytes) override;
    void unitBegun(std::int32_t units, LinkCounts bytes) override;
    void ended(CallEnd how, LinkCounts bytes) override;
    void tick(LinkCounts bytes) override { next_.tick(bytes); }
    bool exhausted() override;

private:
    std::int64_t used() const;
    void tell(bool atStart);

    const Clock& clock_;
    CallStore& store_;
    MeteringLog& next_;
    Notify notify_;
    BudgetSettings budget_;
    Prices prices_;
    std::string entry_;
    std::int64_t before_ = 0;                              // spent by the billing month's earlier calls
    std::int64_t units_ = 0;                               // of the call being metered; 0: none
    std::optional<std::chrono::year_month_day> warnedFor_; // the billing month told of 80 %
    std::optional<std::chrono::year_month_day> spentFor_;  // the billing month told of its end
    std::chrono::year_month_day period_{};
};

} // namespace zumi
