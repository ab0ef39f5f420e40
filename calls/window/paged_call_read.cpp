#include "calls/window/paged_call_read.h"

#include <algorithm>
#include <utility>

namespace zumi {

PagedCallRead::PagedCallRead(CallStore& store, std::size_t pageSize)
    : store_(store)
    , pageSize_(std::max<std::size_t>(pageSize, 1))
{
}

void PagedCallRead::start(const std::string& from, const std::string& to, Page page, Done done)
{
    start_ = from;
    to_ = to;
    after_.reset();
    page_ = std::move(page);
    done_ = std::move(done);
}

void PagedCallRead::stop()
{
    page_ = nullptr;
    done_ = nullptr;
}

bool PagedCallRead::next()
{
    if (!busy())
        return false;
    const std::vector<CallRecord> calls = store_.callsAfter(start_, after_, to_, pageSize_);
    const std::string problem = store_.problem();
    if (!calls.empty()) {
        start_ = calls.back().startLocal;
        after_ = calls.back().id;
        page_(calls);
    }
    if (problem.empty() && calls.size() == pageSize_)
        return busy(); // the page may have stopped the read
    // Let go first: `done` may start the next read.
    const Done done = std::exchange(done_, nullptr);
    page_ = nullptr;
    done(problem);
    return busy();
}

} // namespace zumi
