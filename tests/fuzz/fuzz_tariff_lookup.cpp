// Arbitrary tariff fields and moments: the lookup must never crash and must
// always leave a usable cycle length and a time of day for the next switch.
#include "tariff_schedule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string takeField(const std::uint8_t*& data, std::size_t& size)
{
    if (size == 0)
        return {};
    std::size_t length = data[0] % 8;
    ++data;
    --size;
    if (length > size)
        length = size;
    std::string field(reinterpret_cast<const char*>(data), length);
    data += length;
    size -= length;
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    using namespace std::chrono;
    const int year = 1800 + (data[0] | (data[1] << 8)) % 500;
    const unsigned dayOfYear = data[2] % 366;
    const double seconds = ((data[3] | (data[4] << 8)) % 86400) + (data[5] % 100) / 100.0;
    data += 6;
    size -= 6;

    zumi::TariffTables tables;
    for (int band = 0; band < zumi::kBands; ++band) {
        tables.setStart(0, band, takeField(data, size));
        tables.setTakt(0, band, takeField(data, size));
    }
    zumi::CycleState state;
    state.recalcCycle = true;
    const year_month_day date{sys_days{year_month_day{year{year} / January / 1}} + days{dayOfYear}};
    for (int step = 0; step < 3; ++step) {
        zumi::UpdateCycleLength(state, tables, 0, {date, seconds + step * 60.0 < 86400 ? seconds + step * 60.0 : seconds});
        if (state.cycleSeconds == 0 || state.nextSwitch < 0 || state.nextSwitch >= 86400)
            std::abort();
    }
    return 0;
}
