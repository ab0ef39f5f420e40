#pragma once
#include "calls/call_store.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Reads the calls of a span a page at a time, one page per next(), so that
// whoever drives it can give each page a pass of its own beside the
// once-a-second tick: a span of any size holds the tick up no longer than a page.
class PagedCallRead final {
public:
    using Page = std::function<void(const std::vector<CallRecord>& calls)>;
    using Done = std::function<void(const std::string& problem)>; // problem: empty when all was read

    PagedCallRead(CallStore& store, std::size_t pageSize);

    // Calls that started from `from` up to before `to`; a read under way is
    // given up. Nothing is read before the first next().
    void start(const std::string& from, const std::string& to, Page page, Done done);
    void stop();
    bool busy() const { return static_cast<bool>(done_); }
    // Reads one page and, after the last, says done. True while pages remain.
    bool next();

private:
    CallStore& store_;
    std::size_t pageSize_;
    std::string start_, to_;
    std::optional<std::int64_t> after_;
    Page page_;
    Done done_;
};

} // namespace zumi
