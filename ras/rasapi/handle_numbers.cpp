#include "ras/rasapi/handle_numbers.h"

namespace zumi::rasapi {

std::vector<std::int32_t> HandleNumbers::listing(const std::vector<Listed>& listed)
{
    std::map<std::uint64_t, Known> now;
    std::vector<std::int32_t> numbers;
    for (const Listed& connection : listed) {
        auto it = now.find(connection.handle);
        if (it == now.end()) {
            const auto old = known_.find(connection.handle);
            const std::int32_t number = old != known_.end() ? old->second.number : next_++;
            it = now.emplace(connection.handle, Known{number, connection.entryName}).first;
        }
        numbers.push_back(it->second.number);
    }
    known_ = std::move(now);
    return numbers;
}

std::uint64_t HandleNumbers::handleOf(std::int32_t number) const
{
    for (const auto& [handle, known] : known_)
        if (known.number == number)
            return handle;
    return 0;
}

std::string HandleNumbers::entryNameOf(std::int32_t number) const
{
    for (const auto& [handle, known] : known_)
        if (known.number == number)
            return known.entryName;
    return {};
}

} // namespace zumi::rasapi
