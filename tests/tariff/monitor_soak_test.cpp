// A simulated day: the monitor ticks once a second for 24 hours on a fake
// clock while random connects, drops, renames, failed queries and traffic
// come and go. Every tick is checked against a deliberately simple
// model written from the rules: the unit seconds left (and so the units
// counted), the cycle in force and each low-traffic hang-up request.
// The day runs from Friday 13 March 2026 14:00 to Saturday 14:00, across
// Net1's weekday bands, midnight and its weekend bands; other names have no
// record. Ticks never skip a second and the lead time is 0.
#include "monitor_rig.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace zumi {
namespace {

constexpr long kStart = 14 * 3600; // Friday 14:00, in seconds of that day

struct Band {
    int hour, cycle;
};
// Only Net1 has bands; Net2 (slot 1) and Elsewhere (in no slot, so it takes
// the first free one) have none; a direct cable is never metered.
constexpr std::array<const char*, 4> kNames{"Net1", "Net2", "Elsewhere", "Direct Cable Connection"};
// Net1's weekday bands, then its weekend bands.
constexpr std::array<Band, 8> kBands{{{9, 45}, {16, 20}, {20, 30}, {23, 90}, {1, 60}, {7, 25}, {11, 14}, {23, 40}}};

class Model {
public:
    int cycle = 0;
    long bandChanges = 0, hangUps = 0;

    bool metering() const { return !name_.empty(); }

    // One tick for the line seen under `name` (empty: none). Returns the unit
    // seconds left as shown (0 on a tick that meters nothing) and whether the
    // low-traffic rule hangs up.
    std::pair<long, bool> tick(long tick, long local, const std::string& name, const Options& o, std::uint32_t bytes)
    {
        const std::string before = std::exchange(name_, name);
        if (before.empty() && !name.empty()) {
            net1_ = name == "Net1";
            start_ = tick;
            search_ = true;
            checked_ = false;
            checks_ = {bytes};
        }
        if (before != name || name.empty()) // a start, an end, a rename or no line: nothing is metered
            return {0, false};

        const long elapsed = tick - start_;
        findCycle(local);
        const long left = cycle - elapsed % cycle;
        // The first tick of each unit's last three seconds reads the bytes and
        // compares them with the reading HangupTakte units before.
        const bool check = o.AutoHangup && left <= 3 && !checked_;
        checked_ = left <= 3;
        if (!check)
            return {left, false};
        checks_.push_back(bytes);
        const std::size_t n = static_cast<std::size_t>(o.HangupTakte), k = checks_.size() - 1;
        const auto moved = static_cast<std::int32_t>(bytes - checks_[k > n ? k - n : 0]);
        const bool hangUp = cycle * o.HangupTakte <= elapsed && moved < o.HangupBytes;
        hangUps += hangUp;
        return {left, hangUp};
    }

private:
    // Searched when a run starts and in the five minutes after a band start.
    void findCycle(long local)
    {
        const long t = local % 86400;
        if (!search_ && !(t > switch_ && t - switch_ < 300))
            return;
        const int was = std::exchange(cycle, 60);
        if (net1_) {
            const std::span<const Band> bands(&kBands[local >= 86400 ? 4 : 0], 4);
            cycle = bands.back().cycle; // before the first band, last evening's band runs on
            for (const Band& band : bands)
                if (band.hour * 3600 <= t)
                    cycle = band.cycle;
            for (auto band = bands.rbegin(); band != bands.rend(); ++band)
                if (band->hour * 3600 > t)
                    switch_ = band->hour * 3600;
        }
        bandChanges += !search_ && cycle != was;
        search_ = false;
    }

    std::string name_;
    bool net1_ = false, search_ = false, checked_ = false;
    long start_ = 0, switch_ = 0;
    std::vector<std::uint32_t> checks_;
};

class Soak {
public:
    const Model& run(std::uint64_t seed)
    {
        random_.seed(seed);
        rig_.clock.setLocal(std::chrono::year{2026} / 3 / 13, kStart);
        for (int band = 0; band < 8; ++band) {
            rig_.settings.tariffs.setStart(0, band, std::to_string(kBands[band].hour));
            rig_.settings.tariffs.setTakt(0, band, std::to_string(kBands[band].cycle));
        }
        for (long tick = 1; tick <= 86400; ++tick) {
            changeTheWorld(tick);
            rig_.dialUp.hangUps.clear();
            rig_.info.taktTexts.clear();
            rig_.log.clear();
            rig_.tick();
            const bool hidden = rig_.dialUp.enumFails || line_.find("Direct Cable Connection") != std::string::npos;
            const auto [left, hangUp]
                = model_.tick(tick, kStart + tick, hidden ? "" : line_, rig_.settings.options, rig_.bytes.total);
            const std::string& takt = rig_.info.taktText();
            const long shown = takt.empty() ? 0 : std::stol(takt) * 60 + std::stol(takt.substr(takt.find(':') + 1));
            const int cycle = left > 0 ? rig_.monitor.cycle().cycleSeconds : 0;
            EXPECT_EQ(std::tuple(shown, rig_.dialUp.hangUps.size(), rig_.monitor.metering(), cycle),
                      std::tuple(left, hangUp ? 1u : 0u, model_.metering(), left > 0 ? model_.cycle : 0))
                << "seconds left, hang-ups, metering and cycle at tick " << tick << " on line '" << line_ << "'";
            if (::testing::Test::HasFailure())
                break;
            if (hangUp && dropAt_ < 0)
                dropAt_ = tick + 1 + below(4); // the line goes 0..3 ticks later
        }
        return model_;
    }

private:
    long below(long n) { return static_cast<long>(random_() % static_cast<std::uint64_t>(n)); }
    bool chance(long oneIn) { return below(oneIn) == 0; }

    // Between two ticks: the line may go, come up under fresh settings (its
    // counter perhaps near the wrap), carry traffic or change its name.
    void changeTheWorld(long tick)
    {
        rig_.dialUp.enumFails = chance(4000);
        if (!line_.empty() && (tick == dropAt_ || chance(700))) {
            rig_.dialUp.disconnectAll();
            line_.clear();
            dropAt_ = -1;
        }
        if (line_.empty() && !model_.metering() && chance(25)) {
            static constexpr std::array<std::int32_t, 5> kBytes{0, 100, 512, 5000, 200000};
            Options& o = rig_.settings.options;
            o.AutoHangup = !chance(3);
            o.HangupTakte = static_cast<std::int32_t>(1 + below(4));
            o.HangupBytes = kBytes[below(5)];
            traffic_ = below(3);
            if (chance(2))
                rig_.bytes.total = 0xFFFFFFFFu - static_cast<std::uint32_t>(below(200000));
            line_ = chance(2) ? kNames[0] : kNames[below(kNames.size())];
            rig_.dialUp.connect(static_cast<std::int32_t>(tick), line_);
        }
        if (line_.empty())
            return;
        static constexpr std::array<long, 3> kTraffic{2, 400, 20000};              // bytes a second at most
        rig_.bytes.total += static_cast<std::uint32_t>(below(kTraffic[traffic_])); // wraps like the real counter
        if (chance(700)) {
            line_ = kNames[below(kNames.size())];
            rig_.dialUp.connections.front().entryName = line_;
        }
    }

    std::mt19937_64 random_; // the same sequence on every standard library
    test::MonitorRig rig_;
    Model model_;
    std::string line_; // the line's name while it is up
    long traffic_ = 0, dropAt_ = -1;
};

TEST(MonitorSoak, ADayOfTicksAgreesWithTheModel)
{
    for (const std::uint64_t seed : {20260313u, 4711u, 1u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Model day = Soak().run(seed);
        // The day must have gone through what it is for.
        ASSERT_GE(day.bandChanges, 2);
        ASSERT_GE(day.hangUps, 10);
    }
}

} // namespace
} // namespace zumi
