#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zumi::rasapi {

// RAS's pointer-sized connection handles as the 32-bit numbers Zumi carries.
// A number names one connection only: once RAS stops listing a handle, its
// number is retired, and the same handle listed again later (RAS may reuse
// it) gets a new one.
class HandleNumbers final {
public:
    struct Listed {
        std::uint64_t handle = 0;
        std::string entryName;
    };

    // The numbers of one complete listing, in its order; every handle not in
    // it is forgotten.
    std::vector<std::int32_t> listing(const std::vector<Listed>& listed);
    // The RAS handle of a number, 0 when it names no listed connection.
    std::uint64_t handleOf(std::int32_t number) const;
    // The entry name it was listed with, "" when it names none.
    std::string entryNameOf(std::int32_t number) const;

private:
    struct Known {
        std::int32_t number = 0;
        std::string entryName;
    };
    std::map<std::uint64_t, Known> known_;
    std::int32_t next_ = 1;
};

} // namespace zumi::rasapi
