#include "bytes_total.h"

#include <gtest/gtest.h>

#include <vector>

namespace zumi {
namespace {

class RecordingSource final : public ByteSource {
public:
    explicit RecordingSource(std::uint32_t value)
        : value_(value)
    {
    }
    std::uint32_t bytesTotal(std::int32_t handle) override
    {
        handles.push_back(handle);
        return value_;
    }
    std::vector<std::int32_t> handles;

private:
    std::uint32_t value_;
};

TEST(BytesTotal, PicksTheSourceByVersionCode)
{
    RecordingSource nt4(1), rasStats(2), dynData(3), platform(4);
    const ByteSources all{&nt4, &rasStats, &dynData, &platform};
    const struct {
        std::int32_t version;
        std::uint32_t expected;
    } cases[] = {
        {320, 1}, {337, 2}, {338, 2}, {100000, 2}, {64, 3}, {65, 3},
        {0, 4}, {66, 4}, {319, 4}, {321, 4}, {336, 4}, {-1, 4},
    };
    for (const auto& c : cases) {
        BytesTotal total(c.version, all);
        EXPECT_EQ(total.getBytesTotal(7), c.expected) << "winVersion " << c.version;
    }
    EXPECT_EQ(rasStats.handles, (std::vector<std::int32_t>{7, 7, 7}));
}

TEST(BytesTotal, MissingSourceReadsZero)
{
    RecordingSource platform(4);
    for (const std::int32_t version : {320, 337, 64, 65})
        EXPECT_EQ(BytesTotal(version, ByteSources{nullptr, nullptr, nullptr, &platform}).getBytesTotal(1), 0u);
    EXPECT_EQ(BytesTotal(0, ByteSources{}).getBytesTotal(1), 0u);
    EXPECT_TRUE(platform.handles.empty());
}

} // namespace
} // namespace zumi
