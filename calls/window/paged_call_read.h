#pragma once
#include "calls/call_store.h"

#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Reads the calls of a span a page at a time, the first page at once and
// each further one in a pass of its own through the event loop, so that a
// span of any size holds up the once-a-second tick for no longer than a page.
class PagedCallRead final {
public:
    using Page = std::function<void(const std::vector<CallRecord>& calls)>;
    using Done = std::function<void(const std::string& problem)>; // problem: empty when all was read

    PagedCallRead(CallStore& store, std::size_t pageSize);

    // Calls that started from `from` up to before `to`; a read under way is given up.
    void start(const std::string& from, const std::string& to, Page page, Done done);
    void stop();

private:
    void next();

    CallStore& store_;
    std::size_t pageSize_;
    QTimer timer_;
    std::string start_, to_;
    std::optional<std::int64_t> after_;
    Page page_;
    Done done_;
};

} // namespace zumi
