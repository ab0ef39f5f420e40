#include "core/conn_names.h"

namespace zumi {

int findConnectionSlot(const ConnNames& connNames, const std::string& name)
{
    for (int i = 0; i < kMaxConnections; ++i) {
        const std::string& entry = connNames[static_cast<std::size_t>(i)];
        if (entry == name || entry.empty())
            return i;
    }
    return kNoConnectionSlot;
}

} // namespace zumi
