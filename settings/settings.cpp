#include "settings/settings.h"

#include <cstddef>
#include <utility>

namespace zumi {
namespace {

const std::string& emptyText()
{
    static const std::string empty;
    return empty;
}

std::size_t cell(int connection, int band)
{
    return static_cast<std::size_t>(band) * kMaxConnections + static_cast<std::size_t>(connection);
}

} // namespace

bool TariffTables::inRange(int connection, int band)
{
    return connection >= 0 && connection < kMaxConnections && band >= 0 && band < kBands;
}

const std::string& TariffTables::start(int connection, int band) const
{
    return inRange(connection, band) ? start_[cell(connection, band)] : emptyText();
}

const std::string& TariffTables::takt(int connection, int band) const
{
    return inRange(connection, band) ? takt_[cell(connection, band)] : emptyText();
}

void TariffTables::setStart(int connection, int band, std::string text)
{
    if (inRange(connection, band))
        start_[cell(connection, band)] = std::move(text);
}

void TariffTables::setTakt(int connection, int band, std::string text)
{
    if (inRange(connection, band))
        takt_[cell(connection, band)] = std::move(text);
}

} // namespace zumi
