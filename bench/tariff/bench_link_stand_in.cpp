#include "bench_link.h"

#include "stand_in_link.h"

#include <optional>
#include <utility>

namespace zumi::bench {
namespace {

class StandInBenchLink final : public BenchLink {
public:
    explicit StandInBenchLink(test::StandInLink link)
        : link_(std::move(link))
    {
    }
    ~StandInBenchLink() override { link_.stop(); }

private:
    test::StandInLink link_;
};

} // namespace

std::unique_ptr<BenchLink> startBenchLink(const std::string& name)
{
    if (!test::StandInLink::canRun())
        return nullptr;
    auto link = test::StandInLink::start(name);
    if (!link)
        return nullptr;
    link->rate(4000); // some traffic, so the counters move as on a real line
    return std::make_unique<StandInBenchLink>(std::move(*link));
}

} // namespace zumi::bench
